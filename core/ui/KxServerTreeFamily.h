// The members of the tree family that can show the server at the top level (the family and the
// project controls): one server item named after the caller's server record, whose item data is
// that record's address. The item is never in the copy list, so every lookup by the selection's
// item data fails on it; IsSelSrvNode tells it apart.
#pragma once

#include "model/CkxServer.h"
#include "ui/KxTreeFamily.h"

#include <cstdint>

// Policy adds: FillServer(record, server) fills the record that stands for the server item.
template <class Record, class Policy>
class KxServerTreeFamily : public KxTreeFamily<Record, Policy> {
public:
    using KxTreeFamily<Record, Policy>::KxTreeFamily;

    // Fills the server record from `server` and inserts its name at the top level with images
    // 0/0, item data = the address of `server` (which the caller keeps alive). Null server or
    // failed insertion: null, the record unchanged.
    HTREEITEM AddNode_Server(CkxServer* server) {
        if (!server) return nullptr;
        HTREEITEM item = this->InsertItem(QString::fromStdString(server->m_strName), 0, 0, TVI_ROOT, TVI_LAST);
        if (!item) return nullptr;
        this->SetItemData(item, reinterpret_cast<std::intptr_t>(server));
        Policy::FillServer(m_ServerNode, *server);
        KxTreeRecord<Record>::SetHandles(m_ServerNode, item, nullptr);
        m_hServerItem = item;
        return item;
    }
    // 1 when an item is selected and it is the server item.
    int IsSelSrvNode() const {
        HTREEITEM sel = this->GetSelectedItem();
        return sel && sel == m_hServerItem ? 1 : 0;
    }
    Record& GetServerNode() { return m_ServerNode; }
    const Record& GetServerNode() const { return m_ServerNode; }

protected:
    Record m_ServerNode;
    HTREEITEM m_hServerItem = nullptr;
};
