// The database settings dialog: whether to show it at every start, whether to use the default
// catalogue in the data folder, and the catalogue file's path otherwise.
#pragma once

#include "startup/CServerConfig.h"
#include "qt/KxDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class CDlgDBConf : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_CHECK_WARN = 1001,    // DB_WARN
        IDC_CHECK_DEFAULT = 1002, // DB_DEFAULT
        IDC_EDIT_PATH = 1003,     // DB_SETPATH
        IDC_BUTTON_BROWSE = 1004,
    };

    explicit CDlgDBConf(QWidget* parent = nullptr);
    ~CDlgDBConf() override;

    void SetConf(const KxDbConf& conf) { m_conf = conf; }
    // The values as the dialog left them (after OK: as the user set them).
    const KxDbConf& GetConf() const { return m_conf; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void UpdatePathState();
    void OnBrowse();

    KxDbConf m_conf;
    QCheckBox* m_warn = nullptr;
    QCheckBox* m_default = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
};
