#pragma once

#include "FakePlatformServices.h"
#include "SettingsStore.h"
#include "TempDir.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// A temporary folder holding the settings file and the files converted, and
// the fake platform services.
class GuiTest : public testing::Test
{
protected:
    CTempDir m_dir;
    std::filesystem::path m_settingsFile = m_dir.Root() / "morvex.INI";
    CFakePlatformServices m_services;
    CSettingsStore m_settings{m_settingsFile};

    QString Path(const std::string& name) const { return QString::fromStdString(m_dir.Path(name)); }
    bool SettingsFileExists() const { return std::filesystem::exists(m_dir.Root() / "morvex.INI"); }
    std::string SettingsText() const { return CTempDir::Read(m_dir.Path("morvex.INI")); }

    static void Show(QWidget& widget)
    {
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
    }

    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // Where a test saves the picture of a dialog for a reviewer.
    static void SaveScreenshot(QWidget& widget, const char* name)
    {
        const std::filesystem::path folder = MORVEX_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(widget.grab().save(QString::fromStdString((folder / name).string())));
    }
};
