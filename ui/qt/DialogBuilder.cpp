#include "DialogBuilder.h"

#include "DialogFont.h"
#include "DialogTemplate.h"
#include "DialogUnits.h"
#include "FlatButton.h"
#include "GroupFrame.h"
#include "PathEdit.h"
#include "QtResources.h"
#include "QtText.h"
#include "ResourceIds.h"

#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

namespace {

QWidget* CreateMultiLineEdit(QWidget* parent, const CControlTemplate& control)
{
    auto* edit = new QPlainTextEdit(ToQString(control.text), parent);
    edit->setReadOnly(control.style & kReadOnly);
    edit->setVerticalScrollBarPolicy(control.style & kVScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return edit;
}

QWidget* CreateEdit(QWidget* parent, const CControlTemplate& control)
{
    if (control.style & kMultiLine)
        return CreateMultiLineEdit(parent, control);
    auto* edit = control.style & kAcceptFiles ? new CPathEdit(parent) : new QLineEdit(parent);
    edit->setText(ToQString(control.text));
    return edit;
}

QWidget* CreatePushButton(QWidget* parent, const CControlTemplate& control)
{
    auto* button = control.style & kFlat ? new CFlatButton(ToQString(control.text), parent)
                                         : new QPushButton(ToQString(control.text), parent);
    button->setDefault(control.style & kDefaultButton);
    return button;
}

QWidget* CreateGroupBox(QWidget* parent, const CControlTemplate& control)
{
    auto* group = new CGroupFrame(ToQString(control.text), parent);
    group->setFocusPolicy(Qt::NoFocus);
    return group;
}

// Shown at the platform's size for large icons, whatever the control's size.
QWidget* CreateIcon(QWidget* parent)
{
    auto* label = new QLabel(parent);
    const int size = label->style()->pixelMetric(QStyle::PM_LargeIconSize);
    label->setPixmap(QIcon(QtResourcePath(IDR_MAINFRAME)).pixmap(size, size));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* CreateStaticText(QWidget* parent, const CControlTemplate& control)
{
    if (control.style & kIcon)
        return CreateIcon(parent);
    auto* label = new QLabel(ToQString(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A path stays on one line; whoever fills the text shortens it.
    label->setWordWrap(!(control.style & kPathEllipsis));
    return label;
}

QWidget* CreateProgressBar(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    return bar;
}

QWidget* CreateControl(QWidget* parent, const CControlTemplate& control)
{
    switch (control.kind) {
    case EControlKind::Edit: return CreateEdit(parent, control);
    case EControlKind::PushButton: return CreatePushButton(parent, control);
    case EControlKind::GroupBox: return CreateGroupBox(parent, control);
    case EControlKind::StaticText: return CreateStaticText(parent, control);
    case EControlKind::ProgressBar: return CreateProgressBar(parent);
    }
    return nullptr;
}

bool TakesFocus(EControlKind kind)
{
    return kind == EControlKind::Edit || kind == EControlKind::PushButton;
}

} // namespace

std::map<int, QWidget*> BuildDialog(QDialog& dialog, const CDialogTemplate& dialogTemplate)
{
    dialog.setFont(DialogFont(dialogTemplate.fontFace, dialogTemplate.fontPointSize));
    const CDialogUnits units(dialog.fontMetrics());
    dialog.setWindowTitle(ToQString(dialogTemplate.caption));
    dialog.setFixedSize(units.ToPixels(0, 0, dialogTemplate.width, dialogTemplate.height).size());

    std::map<int, QWidget*> controls;
    for (const CControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(&dialog, control);
        widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
        // Widgets join the focus chain in creation order, which is the
        // template order; controls without a tab stop take focus only by click.
        if (TakesFocus(control.kind) && !(control.style & kTabStop))
            widget->setFocusPolicy(Qt::ClickFocus);
        // A frame drawn around controls must not sit above them and catch
        // their clicks.
        if (control.kind == EControlKind::GroupBox)
            widget->lower();
        if (control.id != IDC_STATIC)
            controls.emplace(control.id, widget);
    }
    return controls;
}
