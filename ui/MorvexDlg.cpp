#include "MorvexDlg.h"

#include "AboutDlg.h"
#include "ArrayCodec.h"
#include "DialogTemplates.h"
#include "PlatformServices.h"
#include "QtText.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "UnitDlg.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QShortcut>

namespace {

constexpr char kSelectSourceFirst[] = "원본파일을 먼저 선택하세요";
constexpr char kConversionDone[] = "변환완료";
constexpr char kConversionFailed[] = "변환실패";

std::string ToFilePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

// How the three conversion commands differ.
struct CMorvexDlg::CConversion
{
    const char* destSuffix;
    bool presetScannedByteUnit;
    bool lineUnitEnabled;
    bool showDerivedDest;
    bool (CArrayCodec::*convert)(int byteUnit, int lineUnit);
};

CMorvexDlg::CMorvexDlg(IPlatformServices& services, QWidget* parent)
    : CDialog(MainDialogTemplate(), services, parent)
    , m_hIcon(QString::fromLatin1(kMainIconResource))
{
    Exchange().Text(Edit(IDC_DEST_PATH), m_strDestPath);
    Exchange().Text(Edit(IDC_SOURCE_PATH), m_strSourcePath);

    connect(Button(IDC_BROWSE_SOURCE), &QAbstractButton::clicked, this, &CMorvexDlg::OnBrowseSource);
    connect(Button(IDC_BROWSE_DEST), &QAbstractButton::clicked, this, &CMorvexDlg::OnBrowseDest);
    connect(Button(IDC_BIN_TO_TXT), &QAbstractButton::clicked, this, &CMorvexDlg::OnBinToText);
    connect(Button(IDC_TXT_TO_BIN), &QAbstractButton::clicked, this, &CMorvexDlg::OnTextToBin);
    connect(Button(IDC_HEX_INVERT), &QAbstractButton::clicked, this, &CMorvexDlg::OnHexInvert);
    connect(Button(IDC_COMMAND_HELP), &QAbstractButton::clicked, this, &CMorvexDlg::OnCommandHelp);
    connect(Button(IDC_HOMEPAGE), &QAbstractButton::clicked, this, &CMorvexDlg::OnHomePage);
}

void CMorvexDlg::OnInitDialog()
{
    AddAboutEntry();
    setWindowIcon(m_hIcon);
    setWindowTitle(ToQString(TitleAndVersion()));
}

// Linux desktops give an application no system menu to extend, so the about
// entry lives in the dialog's context menu: right click, the Menu key, or
// Shift+F10.
void CMorvexDlg::AddAboutEntry()
{
    const QString aboutText = ToQString(LoadResString(IDS_ABOUTBOX));
    if (aboutText.isEmpty())
        return;
    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(aboutText, this, &CMorvexDlg::OnAboutBox);
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shortcut, &QShortcut::activated, this, [this] {
        QWidget* anchor = focusWidget() ? focusWidget() : this;
        m_pContextMenu->popup(anchor->mapToGlobal(anchor->rect().center()));
    });
}

void CMorvexDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_pContextMenu)
        m_pContextMenu->popup(event->globalPos());
}

void CMorvexDlg::OnAboutBox()
{
    CAboutDlg aboutDialog(Services(), this);
    aboutDialog.DoModal();
}

void CMorvexDlg::OnBrowseSource()
{
    Browse(EFileChoice::ExistingSource, m_strSourcePath);
}

void CMorvexDlg::OnBrowseDest()
{
    Browse(EFileChoice::Destination, m_strDestPath);
}

void CMorvexDlg::Browse(EFileChoice choice, QString& field)
{
    const auto chosen = Services().ChooseFile(this, choice);
    if (!chosen)
        return;
    // Keeps what was typed meanwhile into the other edit box.
    UpdateFields();
    field = *chosen;
    UpdateControls();
}

void CMorvexDlg::OnBinToText()
{
    static constexpr CConversion kBinToText{".txt", false, true, false, &CArrayCodec::BinToText};
    RunConversion(kBinToText);
}

void CMorvexDlg::OnTextToBin()
{
    static constexpr CConversion kTextToBin{".bin", true, false, true, &CArrayCodec::TextToBin};
    RunConversion(kTextToBin);
}

void CMorvexDlg::OnHexInvert()
{
    static constexpr CConversion kHexInvert{".txt", true, true, false, &CArrayCodec::InvertText};
    RunConversion(kHexInvert);
}

void CMorvexDlg::RunConversion(const CConversion& conversion)
{
    UpdateFields();
    if (m_strSourcePath.isEmpty()) {
        ShowMessage(QString::fromUtf8(kSelectSourceFirst));
        return;
    }
    if (m_strDestPath.isEmpty())
        m_strDestPath = m_strSourcePath + QString::fromLatin1(conversion.destSuffix);

    CArrayCodec codec;
    codec.SetSourcePath(ToFilePath(m_strSourcePath));
    codec.SetDestPath(ToFilePath(m_strDestPath));

    CUnitDlg unitDialog(Services(), this);
    if (conversion.presetScannedByteUnit)
        unitDialog.m_nByteUnit = codec.ScanByteUnit();
    unitDialog.SetLineUnitEnabled(conversion.lineUnitEnabled);
    // Shown, the derived name stays as if typed; otherwise it serves this
    // run only and the next command derives it anew.
    if (conversion.showDerivedDest)
        UpdateControls();

    if (unitDialog.DoModal() != Accepted)
        return;
    const bool converted = (codec.*conversion.convert)(unitDialog.m_nByteUnit, unitDialog.m_nLineUnit);
    ShowMessage(QString::fromUtf8(converted ? kConversionDone : kConversionFailed));
}

void CMorvexDlg::OnCommandHelp()
{
    ShowUsage();
}

void CMorvexDlg::OnHomePage()
{
    Services().OpenUrl(ToQString(kHomePageAddress));
}
