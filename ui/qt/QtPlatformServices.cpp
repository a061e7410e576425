#include "QtPlatformServices.h"

#include "AppNames.h"
#include "CreatePromptFileDialog.h"
#include "QtText.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

// "All Files (*.*)" as the user sees it; the trailing "(*)" is the pattern
// Qt matches, so that names without a dot are listed too.
constexpr char kAllFilesFilter[] = "All Files (*.*) (*)";
constexpr char kChooserTitle[] = "열기";

} // namespace

CQtPlatformServices::CQtPlatformServices(const CAppNames& names)
    : m_strApplicationName(ToQString(names.applicationName))
{
}

void CQtPlatformServices::ShowMessage(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, m_strApplicationName, text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<QString> CQtPlatformServices::ChooseFile(QWidget* owner, EFileChoice choice)
{
    CCreatePromptFileDialog chooser(owner, QString::fromUtf8(kChooserTitle));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(choice == EFileChoice::ExistingSource ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setNameFilter(QString::fromUtf8(kAllFilesFilter));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return chooser.selectedFiles().first();
}

void CQtPlatformServices::OpenUrl(const QString& address)
{
    // Whether a browser starts is not our business; nothing is reported.
    QDesktopServices::openUrl(QUrl(address));
}
