#include "QtPlatformServices.h"

#include "AppNames.h"
#include "CreatePromptFileDialog.h"
#include "QtText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QUrl>

namespace {

// The pattern Qt matches after the filter's name: "(*)", so that names
// without a dot are listed too.
constexpr char kAllFilesPattern[] = " (*)";
// Room beside the caption for the window's icon and its close box.
constexpr int kCaptionFrameWidth = 120;

// A message box sizes itself to its text, which may leave too little room
// for the caption ("Morvex" cut to "…").
void WidenForCaption(QMessageBox& box)
{
    auto* layout = qobject_cast<QGridLayout*>(box.layout());
    if (!layout)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kCaptionFrameWidth;
    layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), layout->rowCount(), 0, 1,
        layout->columnCount());
}

} // namespace

CQtPlatformServices::CQtPlatformServices(const CAppNames& names)
    : m_strApplicationName(ToQString(names.applicationName))
{
}

void CQtPlatformServices::ShowMessage(QWidget* owner, const QString& text, const QString& details)
{
    QMessageBox box(QMessageBox::Warning, m_strApplicationName, text, QMessageBox::Ok, owner);
    box.setDetailedText(details);
    WidenForCaption(box);
    box.exec();
}

std::optional<QString> CQtPlatformServices::ChooseFile(QWidget* owner, EFileChoice choice)
{
    CCreatePromptFileDialog chooser(owner, ToQString(LoadResString(IDS_OPEN_TITLE)));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(choice == EFileChoice::ExistingSource ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setNameFilter(ToQString(LoadResString(IDS_ALL_FILES)) + QLatin1String(kAllFilesPattern));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return chooser.selectedFiles().first();
}

void CQtPlatformServices::OpenUrl(const QString& address)
{
    // Whether a browser starts is not our business; nothing is reported.
    QDesktopServices::openUrl(QUrl(address));
}
