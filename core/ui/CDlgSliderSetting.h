// Edits the slide-show parameters: which slides (all, or a range with frames to skip), the order
// and looping, and the speed (an interval in seconds or milliseconds, or slides per second). OK
// reads only what the chosen modes use and keeps the other words as they were.
#pragma once

#include "model/CkxPlayParam.h"
#include "ui/KxShowDlg.h"

class QCheckBox;

namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class KX_EXPORT CDlgSliderSetting : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_CHK_ALL = 1160,
        IDC_EDT_FROM = 1161,
        IDC_EDT_TO = 1162,
        IDC_CHK_FORWARD = 1163,
        IDC_CHK_BACKWARD = 1164,
        IDC_CHK_INTERVAL = 1168,
        IDC_EDT_INTERVAL = 1169,
        IDC_CHK_SECONDS = 1170,
        IDC_CHK_MILLISECONDS = 1171,
        IDC_CHK_PER_SECOND = 1172,
        IDC_EDT_PER_SECOND = 1173,
        IDC_CMB_SKIP = 1174,
        IDC_CHK_LOOP = 1175,
    };

    explicit CDlgSliderSetting(QWidget* parent = nullptr);

    CkxPlayParam m_Param;

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;

private:
    void OnAll();
    void OnSpeedMode(bool interval);
    QCheckBox* Check(int id) const;
    kx::Edit* EditOf(int id) const;

    int m_nFrom = 0, m_nTo = 0, m_nInterval = 0, m_nPerSecond = 0;
    kx::ComboBox* skip_;
};

// Copies all eleven words in; after OK copies all eleven back and returns 1, else 0.
KX_EXPORT int KX_ShowDlg_SliderSetting(CkxPlayParam& param);
