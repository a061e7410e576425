#include "CreatePromptFileDialog.h"

#include "QtText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QFileInfo>
#include <QMessageBox>

void CCreatePromptFileDialog::accept()
{
    const QStringList files = selectedFiles();
    const bool newName = fileMode() == QFileDialog::AnyFile && !files.isEmpty() && !QFileInfo::exists(files.first());
    if (newName) {
        const auto answer = QMessageBox::question(
            this, windowTitle(), ToQString(FormatResString(IDS_CREATE_PROMPT, {files.first().toStdString()})));
        if (answer != QMessageBox::Yes)
            return;
    }
    QFileDialog::accept();
}
