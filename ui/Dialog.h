#pragma once

#include "DataExchange.h"

#include <QDialog>

#include <map>

class IPlatformServices;
class QAbstractButton;
class QLineEdit;
struct CDialogTemplate;

// A modal dialog built from a template, with the conventions every dialog of
// the program shares:
// - initialisation writes the bound fields into the controls, runs the
//   dialog's own OnInitDialog, then focuses the first tab stop;
// - OK (the IDOK button, or Enter on the default button) reads the fields
//   back and closes only when they all pass;
// - Cancel (Escape, the close box, an IDCANCEL button) reads nothing;
// - F1 shows how to use the command line.
class CDialog : public QDialog
{
public:
    CDialog(const CDialogTemplate& dialogTemplate, IPlatformServices& services, QWidget* parent);

    // Runs the dialog modally; QDialog::Accepted or QDialog::Rejected.
    int DoModal();

    // Controls to fields, in exchange order. At the first refused entry it
    // shows the entry's message, selects the control's text, focuses it and
    // returns false.
    bool UpdateFields();
    // Fields to controls, in exchange order.
    void UpdateControls();

    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    QAbstractButton* Button(int id) const;

    void setVisible(bool visible) override;
    void accept() override;

protected:
    virtual void OnInitDialog() {}
    // Default OK: UpdateFields, then close with OK.
    virtual void OnOK();

    CDataExchange& Exchange() { return m_exchange; }
    IPlatformServices& Services() const { return m_services; }
    void ShowMessage(const QString& text);
    // The command-line usage, for F1 in any dialog and the command help.
    void ShowUsage();

    void keyPressEvent(QKeyEvent* event) override;

private:
    void InitDialog();
    void FocusFirstTabStop();

    const CDialogTemplate& m_template;
    IPlatformServices& m_services;
    std::map<int, QWidget*> m_controls;
    CDataExchange m_exchange;
    bool m_bInitialised = false;
};
