#pragma once

#include "Dialog.h"

#include <QIcon>

#include <string_view>

class CArrayCodec;
class QMenu;
enum class EFileChoice;

// The program's home page, opened by the home-page button.
inline constexpr std::string_view kHomePageAddress = "http://morvex.example.org/morvex";

// The main dialog: a source and a destination path, the three conversions,
// the command-line help and the home page.
class CMorvexDlg : public CDialog
{
public:
    explicit CMorvexDlg(IPlatformServices& services, QWidget* parent = nullptr);

    void OnBrowseSource();
    void OnBrowseDest();
    void OnBinToText();
    void OnTextToBin();
    void OnHexInvert();
    void OnCommandHelp();
    void OnHomePage();
    void OnAboutBox();

    QString m_strDestPath;
    QString m_strSourcePath;
    QIcon m_hIcon;

protected:
    void OnInitDialog() override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct CConversion;

    void Browse(EFileChoice choice, QString& field);
    void RunConversion(const CConversion& conversion);
    void AddAboutEntry();

    QMenu* m_pContextMenu = nullptr;
};
