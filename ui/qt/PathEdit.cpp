#include "PathEdit.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <optional>

namespace {

std::optional<QString> DroppedLocalPath(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
        return std::nullopt;
    return data->urls().first().toLocalFile();
}

} // namespace

void CPathEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedLocalPath(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void CPathEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (DroppedLocalPath(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void CPathEdit::dropEvent(QDropEvent* event)
{
    if (const auto path = DroppedLocalPath(event->mimeData())) {
        setText(*path);
        event->acceptProposedAction();
    } else {
        QLineEdit::dropEvent(event);
    }
}
