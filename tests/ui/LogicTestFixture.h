#pragma once

#include "FakeDialogWindow.h"
#include "SettingsStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

// A temporary folder holding the settings file and the files converted, and
// the fake desktop the dialogs' windows share.
class LogicTest : public testing::Test
{
protected:
    CTempDir m_dir;
    std::filesystem::path m_settingsFile = m_dir.Root() / "morvex.INI";
    CSettingsStore m_settings{m_settingsFile};
    CFakeDesktop m_desktop;

    bool SettingsFileExists() const { return std::filesystem::exists(m_settingsFile); }
    std::string SettingsText() const { return CTempDir::Read(m_settingsFile.string()); }

    // A settings file made new with these units, with the platform's line end.
    static std::string NewSettingsText(const std::string& byteUnit, const std::string& lineUnit)
    {
#ifdef _WIN32
        const std::string end = "\r\n";
#else
        const std::string end = "\n";
#endif
        return "[config]" + end + "ByteUnit=" + byteUnit + end + "LineUnit=" + lineUnit + end;
    }
};
