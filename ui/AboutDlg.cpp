#include "AboutDlg.h"

#include "DialogTemplates.h"
#include "DialogWindow.h"
#include "ResourceIds.h"
#include "StringTable.h"

CAboutDlg::CAboutDlg()
    : CDialog(AboutDialogTemplate())
{
    Exchange().Text(IDC_VERSION_TEXT, m_strVersion);
    Exchange().Text(IDC_RELEASE_NOTES, m_strReleaseNotes);
}

void CAboutDlg::OnInitDialog()
{
    m_strVersion = TitleAndVersion();
    const auto releaseNotes = Window().LoadTextResource(IDR_RELEASE_NOTES);
    if (!releaseNotes) {
        // The box stays empty, in the dialog's own font.
        UpdateControls();
        return;
    }
    m_strReleaseNotes = *releaseNotes;
    UpdateControls();
    Window().SetFixedWidthFont(IDC_RELEASE_NOTES);
}
