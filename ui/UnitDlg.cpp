#include "UnitDlg.h"

#include "DialogTemplates.h"
#include "DialogWindow.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "textarray/ByteUnit.h"

namespace {

constexpr char kSection[] = "config";
constexpr char kByteUnitKey[] = "ByteUnit";
constexpr char kLineUnitKey[] = "LineUnit";
constexpr int kDefaultByteUnit = 1;
constexpr int kDefaultLineUnit = 10;

// The writers need at least one number per line.
constexpr int kMinimumLineUnit = 1;

} // namespace

CUnitDlg::CUnitDlg(CSettingsLocation settings)
    : CDialog(UnitDialogTemplate())
    , m_settings(std::move(settings.file), std::move(settings.carriedOverFrom))
{
    Exchange().Integer(IDC_BYTE_UNIT, m_nByteUnit);
    Exchange().Range(IDC_BYTE_UNIT, m_nByteUnit, CByteUnit::kMin, CByteUnit::kMax);
    Exchange().Integer(IDC_LINE_UNIT, m_nLineUnit);
    Exchange().Check(
        IDC_LINE_UNIT, m_nLineUnit, [](int value) { return value >= kMinimumLineUnit; },
        std::string(LoadResString(IDS_ENTER_POSITIVE_INTEGER)));
}

void CUnitDlg::SetLineUnitEnabled(bool enabled)
{
    m_bLineUnitEnabled = enabled;
}

void CUnitDlg::OnInitDialog()
{
    // A screen reader names each edit by the question above it.
    NameAfter(IDC_BYTE_UNIT, IDC_BYTE_UNIT_LABEL);
    NameAfter(IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL);
    if (m_nByteUnit == 0) {
        m_nByteUnit = m_settings.ReadSettingInt(kSection, kByteUnitKey, kDefaultByteUnit);
        UpdateControls();
    }
    if (m_nLineUnit == 0) {
        m_nLineUnit = m_settings.ReadSettingInt(kSection, kLineUnitKey, kDefaultLineUnit);
        UpdateControls();
    }
    if (!m_bLineUnitEnabled) {
        // A greyed edit box cannot be corrected, so a stored line unit it
        // would refuse gives way to the default.
        if (m_nLineUnit < kMinimumLineUnit) {
            m_nLineUnit = kDefaultLineUnit;
            UpdateControls();
        }
        for (const int id : {IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL, IDC_LINE_UNIT_SUFFIX})
            EnableControl(id, false);
    }
}

void CUnitDlg::OnOK()
{
    if (!UpdateFields())
        return;
    m_settings.WriteSettingInt(kSection, kByteUnitKey, m_nByteUnit);
    m_settings.WriteSettingInt(kSection, kLineUnitKey, m_nLineUnit);
    Window().End(EDialogResult::OK);
}
