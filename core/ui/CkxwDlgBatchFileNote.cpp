#include "ui/CkxwDlgBatchFileNote.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxFile.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "ui/CDlgSelectLocDir.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CkxwFamilyFileListCtrl.h"
#include "ui/KxShowDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace {

// The selected rows of a grid, in row order.
std::vector<int> SelectedRows(const CkxwFamilyFileListCtrl& grid) {
    std::vector<int> rows;
    for (int row = 0; row < grid.GetItemCount(); ++row)
        if (grid.IsItemSelected(row)) rows.push_back(row);
    return rows;
}

std::vector<CkxAttr*> Pointers(const CkxAttrList& list) {
    std::vector<CkxAttr*> out;
    list.ForEach([&](const CkxAttr& a) { out.push_back(const_cast<CkxAttr*>(&a)); });
    return out;
}

} // namespace

// ---- CkxwDlgFileAttrNote ----

CkxwDlgFileAttrNote::CkxwDlgFileAttrNote(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("属性注释"));
    auto* layout = new QVBoxLayout(this);
    m_list = new CkxwAttrNoteListCtrl(this);
    SetDlgItemId(m_list, IDC_LIST);
    layout->addWidget(m_list, 1);
    auto* row = new QHBoxLayout;
    const struct {
        const char* text;
        int id;
        void (CkxwDlgFileAttrNote::*handler)();
    } buttons[] = {{"全选", IDC_BTN_ALL, &CkxwDlgFileAttrNote::OnBtnSelectAll},
                   {"不选", IDC_BTN_NONE, &CkxwDlgFileAttrNote::OnBtnSelectNo},
                   {"反选", IDC_BTN_INVERT, &CkxwDlgFileAttrNote::OnBtnSelectInvert}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), this);
        SetDlgItemId(button, b.id);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, h = b.handler] { (this->*h)(); });
        row->addWidget(button);
    }
    row->addStretch(1);
    layout->addLayout(row);
    kx::AddOkCancel(this, layout);
    resize(420, 360);
}

CkxwDlgFileAttrNote::~CkxwDlgFileAttrNote() { m_list->FreeCtrl(); }

void CkxwDlgFileAttrNote::OnInitDialog() {
    m_list->InitCtrl();
    m_list->setWindowTitle(QStringLiteral("一致注释"));
    m_list->setAccessibleName(QStringLiteral("一致注释"));
    // Definitions are copied from the registry: the rows point into this dialog's own list.
    m_ValueList.ForEach([&](const CkxAttrValue& v) {
        if (v.GetAttrID() == KXB_LOCDIRID) return; // the storage folder has its own command
        if (const CkxAttr* a = KX_FamilyXXX().attr_Find(v.GetAttrID())) m_attrs.AddTail(*a);
    });
    for (CkxAttr* a : Pointers(m_attrs)) m_list->AddAttr(a);
    kx::Dialog::OnInitDialog();
}

void CkxwDlgFileAttrNote::OnOK() {
    m_list->CommitEdit();
    m_list->GetCheckAttrValueList(m_ValueList);
    EndDialog(kx::IDOK);
}

void CkxwDlgFileAttrNote::OnBtnSelectAll() { m_list->SelectAll(); }
void CkxwDlgFileAttrNote::OnBtnSelectNo() { m_list->SelectNo(); }
void CkxwDlgFileAttrNote::OnBtnSelectInvert() { m_list->SelectInvert(); }

int KX_ShowDlg_FileAttrNote(CkxAttrValueList& values) {
    return kx::RunDlg<CkxwDlgFileAttrNote>([&](CkxwDlgFileAttrNote& d) { d.m_ValueList = values; },
                                           [&](CkxwDlgFileAttrNote& d) { values = d.m_ValueList; });
}

// ---- CkxwDlgBatchFileNote ----

CkxwDlgBatchFileNote::CkxwDlgBatchFileNote(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("文件批量注释"));
    auto* layout = new QVBoxLayout(this);
    m_baseLabel = new QLabel(QStringLiteral("基本属性"), this);
    layout->addWidget(m_baseLabel);
    m_base = new CkxwFamilyFileListCtrl(this);
    SetDlgItemId(m_base, IDC_LIST_BASE);
    layout->addWidget(m_base, 1);
    m_exLabel = new QLabel(QStringLiteral("扩展属性"), this);
    SetDlgItemId(m_exLabel, IDC_LABEL_EX);
    layout->addWidget(m_exLabel);
    m_ex = new CkxwFamilyFileListCtrl(this);
    SetDlgItemId(m_ex, IDC_LIST_EX);
    layout->addWidget(m_ex, 1);
    layout->addWidget(new QLabel(QStringLiteral("友好提醒：在列表框的右键弹出菜单中进行文件的批量注释"), this));
    kx::AddOkCancel(this, layout);
    for (CkxwFamilyFileListCtrl* grid : {m_base, m_ex}) {
        grid->SetMultipleSelection(true);
        grid->SetFullRowSelect(true);
    }
    connect(m_base, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& at) { ShowMenu(m_base, m_menuBase.get(), at); });
    connect(m_ex, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& at) { ShowMenu(m_ex, m_menuEx.get(), at); });
    resize(640, 520);
}

CkxwDlgBatchFileNote::~CkxwDlgBatchFileNote() = default;

void CkxwDlgBatchFileNote::OnInitDialog() {
    if (!m_strCaption.empty()) setWindowTitle(kx::Q(m_strCaption));
    if (m_nExMode) {
        m_ex->show();
        m_exLabel->show();
    } else {
        // The base grid takes the room of the hidden extended grid.
        m_ex->hide();
        m_exLabel->hide();
        m_baseLabel->setText(QStringLiteral("文件属性"));
    }
    m_menuBase = std::make_unique<kx::PopupMenu>(this);
    m_menuBase->AppendMenu(QStringLiteral("一致注释"), ID_BASE_NOTE);
    m_menuBase->AppendMenu(QStringLiteral("选择目录"), ID_BASE_FOLDER);
    m_menuEx = std::make_unique<kx::PopupMenu>(this);
    m_menuEx->AppendMenu(QStringLiteral("一致注释"), ID_EX_NOTE);

    const CkxFamilyXXX& reg = KX_FamilyXXX();
    CkxAttrList baseAttrs;
    const int family = m_nFamilyID;
    if (reg.family_IsImage(family)) {
        CkxFileImage::_GetCanEditBaseAttrList(baseAttrs);
    } else if (!(reg.family_IsText(family) || reg.family_IsAudio(family) || reg.family_IsVideo(family) ||
                 reg.family_IsBinary(family))) {
        CkxFile::_GetCanEditBaseAttrList(baseAttrs);
    }
    m_base->SelectFamily(Pointers(baseAttrs));
    CkxAttrList exAttrs;
    if (m_nExMode && !CkxFamilyXXX::family_IsRoot(family)) reg.attr_GetFamilyAllExAttr(family, exAttrs);
    if (m_nExMode) m_ex->SelectFamily(Pointers(exAttrs));

    for (POSITION p = m_FileList.GetHeadPosition(); p;) {
        const CkxFileX* handle = m_FileList.GetNext(p);
        const CkxFile* file = handle ? handle->GetObj() : nullptr;
        if (!file) continue;
        if (m_base->IsHasAttrCol()) m_base->AddFile(file, m_nShowValues);
        if (m_nExMode && m_ex->IsHasAttrCol()) m_ex->AddFile(file, m_nShowValues);
    }
    m_bInit = true;
    kx::Dialog::OnInitDialog();
}

void CkxwDlgBatchFileNote::ShowMenu(CkxwFamilyFileListCtrl* grid, kx::PopupMenu* menu, const QPoint& globalPos) {
    if (!menu || grid->GetSelectCount() < 1) return;
    switch (menu->TrackPopupMenu(globalPos)) {
    case ID_BASE_NOTE: OnBaseNote(); break;
    case ID_BASE_FOLDER: OnSelectFolder(); break;
    case ID_EX_NOTE: OnExNote(); break;
    default: break;
    }
}

void CkxwDlgBatchFileNote::UniformNote(CkxwFamilyFileListCtrl* grid) {
    grid->CommitEdit();
    const std::vector<int> rows = SelectedRows(*grid);
    CkxAttrValueList values;
    if (!rows.empty()) grid->GetFileAttrValue(rows.front(), values);
    if (!KX_ShowDlg_FileAttrNote(values)) return;
    for (int row : rows) grid->SetFileAttrValue(row, values);
}

CkxFileX* CkxwDlgBatchFileNote::FindFile(int id) const {
    for (POSITION p = m_FileList.GetHeadPosition(); p;) {
        CkxFileX* handle = m_FileList.GetNext(p);
        if (handle && handle->GetID() == id) return handle;
    }
    return nullptr;
}

void CkxwDlgBatchFileNote::OnSelectFolder() {
    int folder = -1;
    if (!KX_ShowDlg_SelectCreateLocDir(this, folder)) return;
    CkxAttrValueList values;
    CkxAttrValue place(-1, KXB_LOCDIRID);
    place.m_Value = CkxValueSp(folder);
    values.AddTail(place);
    for (int row : SelectedRows(*m_base)) {
        m_base->SetFileAttrValue(row, values);
        if (CkxFileX* handle = FindFile(m_base->GetItemFileID(row)); handle && handle->GetObj())
            handle->GetObj()->m_nLocDirID = folder;
    }
}

void CkxwDlgBatchFileNote::OnOK() {
    m_base->CommitEdit();
    m_ex->CommitEdit();
    for (int row = 0; row < m_base->GetItemCount(); ++row) {
        CkxFileX* handle = FindFile(m_base->GetItemFileID(row));
        if (!handle || !handle->GetObj()) continue;
        CkxAttrValueList values;
        m_base->GetFileAttrValue(row, values);
        const CkxAttrValueList filled = values.GetFilled();
        if (filled.GetCount() > 0) handle->GetObj()->SetAttrValue(filled);
    }
    for (int row = 0; m_nExMode && row < m_ex->GetItemCount(); ++row) {
        CkxFileX* handle = FindFile(m_ex->GetItemFileID(row));
        if (!handle || !handle->GetObj()) continue;
        CkxAttrValueList values;
        m_ex->GetFileAttrValue(row, values);
        // Each filled value is set on its own: the file keeps the values of the other attributes.
        CkxFile* file = handle->GetObj();
        values.GetFilled().ForEach([&](const CkxAttrValue& v) { file->SetExAttrValue(v); });
    }
    EndDialog(kx::IDOK);
}

namespace {
int RunBatch(const std::string& caption, int familyId, int exMode, CkxFileXList& files, int showValues) {
    return kx::RunDlg<CkxwDlgBatchFileNote>(
        [&](CkxwDlgBatchFileNote& d) {
            d.m_strCaption = caption;
            d.m_nFamilyID = familyId;
            d.m_nExMode = exMode;
            d.m_nShowValues = showValues;
            d.m_FileList = files; // copies of the caller's files
        },
        [&](CkxwDlgBatchFileNote& d) { files = d.m_FileList; });
}
} // namespace

int KX_ShowDlg_BatchFileNote(const std::string& caption, CkxFileXList& files, int showValues) {
    return RunBatch(caption, -1, 0, files, showValues);
}

int KX_ShowDlg_BatchFamilyFileNote(const std::string& caption, int familyId, CkxFileXList& files, int showValues) {
    return RunBatch(caption, familyId, 1, files, showValues);
}
