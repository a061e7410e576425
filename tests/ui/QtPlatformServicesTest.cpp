#include "AppNames.h"
#include "CreatePromptFileDialog.h"
#include "QtPlatformServices.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

namespace {

// Answers the next modal message box from inside its event loop; closes it
// regardless, so that a wrong answer cannot hang the test.
void WhenMessageBox(std::function<void(QMessageBox&)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no message box is open";
        answer(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the message box was left open";
            box->reject();
        }
    });
}

const CAppNames kNames = CAppNames::FromExecutablePath("/opt/tools/Morvex");

TEST(QtPlatformServices, MessageBoxFollowsTheConvention)
{
    CQtPlatformServices services(kNames);
    QWidget owner;
    bool answered = false;
    WhenMessageBox([&](QMessageBox& box) {
        answered = true;
        EXPECT_EQ(box.windowTitle(), "Morvex");
        EXPECT_EQ(box.text(), QStringLiteral("변환완료"));
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.parentWidget(), &owner);
        box.button(QMessageBox::Ok)->click();
    });
    services.ShowMessage(&owner, QStringLiteral("변환완료"));
    EXPECT_TRUE(answered);
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
    WhenMessageBox([&](QMessageBox& box) {
        prompt = box.text();
        box.button(QMessageBox::No)->click();
    });
    Choose(path);
    EXPECT_TRUE(prompt.startsWith(QString::fromStdString(path) + "\n")) << prompt.toStdString();
    EXPECT_TRUE(m_chooser.isVisible());

    WhenMessageBox([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    m_chooser.accept();
    EXPECT_FALSE(m_chooser.isVisible());
    EXPECT_EQ(m_chooser.result(), QDialog::Accepted);
    EXPECT_EQ(m_chooser.selectedFiles(), QStringList{QString::fromStdString(path)});
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CreatePromptFileDialog, ExistingNameClosesWithoutAsking)
{
    const std::string path = m_dir.Write("old.txt", "x");
    QTimer unexpectedPrompt;
    unexpectedPrompt.setSingleShot(true);
    QObject::connect(&unexpectedPrompt, &QTimer::timeout, [] {
        ADD_FAILURE() << "asked about an existing file";
        QApplication::activeModalWidget()->close();
    });
    unexpectedPrompt.start(0);
    Choose(path);
    EXPECT_EQ(m_chooser.result(), QDialog::Accepted);
}

} // namespace
