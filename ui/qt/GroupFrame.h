#pragma once

#include <QGroupBox>

// A group box drawn as the template means it: the frame fills the control's
// rectangle from the middle of the title's line, and the title sits on the
// frame's top line, so controls placed inside stand where the template puts
// them. (Qt's styles draw the frame below the title instead.)
class CGroupFrame : public QGroupBox
{
public:
    CGroupFrame(const QString& title, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
