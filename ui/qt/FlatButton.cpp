#include "FlatButton.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

// The frame stays inside the button, clear of its text.
constexpr int kFocusFrameInset = 2;

} // namespace

CFlatButton::CFlatButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
}

void CFlatButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // Some styles draw the frame only after a key has moved the focus in
    // this window; a flat button has nothing else to show it by.
    frame.state |= QStyle::State_KeyboardFocusChange;
    frame.rect = rect().adjusted(kFocusFrameInset, kFocusFrameInset, -kFocusFrameInset, -kFocusFrameInset);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}
