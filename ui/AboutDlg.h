#pragma once

#include "Dialog.h"

// Where the release notes of this version are kept among the program's
// resources (UTF-8, CR LF line ends).
inline constexpr char kReleaseNotesResource[] = ":/res/release-notes.txt";

// The about box: the icon, title and version, the maker's notice, what the
// program is for, and the release notes in a read-only box of their own font.
class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(IPlatformServices& services, QWidget* parent = nullptr,
        QString releaseNotesResource = QString::fromLatin1(kReleaseNotesResource));

    QString m_strVersion;
    QString m_strReleaseNotes;

protected:
    void OnInitDialog() override;

private:
    QString m_strReleaseNotesResource;
};
