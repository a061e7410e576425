#include "QtDialog.h"

#include "Dialog.h"
#include "DialogBuilder.h"
#include "FontFaces.h"
#include "PlatformServices.h"
#include "ProgressWindow.h"
#include "QtResources.h"
#include "QtText.h"
#include "ResourceIds.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>

#include <algorithm>
#include <cstring>

namespace {

// The release notes line up in columns, so they need a fixed-width face
// that shows Hangul; the second face stands in where the first is missing.
constexpr char kFixedWidthSubstitute[] = "NanumGothicCoding";
constexpr int kFixedWidthPixelSize = 12;

QFont FixedWidthFont()
{
    QFont font;
    font.setFamilies({ToQString(kFixedWidthFace), QString::fromLatin1(kFixedWidthSubstitute)});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(kFixedWidthPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

CQtDialog::CQtDialog(CDialog& dialog, IPlatformServices& services, QWidget* parent)
    : QDialog(parent,
          Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
              | Qt::WindowCloseButtonHint)
    , m_dialog(dialog)
    , m_services(services)
    , m_controls(BuildDialog(*this, dialog.Template()))
{
    for (const auto& [id, control] : m_controls)
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            connect(button, &QAbstractButton::clicked, this, [this, id = id] { m_dialog.OnCommand(id); });
}

EDialogResult CQtDialog::Run(CDialog& dialog, IPlatformServices& services, QWidget* owner)
{
    CQtDialog window(dialog, services, owner);
    return window.exec() == QDialog::Accepted ? EDialogResult::OK : EDialogResult::Cancel;
}

QWidget* CQtDialog::Control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QLineEdit* CQtDialog::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

QAbstractButton* CQtDialog::Button(int id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

void CQtDialog::setVisible(bool visible)
{
    // Initialised once, when first shown, before anything is painted.
    if (visible && !m_bInitialised) {
        m_bInitialised = true;
        m_dialog.InitDialog(*this);
    }
    QDialog::setVisible(visible);
}

void CQtDialog::accept()
{
    m_dialog.OnCommand(IDOK);
}

void CQtDialog::reject()
{
    if (m_bInitialised)
        m_dialog.OnCommand(IDCANCEL);
    else
        QDialog::reject();
}

std::string CQtDialog::ControlText(int id) const
{
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text().toStdString();
    if (auto* box = qobject_cast<QPlainTextEdit*>(control))
        // Lines end in CR LF, as a multi-line edit box's text reads back.
        return box->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    return {};
}

void CQtDialog::SetControlText(int id, std::string_view text)
{
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(ToQString(text));
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(ToQString(text));
    else if (auto* box = qobject_cast<QPlainTextEdit*>(control))
        box->setPlainText(ToQString(text));
}

void CQtDialog::EnableControl(int id, bool enabled)
{
    QWidget* control = Control(id);
    if (!control)
        return;
    control->setEnabled(enabled);
    // Nobody can scroll a disabled box, so it shows where its text begins.
    if (auto* edit = qobject_cast<QLineEdit*>(control); edit && !enabled)
        edit->setCursorPosition(0);
}

void CQtDialog::FocusControl(int id)
{
    QWidget* control = Control(id);
    if (!control)
        return;
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

void CQtDialog::SetCaption(std::string_view caption)
{
    setWindowTitle(ToQString(caption));
}

void CQtDialog::SetIcon(int iconId)
{
    setWindowIcon(QIcon(QtResourcePath(iconId)));
}

void CQtDialog::SetFixedWidthFont(int id)
{
    if (QWidget* control = Control(id))
        control->setFont(FixedWidthFont());
}

// Linux desktops give an application no system menu to extend, so the about
// entry lives in the context menus: the dialog's own, and the path edits'
// own edit menu. Right click, the Menu key or Shift+F10 open them.
void CQtDialog::AddAboutEntry(std::string_view text)
{
    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(ToQString(text), this, [this] { m_dialog.OnCommand(IDM_ABOUTBOX); });
    for (const auto& [id, control] : m_controls)
        if (qobject_cast<QLineEdit*>(control))
            control->installEventFilter(this);
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shortcut, &QShortcut::activated, this, [this] {
        QWidget* anchor = focusWidget() ? focusWidget() : this;
        ShowContextMenu(anchor, anchor->mapToGlobal(anchor->rect().center()), true);
    });
}

void CQtDialog::ShowContextMenu(QWidget* target, const QPoint& globalPos, bool byKeyboard)
{
    QMenu* menu = m_pContextMenu;
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addActions(m_pContextMenu->actions());
    }
    menu->popup(globalPos);
    // From the keyboard the first entry is ready for Enter.
    if (byKeyboard) {
        const auto actions = menu->actions();
        const auto first = std::find_if(actions.begin(), actions.end(),
            [](const QAction* action) { return action->isEnabled() && !action->isSeparator(); });
        if (first != actions.end())
            menu->setActiveAction(*first);
    }
}

bool CQtDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ContextMenu || !m_pContextMenu)
        return QDialog::eventFilter(watched, event);
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    ShowContextMenu(
        static_cast<QWidget*>(watched), menuEvent->globalPos(), menuEvent->reason() == QContextMenuEvent::Keyboard);
    return true;
}

void CQtDialog::End(EDialogResult result)
{
    done(result == EDialogResult::OK ? QDialog::Accepted : QDialog::Rejected);
}

void CQtDialog::SetAccessibleName(int id, std::string_view name)
{
    if (QWidget* control = Control(id))
        control->setAccessibleName(ToQString(name));
}

void CQtDialog::ShowMessage(std::string_view text, std::string_view details)
{
    m_services.ShowMessage(this, ToQString(text), ToQString(details));
}

void CQtDialog::RunWithProgress(CProgressJob& job)
{
    RunWithProgressWindow(job, this);
}

std::optional<std::string> CQtDialog::ChooseFile(EFileChoice choice)
{
    const auto chosen = m_services.ChooseFile(this, choice);
    if (!chosen)
        return std::nullopt;
    return chosen->toStdString();
}

EDialogResult CQtDialog::RunModal(CDialog& dialog)
{
    return Run(dialog, m_services, this);
}

void CQtDialog::OpenAddress(std::string_view address)
{
    m_services.OpenUrl(ToQString(address));
}

std::optional<std::string> CQtDialog::LoadTextResource(int id) const
{
    return LoadQtTextResource(id);
}

// The C runtime already speaks the language of LC_MESSAGES, which the
// dialogs module takes from the user's environment when it starts.
std::string CQtDialog::LocalSystemText(int errorNumber) const
{
    return std::strerror(errorNumber);
}

void CQtDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        m_dialog.OnHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CQtDialog::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_pContextMenu)
        ShowContextMenu(this, event->globalPos(), event->reason() == QContextMenuEvent::Keyboard);
}
