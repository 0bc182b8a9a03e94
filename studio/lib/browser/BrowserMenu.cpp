#include "browser/BrowserMenu.h"

#include "doc/CvClientDoc.h"
#include "qt/KxPopupMenu.h"

#include <initializer_list>

namespace {

using Item = BrowserMenuItem;

Item Cmd(int id, const char* text) { return {id, text, true, {}}; }
Item Sep() { return {0, "", true, {}}; }

Item ModePopup() {
    return {-1, "浏览模式", true,
            {Cmd(ID_MODE_LARGE, "大图标"), Cmd(ID_MODE_SMALL, "小图标"), Cmd(ID_MODE_LIST, "列  表"),
             Cmd(ID_MODE_REPORT, "报  表"), Sep(), Cmd(ID_CTX_MICRO50, "微缩图(50x50)"),
             Cmd(ID_CTX_MICRO70, "微缩图(70x70)"), Cmd(ID_CTX_MICRO90, "微缩图(90x90)"),
             Cmd(ID_CTX_MICRO110, "微缩图(110x110)"), Cmd(ID_CTX_MICRO130, "微缩图(130x130)")}};
}

void SetEnabled(std::vector<Item>& items, std::initializer_list<int> ids, bool on) {
    for (int id : ids)
        for (Item& i : items)
            if (i.id == id) i.enabled = on;
}

// Outside batch mode the batch annotation item goes; in it, it stays grayed where asked.
void BatchItem(std::vector<Item>& items, bool batchMode, bool gray) {
    if (!batchMode) {
        std::erase_if(items, [](const Item& i) { return i.id == ID_BATCH_NOTE; });
        return;
    }
    if (gray) SetEnabled(items, {ID_BATCH_NOTE}, false);
}

} // namespace

const BrowserMenuItem* BrowserMenu::Find(int id) const {
    for (const Item& i : items) {
        if (i.id == id) return &i;
        for (const Item& s : i.sub)
            if (s.id == id) return &s;
    }
    return nullptr;
}

std::vector<int> BrowserMenu::Ids() const {
    std::vector<int> out;
    for (const Item& i : items)
        if (i.id != 0) out.push_back(i.id);
    return out;
}

BrowserMenu BuildBrowserMenu(int docKind, const std::vector<BrowserFileRights>& selected, bool batchMode) {
    BrowserMenu m;
    const size_t n = selected.size();
    if (docKind == CvClientDoc::KIND_LOCAL) {
        if (n == 0) {
            m.name = "Local_SelNo";
            m.items = {Cmd(ID_RELOAD_LOCAL, "重载文件"), Cmd(ID_APPEND_LOCAL, "扩载文件"), Sep(),
                       Cmd(ID_SELECT_ALL, "全选文件"), ModePopup(), Sep(), Cmd(ID_BATCH_NOTE, "批量注释"),
                       Cmd(ID_SLIDE_SHOW, "幻灯片")};
        } else {
            m.name = n == 1 ? "Local_SelOne" : "Local_SelMul";
            m.items = {Cmd(ID_OPEN_DEF, "默认打开"), Cmd(ID_OPEN_WAY, "打开方式..."), Cmd(ID_OPEN_EDITOR, "Tintwork 打开"),
                       Sep(), Cmd(ID_COPY, "复制到剪贴板"), Cmd(ID_UPLOAD, "上载到服务器"), Cmd(ID_PRINT, "打印文件"),
                       Sep(), Cmd(ID_SELECT_ALL, "全选文件"), Cmd(ID_DELETE, "删除文件"), Sep(), ModePopup(),
                       Cmd(ID_BATCH_NOTE, "批量注释"), Cmd(ID_SLIDE_SHOW, "幻灯片")};
        }
        BatchItem(m.items, batchMode, true);
        return m;
    }
    if (docKind == CvClientDoc::KIND_RECYCLE) {
        // The bin's pop-ups are used as they stand.
        if (n == 0) {
            m.name = "RecycleStg_No";
            m.items = {Cmd(ID_RESTORE_ALL, "全部还原"), Sep(), Cmd(ID_SELECT_ALL, "全选文件"), ModePopup()};
        } else {
            m.name = n == 1 ? "RecycleStg_One" : "RecycleStg_Mul";
            m.items = {Cmd(ID_RESTORE, "还原文件"), Sep(), Cmd(ID_SELECT_ALL, "全选文件"), Cmd(ID_PURGE, "删除文件"),
                       ModePopup()};
        }
        return m;
    }
    if (!CvClientDoc::IsServerKind(docKind)) return m;
    if (n == 0) {
        m.name = "Server_SelNo";
        m.items = {ModePopup(), Cmd(ID_BATCH_NOTE, "批量注释"), Sep(), Cmd(ID_SELECT_ALL, "全选文件"),
                   Cmd(ID_SLIDE_SHOW, "幻灯片")};
        BatchItem(m.items, batchMode, false);
        return m;
    }
    // Each check walks the selection: each file sets the one-file pop-up's group by its own
    // result (so the last decides there); any passing file enables the several-files group.
    std::vector<Item> one = {Cmd(ID_OPEN_DEF, "默认打开"), Cmd(ID_OPEN_WAY, "打开方式..."),
                             Cmd(ID_OPEN_EDITOR, "Tintwork 打开"), Sep(), Cmd(ID_COPY, "复制到剪贴板"),
                             Cmd(ID_DOWNLOAD, "下载到本地"), Cmd(ID_PRINT, "打印文件"), Sep(),
                             Cmd(ID_ATTRS, "修改属性"), Cmd(ID_RIGHTS, "权限设置"), Cmd(ID_KEYWORDS, "关键字"),
                             Cmd(ID_QUICKKEY, "快捷键"), Cmd(ID_BOOKMARK, "添加书签"), Sep(),
                             Cmd(ID_SELECT_ALL, "全选文件"), Cmd(ID_DELETE, "删除文件"), Sep(), ModePopup(),
                             Cmd(ID_BATCH_NOTE, "批量注释"), Cmd(ID_SLIDE_SHOW, "幻灯片")};
    std::vector<Item> many = {Cmd(ID_DOWNLOAD, "下载到本地"), Sep(), Cmd(ID_ATTRS, "修改属性"),
                              Cmd(ID_RIGHTS, "权限设置"), Cmd(ID_KEYWORDS, "关键字"), Cmd(ID_QUICKKEY, "快捷键"),
                              Cmd(ID_BOOKMARK, "添加书签"), Sep(), Cmd(ID_SELECT_ALL, "全选文件"),
                              Cmd(ID_DELETE, "删除文件"), Sep(), ModePopup()};
    struct Check {
        bool BrowserFileRights::*right;
        std::initializer_list<int> oneIds;
        std::initializer_list<int> manyIds;
    };
    const Check checks[] = {
        {&BrowserFileRights::fullCtrl, {ID_ATTRS, ID_RIGHTS, ID_KEYWORDS, ID_QUICKKEY}, {ID_RIGHTS, ID_KEYWORDS, ID_QUICKKEY}},
        {&BrowserFileRights::load, {ID_COPY, ID_DOWNLOAD, ID_PRINT}, {ID_DOWNLOAD}},
        {&BrowserFileRights::edit, {ID_OPEN_DEF, ID_OPEN_WAY, ID_OPEN_EDITOR}, {}},
        {&BrowserFileRights::del, {ID_DELETE}, {ID_DELETE}},
    };
    for (const Check& c : checks)
        for (const BrowserFileRights& f : selected) {
            SetEnabled(one, c.oneIds, f.*c.right);
            if (f.*c.right) SetEnabled(many, c.manyIds, true);
        }
    m.name = n == 1 ? "Server_SelOne" : "Server_SelMul";
    m.items = n == 1 ? one : many;
    BatchItem(m.items, batchMode, false);
    return m;
}

namespace {

void Fill(kx::PopupMenu* menu, const std::vector<Item>& items) {
    for (const Item& i : items) {
        if (i.id == 0) {
            menu->AppendSeparator();
        } else if (i.id == -1) {
            auto* sub = new kx::PopupMenu(menu);
            sub->setTitle(QString::fromStdString(i.text));
            Fill(sub, i.sub);
            menu->addMenu(sub);
        } else {
            menu->AppendMenu(QString::fromStdString(i.text), i.id);
            menu->EnableMenuItem(i.id, i.enabled);
        }
    }
}

} // namespace

kx::PopupMenu* MakePopupMenu(const BrowserMenu& menu, QWidget* parent) {
    if (menu.name.empty()) return nullptr;
    auto* popup = new kx::PopupMenu(parent);
    popup->setObjectName(QString::fromStdString(menu.name));
    Fill(popup, menu.items);
    return popup;
}
