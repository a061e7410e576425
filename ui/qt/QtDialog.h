#pragma once

#include "DialogWindow.h"

#include <QDialog>

#include <map>

class CDialog;
class IPlatformServices;
class QAbstractButton;
class QLineEdit;
class QMenu;

// A dialog's window in Qt: built from the dialog's template, it passes the
// user's actions on to the dialog's logic and answers the logic's requests.
// Buttons send their ids as commands, Enter presses the default button,
// Escape and the close box send IDCANCEL, F1 asks for help.
class CQtDialog : public QDialog, public IDialogWindow
{
public:
    CQtDialog(CDialog& dialog, IPlatformServices& services, QWidget* parent = nullptr);

    // Runs the dialog in a window of its own, modal to the owner.
    static EDialogResult Run(CDialog& dialog, IPlatformServices& services, QWidget* owner);

    CDialog& Dialog() const { return m_dialog; }
    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    QAbstractButton* Button(int id) const;

    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;

    std::string ControlText(int id) const override;
    void SetControlText(int id, std::string_view text) override;
    void EnableControl(int id, bool enabled) override;
    void FocusControl(int id) override;
    void SetCaption(std::string_view caption) override;
    void SetIcon(int iconId) override;
    void SetFixedWidthFont(int id) override;
    void AddAboutEntry(std::string_view text) override;
    void End(EDialogResult result) override;
    void SetAccessibleName(int id, std::string_view name) override;
    void ShowMessage(std::string_view text, std::string_view details) override;
    void RunWithProgress(CProgressJob& job) override;
    std::optional<std::string> ChooseFile(EFileChoice choice) override;
    EDialogResult RunModal(CDialog& dialog) override;
    void OpenAddress(std::string_view address) override;
    std::optional<std::string> LoadTextResource(int id) const override;
    std::string LocalSystemText(int errorNumber) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The dialog's menu, or an edit box's own menu with the dialog's entries
    // added; from the keyboard, with its first entry selected.
    void ShowContextMenu(QWidget* target, const QPoint& globalPos, bool byKeyboard);

    CDialog& m_dialog;
    IPlatformServices& m_services;
    std::map<int, QWidget*> m_controls;
    QMenu* m_pContextMenu = nullptr;
    bool m_bInitialised = false;
};
