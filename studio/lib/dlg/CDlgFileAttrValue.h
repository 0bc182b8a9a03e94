// The file attribute value panel: a captionless form that edits the default file information of
// a file template (family, storage folder, name, author, creation time and place, note, format
// and the family's extended attribute values) held as an image file object. Its host lays it
// over a frame of its own and reads the result with Save.
#pragma once

#include "qt/KxDialog.h"

#include "dlg/FileInfoFields.h"

#include "model/CkxAttr.h"
#include "model/CkxFileImage.h"

#include <string>

class CkxwAttrValueListCtrl;
class CxTreeCtrl;
class QCheckBox;
class QDateTimeEdit;
class QPushButton;
namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class CDlgFileAttrValue : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_TREE_DIR = 1007,
        IDC_EDT_NAME = 1008,
        IDC_CMB_AUTHOR = 1011,
        IDC_DT_AUTH = 1014,
        IDC_EDT_PLACE = 1017,
        IDC_EDT_NOTE = 1020,
        IDC_CHK_FORMAT = 1021,
        IDC_CMB_FORMAT = 1022,
        IDC_EDT_EXT = 1023,
        IDC_EDT_FAMILY = 1103,
        IDC_BTN_FAMILY = 1104,
        IDC_LIST_ATTR = 1128,
        IDC_CHK_INHERIT = 1202,
        IDC_BTN_POWER = 1203,
    };
    static constexpr const char* kRootName = fileinfo::kRootName;
    static constexpr const char* kUnknownAuthor = fileinfo::kUnknownAuthor;

    explicit CDlgFileAttrValue(QWidget* parent = nullptr);
    ~CDlgFileAttrValue() override;

    // Before Create: whether the controls accept changes (1 by default) and whether the object
    // shown is a given file (1) or a new one with defaults (0).
    void SetEditable(int editable) { m_nEditable = editable; }
    int IsEditable() const { return m_nEditable; }
    void SetHasFile(int hasFile) { m_nHasFile = hasFile; }

    // Copies the file in and shows it (controls and grid).
    void SetFile(const CkxFileImage& file);
    // The controls into the file object: 1, or 0 (nothing stored) after telling the user why.
    int Save();
    const CkxFileImage& GetFile() const { return m_file; }
    int GetFamilyID() const { return m_nFamilyID; }

    // The control handlers.
    void OnBtnFamily();
    void OnChkFormat();
    void OnDropdownAuthor();

    CxTreeCtrl* Tree() const { return m_tree; }
    CkxwAttrValueListCtrl* Grid() const { return m_grid; }
    kx::ComboBox* Authors() const { return m_author; }
    kx::ComboBox* Formats() const { return m_format; }

protected:
    void OnInitDialog() override;

private:
    void FillAuthors();
    void FillFolders();
    void FillFormats();
    // Step 5: the file's texts, family, author and folder into the controls.
    void ShowFile();
    // The family's extended attributes into the grid, with the file's values when it has one.
    void FillAttrs();
    void ApplyEditable();

    CkxFileImage m_file;
    int m_nHasFile = 0;
    int m_nFamilyID = -1;
    int m_nEditable = 1;
    bool m_bInit = false;
    // The grid's rows point into this list, which the panel owns (never the registry's).
    CkxAttrList m_attrs;

    CxTreeCtrl* m_tree = nullptr;
    CkxwAttrValueListCtrl* m_grid = nullptr;
    kx::Edit* m_name = nullptr;
    kx::Edit* m_ext = nullptr;
    kx::Edit* m_place = nullptr;
    kx::Edit* m_note = nullptr;
    kx::Edit* m_family = nullptr;
    kx::ComboBox* m_author = nullptr;
    kx::ComboBox* m_format = nullptr;
    QDateTimeEdit* m_time = nullptr;
    QCheckBox* m_useFormat = nullptr;
    QPushButton* m_pickFamily = nullptr;
};
