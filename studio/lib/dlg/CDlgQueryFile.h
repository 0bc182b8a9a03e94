// The file query dialog: the query conditions in the condition panel, saved as a new stored
// template or taken from one; on OK the dialog's template is the query the caller runs.
#pragma once

#include "model/CkxQueryTemplet.h"
#include "qt/KxDialog.h"

#include <functional>

class CDlgQueryCondition;
class CStudioLink;
class QGroupBox;

class CDlgQueryFile : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_FRAME = 1147, IDC_SAVE_TEMPLET = 1144, IDC_OPEN_TEMPLET = 1145 };

    explicit CDlgQueryFile(CStudioLink& link, QWidget* parent = nullptr);

    // Before DoModal: 1 offers the family and its attribute conditions, 0 the compact panel.
    void SetPanelMode(int mode) { m_nPanelMode = mode; }
    // The family condition: this family only; the folder condition: this folder only, or any.
    void SetFamily(int familyId);
    void SetFolder(int folderId);
    void SetAnyFolder();

    // "保存为查询模板": the panel's conditions go out as a new template under the name asked for.
    void OnSaveTemplet();
    // "打开查询模板": a stored template, while it is still cached, shown in the panel.
    void OnOpenTemplet();

    CDlgQueryCondition* Panel() const { return m_panel; }

    // The query commands: the dialog in the compact layout, preset by the caller, and on OK a
    // query document for its template. Returns the dialog's result.
    static int QueryFiles(CStudioLink& link, QWidget* parent, const std::function<void(CDlgQueryFile&)>& preset);

    // The query; read by the caller after IDOK.
    CkxQueryTemplet m_Templet;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CStudioLink& m_link;
    QGroupBox* m_frame = nullptr;
    CDlgQueryCondition* m_panel = nullptr;
    int m_nPanelMode = 0;
};
