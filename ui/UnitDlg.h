#pragma once

#include "SettingsLocation.h"

#include "Dialog.h"
#include "SettingsStore.h"

// Asks for the byte unit (1 to 9) and the line unit (1 or more) before a
// conversion. A unit left at 0 by the caller is taken from the settings
// file; OK stores both units there.
class CUnitDlg : public CDialog
{
public:
    explicit CUnitDlg(CSettingsLocation settings);

    // Takes effect when called before the dialog runs.
    void SetLineUnitEnabled(bool enabled);

    int m_nByteUnit = 0;
    int m_nLineUnit = 0;
    bool m_bLineUnitEnabled = true;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CSettingsStore m_settings;
};
