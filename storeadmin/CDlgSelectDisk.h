// The drive picker of the storage-root dialog: lists the present drives with their total and
// free megabytes and gives back the root text of the chosen one.
#pragma once

#include "qt/KxDialog.h"
#include "model/KxExport.h"
#include "storeadmin/StorageDrives.h"

#include <string>
#include <vector>

class QTreeWidget;

class KX_EXPORT CDlgSelectDisk : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 136, IDC_LIST_DISK = 1008 };

    CDlgSelectDisk(QWidget* parent, std::vector<StorageDrive> drives);
    ~CDlgSelectDisk() override;

    // The root text of the drive chosen with OK ("C:\"), empty before.
    const std::string& GetSelectedDrive() const { return m_selected; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<StorageDrive> m_drives;
    QTreeWidget* m_list = nullptr;
    std::string m_selected;
};
