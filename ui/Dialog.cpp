#include "Dialog.h"

#include "DialogTemplate.h"
#include "DialogWindow.h"
#include "ResourceIds.h"
#include "Usage.h"

CDialog::CDialog(const CDialogTemplate& dialogTemplate)
    : m_template(dialogTemplate)
{
}

void CDialog::InitDialog(IDialogWindow& window)
{
    m_pWindow = &window;
    UpdateControls();
    OnInitDialog();
    FocusFirstTabStop();
}

void CDialog::OnCommand(int id)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        Window().End(EDialogResult::Cancel);
}

void CDialog::OnHelp()
{
    ShowUsage();
}

bool CDialog::UpdateFields()
{
    const auto failure = m_exchange.FromControls(Window());
    if (!failure)
        return true;
    ShowMessage(failure->message);
    Window().FocusControl(failure->controlId);
    return false;
}

void CDialog::UpdateControls()
{
    m_exchange.ToControls(Window());
}

void CDialog::OnOK()
{
    if (UpdateFields())
        Window().End(EDialogResult::OK);
}

void CDialog::EnableControl(int id, bool enabled)
{
    if (enabled)
        m_disabledControls.erase(id);
    else
        m_disabledControls.insert(id);
    Window().EnableControl(id, enabled);
}

void CDialog::NameAfter(int id, int labelId)
{
    for (const CControlTemplate& control : m_template.controls)
        if (control.id == labelId)
            Window().SetAccessibleName(id, control.text);
}

void CDialog::ShowMessage(std::string_view text, std::string_view details)
{
    Window().ShowMessage(text, details);
}

void CDialog::ShowUsage()
{
    ShowMessage(kUsageText);
}

void CDialog::FocusFirstTabStop()
{
    for (const CControlTemplate& control : m_template.controls) {
        if (!(control.style & kTabStop) || control.id == IDC_STATIC || m_disabledControls.contains(control.id))
            continue;
        Window().FocusControl(control.id);
        return;
    }
}
