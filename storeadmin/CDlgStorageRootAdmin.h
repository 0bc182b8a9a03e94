// The storage-root administration dialog: lists the 26 root slots of a storage, creates a root
// on a chosen drive and deletes a root with its files, and will not close without a usable root
// unless the user agrees to leave.
#pragma once

#include "qt/KxDialog.h"
#include "model/KxExport.h"

namespace kx {
class PopupMenu;
}
class QPoint;
class QTreeWidget;
class QTreeWidgetItem;
class ZoZI_Storage;

class KX_EXPORT CDlgStorageRootAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDD = 135,
        IDC_LIST_STORAGE = 1007,
        IDR_MENU_STORAGE = 137,
        ID_STORAGE_CREATE = 32772,
        ID_STORAGE_DELETE = 32773,
    };

    explicit CDlgStorageRootAdmin(QWidget* parent = nullptr);
    ~CDlgStorageRootAdmin() override;

    // The storage to show and change; 0 for none, else 1.
    int SetDF(ZoZI_Storage* storage);
    // 0 shows the list disabled: nothing can be changed.
    void EnableAdmin(int enable);

    // The menu commands (create in / delete the selected slot).
    void OnCommand(int id);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void FillRow(int slot);
    void FillRows();
    int SelectedSlot() const;
    void OnContextMenu(const QPoint& pos);
    void OnDoubleClick(QTreeWidgetItem* item);
    void OnCreate();
    void OnDelete();

    ZoZI_Storage* m_pStorage = nullptr;
    int m_bEnableAdmin = 1;
    QTreeWidget* m_list = nullptr;
    kx::PopupMenu* m_menuCreate = nullptr;
    kx::PopupMenu* m_menuDelete = nullptr;
};
