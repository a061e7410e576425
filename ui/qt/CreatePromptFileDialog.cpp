#include "CreatePromptFileDialog.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

constexpr char kCreatePrompt[] = "%1\n파일이 없습니다.\n파일을 만드시겠습니까?";

} // namespace

void CCreatePromptFileDialog::accept()
{
    const QStringList files = selectedFiles();
    const bool newName = fileMode() == QFileDialog::AnyFile && !files.isEmpty() && !QFileInfo::exists(files.first());
    if (newName) {
        const auto answer = QMessageBox::question(this, windowTitle(), QString::fromUtf8(kCreatePrompt).arg(files.first()));
        if (answer != QMessageBox::Yes)
            return;
    }
    QFileDialog::accept();
}
