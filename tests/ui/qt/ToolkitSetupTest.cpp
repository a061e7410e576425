#include "CreatePromptFileDialog.h"
#include "GuiTestFixture.h"
#include "ModalHook.h"
#include "QtPlatformServices.h"
#include "AppNames.h"
#include "ToolkitSetup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QRegularExpression>
#include <QMessageBox>
#include <QPushButton>

#include <cstdlib>

namespace {

TEST_F(GuiTest, ToolkitTextsAreKorean)
{
    ASSERT_TRUE(InstallKoreanToolkitTexts(*qApp));
    QMessageBox box(QMessageBox::Warning, "Morvex", "x", QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("확인"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("예(&Y)"));

    CCreatePromptFileDialog chooser(nullptr, QStringLiteral("열기"));
    chooser.show();
    const auto* buttons = chooser.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    for (const QAbstractButton* button : buttons->buttons())
        EXPECT_TRUE(button->text().contains(QRegularExpression(QStringLiteral("[가-힣]")))) << button->text().toStdString();
    SaveScreenshot(chooser, "file-chooser.png");
}

TEST_F(GuiTest, FileChooserLeavesNoSettingsFileBehind)
{
    const std::string config = m_dir.Path("config");
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    KeepToolkitStateUnsaved();
    CQtPlatformServices services(CAppNames::FromExecutablePath("/opt/tools/Morvex"));
    QWidget owner;
    CModalHook<CCreatePromptFileDialog> choose([&](CCreatePromptFileDialog& chooser) {
        chooser.selectFile(QString::fromStdString(m_dir.Write("chosen.bin", "x")));
        chooser.accept();
    });
    EXPECT_TRUE(services.ChooseFile(&owner, EFileChoice::ExistingSource));
    EXPECT_TRUE(choose.Ran());
    EXPECT_TRUE(std::filesystem::is_empty(config));
}

} // namespace
