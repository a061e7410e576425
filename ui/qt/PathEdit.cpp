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

// A dropped file is taken as a copy or a link, never as a move: told that
// the file moved, the drag source might delete the user's file.
bool AcceptAsCopyOrLink(QDropEvent* event)
{
    const Qt::DropActions possible = event->possibleActions();
    if (!(possible & (Qt::CopyAction | Qt::LinkAction))) {
        event->ignore();
        return false;
    }
    event->setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

} // namespace

void CPathEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedLocalPath(event->mimeData()))
        AcceptAsCopyOrLink(event);
    else
        QLineEdit::dragEnterEvent(event);
}

void CPathEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (DroppedLocalPath(event->mimeData()))
        AcceptAsCopyOrLink(event);
    else
        QLineEdit::dragMoveEvent(event);
}

void CPathEdit::dropEvent(QDropEvent* event)
{
    if (const auto path = DroppedLocalPath(event->mimeData())) {
        if (AcceptAsCopyOrLink(event))
            setText(*path);
    } else {
        QLineEdit::dropEvent(event);
    }
}
