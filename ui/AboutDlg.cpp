#include "AboutDlg.h"

#include "DialogTemplates.h"
#include "QtText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QFile>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>

#include <optional>

namespace {

// The release notes line up in columns, so they need a fixed-width face
// that shows Hangul; the second face stands in where the first is missing.
constexpr char kReleaseNotesFace[] = "굴림체";
constexpr char kReleaseNotesSubstitute[] = "NanumGothicCoding";
constexpr int kReleaseNotesPixelSize = 12;

QFont ReleaseNotesFont()
{
    QFont font;
    font.setFamilies({QString::fromUtf8(kReleaseNotesFace), QString::fromLatin1(kReleaseNotesSubstitute)});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(kReleaseNotesPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

// The text of a UTF-8 resource; nothing when it is missing or unreadable.
std::optional<QString> LoadTextResource(const QString& resourcePath)
{
    QFile resource(resourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(resource.readAll());
}

} // namespace

CAboutDlg::CAboutDlg(IPlatformServices& services, QWidget* parent, QString releaseNotesResource)
    : CDialog(AboutDialogTemplate(), services, parent)
    , m_strReleaseNotesResource(std::move(releaseNotesResource))
{
    Exchange().Text(qobject_cast<QLabel*>(Control(IDC_VERSION_TEXT)), m_strVersion);
    Exchange().Text(qobject_cast<QPlainTextEdit*>(Control(IDC_RELEASE_NOTES)), m_strReleaseNotes);
}

void CAboutDlg::OnInitDialog()
{
    m_strVersion = ToQString(TitleAndVersion());
    const auto releaseNotes = LoadTextResource(m_strReleaseNotesResource);
    if (!releaseNotes) {
        // The box stays empty, in the dialog's own font.
        UpdateControls();
        return;
    }
    m_strReleaseNotes = *releaseNotes;
    UpdateControls();
    Control(IDC_RELEASE_NOTES)->setFont(ReleaseNotesFont());
}
