#include "GroupFrame.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {

// The title's distance from the frame's left end, and its margin on both
// sides where the line stops.
constexpr int kTitleIndent = 6;
constexpr int kTitleMargin = 2;

} // namespace

CGroupFrame::CGroupFrame(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
{
}

void CGroupFrame::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int lineY = title().isEmpty() ? 0 : fontMetrics().height() / 2;
    // An etched line, as group boxes have long been drawn; the style's own
    // group frame would leave room for the title above it.
    qDrawShadeRect(&painter, rect().adjusted(0, lineY, 0, 0), palette(), true, 1);
    if (title().isEmpty())
        return;
    const int width = fontMetrics().horizontalAdvance(title()) + 2 * kTitleMargin;
    const QRect titleArea(kTitleIndent, 0, width, fontMetrics().height());
    painter.fillRect(titleArea, palette().window());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(titleArea, Qt::AlignCenter, title());
}
