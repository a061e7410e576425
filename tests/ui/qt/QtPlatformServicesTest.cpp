#include "AppNames.h"
#include "CreatePromptFileDialog.h"
#include "ModalHook.h"
#include "QtPlatformServices.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

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
        box.button(QMessageBox::Ok)->click();
    });
    services.ShowMessage(&owner, QStringLiteral("변환완료"));
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
    const CQtPlatformServices services(kNames);
    {
        const CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path("config").c_str());
        EXPECT_EQ(services.SettingsFilePath(), dir.Root() / "config" / "Morvex.INI");
    }
    const CScopedEnvironment noConfig("XDG_CONFIG_HOME", nullptr);
    const CScopedEnvironment home("HOME", dir.Root().c_str());
    EXPECT_EQ(services.SettingsFilePath(), dir.Root() / ".config" / "Morvex.INI");
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
