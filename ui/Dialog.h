#pragma once

#include "DataExchange.h"

#include <set>
#include <string_view>

class IDialogWindow;
struct CDialogTemplate;

// A modal dialog's logic, with the conventions every dialog of the program
// shares:
// - initialisation writes the bound fields into the controls, runs the
//   dialog's own OnInitDialog, then focuses the first enabled tab stop;
// - OK (the IDOK command) reads the fields back and closes only when they
//   all pass;
// - Cancel (the IDCANCEL command: Escape, the close box) reads nothing;
// - help (F1) shows how to use the command line.
// The toolkit builds the window from Template() and reports to the dialog
// through InitDialog, OnCommand and OnHelp while the window is open.
class CDialog
{
public:
    explicit CDialog(const CDialogTemplate& dialogTemplate);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    const CDialogTemplate& Template() const { return m_template; }

    // The window has been created and is about to be shown.
    void InitDialog(IDialogWindow& window);
    // A button of the given id was pressed or a menu command chosen.
    virtual void OnCommand(int id);
    void OnHelp();

    // Controls to fields, in exchange order. At the first refused entry it
    // shows the entry's message, focuses the control with its text selected
    // and returns false.
    bool UpdateFields();
    // Fields to controls, in exchange order.
    void UpdateControls();

protected:
    virtual void OnInitDialog() {}
    // Default OK: UpdateFields, then close with OK.
    virtual void OnOK();

    CDataExchange& Exchange() { return m_exchange; }
    IDialogWindow& Window() const { return *m_pWindow; }
    void EnableControl(int id, bool enabled);
    // Gives a control the name a screen reader reads: the template's text of
    // the control that labels it.
    void NameAfter(int id, int labelId);
    void ShowMessage(std::string_view text, std::string_view details = {});
    // The command-line usage, for F1 in any dialog and the command help.
    void ShowUsage();

private:
    void FocusFirstTabStop();

    const CDialogTemplate& m_template;
    IDialogWindow* m_pWindow = nullptr;
    CDataExchange m_exchange;
    std::set<int> m_disabledControls;
};
