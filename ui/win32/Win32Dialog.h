#pragma once

#include "DialogWindow.h"
#include "Win32Desktop.h"

#include <windows.h>

class CDialog;

// A dialog's window in Win32: created from the dialog's template, it passes
// the user's actions on to the dialog's logic and answers the logic's
// requests. Buttons send their ids as commands, Enter the default button's,
// Escape and the close box IDCANCEL; F1 asks for help; the system menu's
// about entry sends IDM_ABOUTBOX.
class CWin32Dialog : public IDialogWindow
{
public:
    // Runs the dialog modally, owned by the given window (none for the main one).
    static EDialogResult Run(CDialog& dialog, const CWin32Desktop& desktop, HWND owner);

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

private:
    CWin32Dialog(CDialog& dialog, const CWin32Desktop& desktop);
    ~CWin32Dialog();
    CWin32Dialog(const CWin32Dialog&) = delete;
    CWin32Dialog& operator=(const CWin32Dialog&) = delete;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam);
    void OnInitDialog();
    bool PaintIconWhileMinimised();

    CDialog& m_dialog;
    const CWin32Desktop& m_desktop;
    HWND m_hWnd = nullptr;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HFONT m_hFixedWidthFont = nullptr;
};
