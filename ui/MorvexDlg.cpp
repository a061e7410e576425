#include "MorvexDlg.h"

#include "AboutDlg.h"
#include "ConversionCommands.h"
#include "DialogTemplates.h"
#include "FailureDetails.h"
#include "ProgressJob.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "UnitDlg.h"

CMorvexDlg::CMorvexDlg(CSettingsLocation settings)
    : CDialog(MainDialogTemplate())
    , m_settings(std::move(settings))
{
    Exchange().Text(IDC_DEST_PATH, m_strDestPath);
    Exchange().Text(IDC_SOURCE_PATH, m_strSourcePath);
}

void CMorvexDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_BROWSE_SOURCE: OnBrowseSource(); break;
    case IDC_BROWSE_DEST: OnBrowseDest(); break;
    case IDC_BIN_TO_TXT: OnBinToText(); break;
    case IDC_TXT_TO_BIN: OnTextToBin(); break;
    case IDC_HEX_INVERT: OnHexInvert(); break;
    case IDC_COMMAND_HELP: OnCommandHelp(); break;
    case IDC_HOMEPAGE: OnHomePage(); break;
    case IDM_ABOUTBOX: OnAboutBox(); break;
    default: CDialog::OnCommand(id); break;
    }
}

void CMorvexDlg::OnInitDialog()
{
    const std::string_view aboutText = LoadResString(IDS_ABOUTBOX);
    if (!aboutText.empty())
        Window().AddAboutEntry(aboutText);
    Window().SetIcon(IDR_MAINFRAME);
    Window().SetCaption(TitleAndVersion());
    // A screen reader names each path edit after the button that fills it.
    NameAfter(IDC_SOURCE_PATH, IDC_BROWSE_SOURCE);
    NameAfter(IDC_DEST_PATH, IDC_BROWSE_DEST);
}

void CMorvexDlg::OnAboutBox()
{
    CAboutDlg aboutDialog;
    Window().RunModal(aboutDialog);
}

void CMorvexDlg::OnBrowseSource()
{
    Browse(EFileChoice::ExistingSource, m_strSourcePath);
}

void CMorvexDlg::OnBrowseDest()
{
    Browse(EFileChoice::Destination, m_strDestPath);
}

void CMorvexDlg::Browse(EFileChoice choice, std::string& field)
{
    const auto chosen = Window().ChooseFile(choice);
    if (!chosen)
        return;
    // Keeps what was typed meanwhile into the other edit box.
    UpdateFields();
    field = *chosen;
    UpdateControls();
}

void CMorvexDlg::OnBinToText()
{
    RunConversion(kBinToText);
}

void CMorvexDlg::OnTextToBin()
{
    RunConversion(kTextToBin);
}

void CMorvexDlg::OnHexInvert()
{
    RunConversion(kInvertText);
}

void CMorvexDlg::RunConversion(const CConversionCommand& command)
{
    UpdateFields();
    if (m_strSourcePath.empty()) {
        ShowMessage(LoadResString(IDS_SELECT_SOURCE_FIRST));
        return;
    }
    if (m_strDestPath.empty())
        m_strDestPath = m_strSourcePath + std::string(command.destSuffix);

    CArrayCodec codec;
    codec.SetSourcePath(m_strSourcePath);
    codec.SetDestPath(m_strDestPath);

    CUnitDlg unitDialog(m_settings);
    if (command.presetScannedByteUnit) {
        CByteUnitScan scan;
        RunWithProgress(codec, [&] { scan = codec.ScanByteUnit(); });
        if (scan.outcome == EOutcome::Cancelled)
            return;
        unitDialog.m_nByteUnit = scan.byteUnit;
    }
    unitDialog.SetLineUnitEnabled(command.lineUnitEnabled);
    // Shown, the derived name stays as if typed; otherwise it serves this
    // run only and the next command derives it anew.
    if (command.showDerivedDest)
        UpdateControls();

    if (Window().RunModal(unitDialog) != EDialogResult::OK)
        return;
    CConversionResult result;
    RunWithProgress(codec, [&] { result = (codec.*command.convert)(unitDialog.m_nByteUnit, unitDialog.m_nLineUnit); });
    // Only a cancel the engine saw counts: one after the last chunk changed
    // nothing, and the work is done.
    switch (result.outcome) {
    case EOutcome::Cancelled: break;
    case EOutcome::Done: ShowMessage(LoadResString(IDS_CONVERSION_DONE)); break;
    case EOutcome::Failed:
        ShowMessage(LoadResString(IDS_CONVERSION_FAILED),
            FailureDetails(result, [this](int errorNumber) { return Window().LocalSystemText(errorNumber); }));
        break;
    }
}

void CMorvexDlg::RunWithProgress(CArrayCodec& codec, const std::function<void()>& operation)
{
    CProgressJob job(m_strSourcePath, [&](const ProgressCallback& progress) {
        codec.SetProgress(progress);
        operation();
        codec.SetProgress({});
    });
    Window().RunWithProgress(job);
}

void CMorvexDlg::OnCommandHelp()
{
    ShowUsage();
}

void CMorvexDlg::OnHomePage()
{
    Window().OpenAddress(kHomePageAddress);
}
