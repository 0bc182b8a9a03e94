// The file template editor: a template's name, note and data kind, and its default file
// information in the attribute value panel laid over the frame 1147. Runs new (defaults), to
// view (nothing editable) or to modify; after OK the caller reads m_Templet and sends it.
#pragma once

#include "qt/KxDialog.h"

#include "model/CkxObjAttrTemplet.h"

class CDlgFileAttrValue;
class QGroupBox;
namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class CDlgFileTempletEdit : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_EDT_NAME = 1030, IDC_EDT_NOTE = 1020, IDC_CMB_KIND = 1143, IDC_FRAME = 1147 };

    explicit CDlgFileTempletEdit(QWidget* parent = nullptr);
    ~CDlgFileTempletEdit() override;

    // Before DoModal: 0 shows the template without allowing a change.
    void SetEditable(int editable) { m_nEditable = editable; }
    // Before DoModal: 1 (the default) a new template, 0 the template in m_Templet.
    void SetNew(int isNew) { m_nNew = isNew; }

    CDlgFileAttrValue* Panel() const { return m_panel; }

    // The template edited; after OK the edited one (unchanged after OK in view mode).
    CkxObjAttrTemplet m_Templet;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    int m_nNew = 1;
    int m_nEditable = 1;
    int m_nDataKind = KXD_IMAGE;

    QGroupBox* m_frame = nullptr;
    CDlgFileAttrValue* m_panel = nullptr;
    kx::Edit* m_name = nullptr;
    kx::Edit* m_note = nullptr;
    kx::ComboBox* m_kind = nullptr;
};
