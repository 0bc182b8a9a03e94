// CDlgFileInfo ("保存文件"): edits the descriptive fields of one catalogue file before it goes to
// the server: name, author, creation date, place, note, format, storage folder and, when the
// caller switches it on, the family with its extended attribute values. The caller copies a file
// into m_File (setting m_nFileGiven), runs the dialog and reads m_File back after OK. With the
// family part off the file keeps its family and values.
#pragma once

#include "qt/KxDialog.h"

#include "model/CkxAttr.h"
#include "model/CkxFileImage.h"

class CkxwAttrValueListCtrl;
class CxTreeCtrl;
class QCheckBox;
class QDateEdit;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class CDlgFileInfo : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_TREE_DIR = 1007, IDC_EDT_NAME = 1008, IDC_CMB_AUTHOR = 1011, IDC_DT_AUTH = 1014, IDC_EDT_PLACE = 1017,
        IDC_EDT_NOTE = 1020, IDC_CHK_FORMAT = 1021, IDC_CMB_FORMAT = 1022, IDC_EDT_EXT = 1023,
        IDC_EDT_FAMILY = 1103, IDC_BTN_FAMILY = 1104, IDC_LIST_ATTR = 1128,
        IDC_LBL_FAMILY = 1288, IDC_GRP_ATTR = 1289, IDC_GRP_BASE = 1313,
    };
    enum Mode { MODE_NONE = 0, MODE_MODIFY = 1, MODE_UPLOAD = 2, MODE_SAVE_TO_SERVER = 3 };
    static constexpr const char* kPlaceTooLong = "地址不能超过50个字母";
    static constexpr const char* kNoCreateRight = "您没有在\"%s\"目录下创建文件的权限";
    // What the record's fields hold, in GBK bytes with the closing NUL left out.
    static constexpr size_t kNameLimit = 44;
    static constexpr size_t kTextLimit = 49;

    explicit CDlgFileInfo(QWidget* parent = nullptr);
    ~CDlgFileInfo() override;

    void SetModifyMode() { m_nMode = MODE_MODIFY; }
    void SetUploadMode() { m_nMode = MODE_UPLOAD; }
    void SetSaveToServerMode() { m_nMode = MODE_SAVE_TO_SERVER; }
    int GetMode() const { return m_nMode; }
    void SetFamilyPart(int on) { m_nFamilyPart = on ? 1 : 0; }
    void ShowFamilyPart() { m_nFamilyPart = 1; }
    void HideFamilyPart() { m_nFamilyPart = 0; }
    int GetFamilyID() const { return m_nFamilyID; }

    // Control handlers.
    void OnChkFormat();
    void OnDropdownAuthor();
    void OnBtnFamily();

    CkxwAttrValueListCtrl* Grid() const { return m_grid; }
    CxTreeCtrl* Tree() const { return m_tree; }

    // The file edited, and whether the caller gave one.
    CkxFileImage m_File;
    int m_nFileGiven = 0;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void FillAttrs();
    void ApplyFamilyPart();

    QGridLayout* m_baseGrid = nullptr;
    QVBoxLayout* m_left = nullptr;
    QGroupBox* m_base = nullptr;
    QGroupBox* m_attrGroup = nullptr;
    QLabel* m_familyLabel = nullptr;
    kx::Edit* m_name = nullptr;
    kx::Edit* m_place = nullptr;
    kx::Edit* m_note = nullptr;
    kx::Edit* m_ext = nullptr;
    kx::Edit* m_family = nullptr;
    QPushButton* m_pickFamily = nullptr;
    QCheckBox* m_useFormat = nullptr;
    kx::ComboBox* m_author = nullptr;
    kx::ComboBox* m_format = nullptr;
    QDateEdit* m_date = nullptr;
    CxTreeCtrl* m_tree = nullptr;
    CkxwAttrValueListCtrl* m_grid = nullptr;
    CkxAttrList m_attrs; // the rows' attributes
    int m_nFamilyPart = 0;
    int m_nMode = MODE_NONE;
    int m_nFamilyID = 0;
};
