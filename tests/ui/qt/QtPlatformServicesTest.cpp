#include "AppNames.h"
#include "CreatePromptFileDialog.h"
#include "ModalHook.h"
#include "QtDialog.h"
#include "QtPlatformServices.h"
#include "ResourceIds.h"
#include "SettingsLocation.h"
#include "TempDir.h"
#include "ToolkitSetup.h"
#include "UnitDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace {

const CAppNames kNames = CAppNames::FromExecutablePath("/opt/tools/Morvex");

TEST(QtPlatformServices, MessageBoxFollowsTheConvention)
{
    CQtPlatformServices services(kNames);
    QWidget owner;
    CModalHook<QMessageBox> answer([&](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Morvex");
        EXPECT_EQ(box.text(), QStringLiteral("변환완료"));
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.parentWidget(), &owner);
        // Room for the caption beside the title bar's icon and close box.
        EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(box.windowTitle()) + 100);
        box.button(QMessageBox::Ok)->click();
    });
    services.ShowMessage(&owner, QStringLiteral("변환완료"), {});
    EXPECT_TRUE(answer.Ran());
}

TEST(QtPlatformServices, FailureKeepsItsReasonInTheDetails)
{
    InstallKoreanToolkitTexts(*qApp);
    CQtPlatformServices services(kNames);
    QWidget owner;
    const QString reason = QStringLiteral("원본파일 'x'을(를) 열 수 없습니다: No such file or directory");
    CModalHook<QMessageBox> answer([&](QMessageBox& box) {
        EXPECT_EQ(box.text(), QStringLiteral("변환실패"));
        EXPECT_EQ(box.detailedText(), reason);
        for (QAbstractButton* button : box.findChildren<QAbstractButton*>())
            if (box.buttonRole(button) == QMessageBox::ActionRole)
                button->click();
        const std::filesystem::path folder = MORVEX_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(box.grab().save(QString::fromStdString((folder / "failure-details.png").string())));
        box.button(QMessageBox::Ok)->click();
    });
    services.ShowMessage(&owner, QStringLiteral("변환실패"), reason);
    EXPECT_TRUE(answer.Ran());
}

// Sets an environment variable for one scope and restores it afterwards.
class CScopedEnvironment
{
public:
    CScopedEnvironment(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~CScopedEnvironment() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(QtPlatformServices, SettingsLiveInTheUsersConfigurationFolder)
{
    CTempDir dir;
    {
        const CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path("config").c_str());
        EXPECT_EQ(LocateSettings(kNames.settingsFileName).file, dir.Root() / "config" / "Morvex.INI");
    }
    const CScopedEnvironment home("HOME", dir.Root().c_str());
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "config"}) {
        const CScopedEnvironment config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(LocateSettings(kNames.settingsFileName).file, dir.Root() / ".config" / "Morvex.INI")
            << (ignored ? ignored : "unset");
    }
}

TEST(QtPlatformServices, UnitDialogSavesThroughALinkedSettingsFileKeepingItsModeAndSections)
{
    CTempDir dir;
    std::filesystem::create_directories(dir.Root() / "dotfiles");
    std::filesystem::create_directories(dir.Root() / "config");
    const std::string target = dir.Write("dotfiles/Morvex.INI", "[other]\nx=1\n");
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    std::filesystem::create_symlink("../dotfiles/Morvex.INI", dir.Root() / "config" / "Morvex.INI");
    const CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path("config").c_str());

    CQtPlatformServices services(kNames);
    CUnitDlg unit(LocateSettings(kNames.settingsFileName));
    CQtDialog dialog(unit, services);
    dialog.show();
    dialog.Edit(IDC_BYTE_UNIT)->setText("4");
    QTest::keyClick(dialog.Edit(IDC_BYTE_UNIT), Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);

    EXPECT_TRUE(std::filesystem::is_symlink(dir.Root() / "config" / "Morvex.INI"));
    EXPECT_EQ(CTempDir::Read(target), "[other]\nx=1\n[config]\nByteUnit=4\nLineUnit=10\n");
    struct stat status = {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

class CreatePromptFileDialog : public testing::Test
{
protected:
    CTempDir m_dir;
    CCreatePromptFileDialog m_chooser{nullptr, QStringLiteral("열기")};

    void Choose(const std::string& path)
    {
        m_chooser.setFileMode(QFileDialog::AnyFile);
        m_chooser.show();
        m_chooser.selectFile(QString::fromStdString(path));
        m_chooser.accept();
    }
};

TEST_F(CreatePromptFileDialog, NewNameClosesOnlyOnYesAndCreatesNothing)
{
    const std::string path = m_dir.Path("new.txt");
    QString prompt;
    {
        CModalHook<QMessageBox> refuse([&](QMessageBox& box) {
            prompt = box.text();
            box.button(QMessageBox::No)->click();
        });
        Choose(path);
        EXPECT_TRUE(refuse.Ran());
    }
    EXPECT_TRUE(prompt.startsWith(QString::fromStdString(path) + "\n")) << prompt.toStdString();
    EXPECT_TRUE(m_chooser.isVisible());

    CModalHook<QMessageBox> agree([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    m_chooser.accept();
    EXPECT_TRUE(agree.Ran());
    EXPECT_FALSE(m_chooser.isVisible());
    EXPECT_EQ(m_chooser.result(), QDialog::Accepted);
    EXPECT_EQ(m_chooser.selectedFiles(), QStringList{QString::fromStdString(path)});
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CreatePromptFileDialog, ExistingNameClosesWithoutAsking)
{
    const std::string path = m_dir.Write("old.txt", "x");
    CModalHook<QMessageBox> unexpected([](QMessageBox& box) {
        ADD_FAILURE() << "asked about an existing file";
        box.reject();
    });
    Choose(path);
    EXPECT_EQ(m_chooser.result(), QDialog::Accepted);
}

} // namespace
