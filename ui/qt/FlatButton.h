#pragma once

#include <QPushButton>

// A flat push button that reads as a link: the pointing hand under the
// mouse, and a focus frame when the keyboard reaches it (a flat button of
// most styles shows none).
class CFlatButton : public QPushButton
{
public:
    CFlatButton(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
