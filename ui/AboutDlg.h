#pragma once

#include "Dialog.h"

#include <string>

// The about box: the icon, title and version, the maker's notice, what the
// program is for, and the release notes in a read-only box of their own font.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

    std::string m_strVersion;
    std::string m_strReleaseNotes;

protected:
    void OnInitDialog() override;
};
