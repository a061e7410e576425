#pragma once

#include <QLineEdit>

// An edit box for a file path: a file dropped from the file manager puts its
// local path here rather than its file:// address.
class CPathEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
