#pragma once

#include "SettingsLocation.h"

#include "Dialog.h"

#include "DialogWindow.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class CArrayCodec;
struct CConversionCommand;

// The program's home page, opened by the home-page button.
inline constexpr std::string_view kHomePageAddress = "http://morvex.example.org/morvex";

// The main dialog: a source and a destination path, the three conversions,
// the command-line help, the home page and the about box.
class CMorvexDlg : public CDialog
{
public:
    // The unit dialog keeps its units in the settings file.
    explicit CMorvexDlg(CSettingsLocation settings);

    void OnCommand(int id) override;

    void OnBrowseSource();
    void OnBrowseDest();
    void OnBinToText();
    void OnTextToBin();
    void OnHexInvert();
    void OnCommandHelp();
    void OnHomePage();
    void OnAboutBox();

    std::string m_strDestPath;
    std::string m_strSourcePath;

protected:
    void OnInitDialog() override;

private:
    void Browse(EFileChoice choice, std::string& field);
    void RunConversion(const CConversionCommand& command);
    // Runs one operation of the codec on the source, with progress and
    // cancel; the operation's result says whether the user cancelled it.
    void RunWithProgress(CArrayCodec& codec, const std::function<void()>& operation);

    CSettingsLocation m_settings;
};
