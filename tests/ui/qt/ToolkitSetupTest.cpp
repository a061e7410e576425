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

#include <clocale>
#include <cstdlib>
#include <locale.h>

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
        EXPECT_TRUE(button->text().contains(QRegularExpression(QStringLiteral("[가-힣]"))))
            << button->text().toStdString();
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

TEST(ToolkitSetup, SystemTextsFollowTheUsersMessagesLanguage)
{
    const locale_t korean = newlocale(LC_MESSAGES_MASK, "ko_KR.UTF-8", nullptr);
    if (!korean)
        GTEST_SKIP() << "no Korean locale on this system";
    freelocale(korean);
    const std::string before = std::setlocale(LC_MESSAGES, nullptr);
    const char* oldAll = std::getenv("LC_ALL");
    const std::string savedAll = oldAll ? oldAll : "";
    setenv("LC_ALL", "ko_KR.UTF-8", 1);
    std::setlocale(LC_MESSAGES, "C");
    UseUserLanguageForSystemTexts();
    const std::string after = std::setlocale(LC_MESSAGES, nullptr);
    oldAll ? setenv("LC_ALL", savedAll.c_str(), 1) : unsetenv("LC_ALL");
    std::setlocale(LC_MESSAGES, before.c_str());
    EXPECT_EQ(after, "ko_KR.UTF-8");
}

} // namespace
