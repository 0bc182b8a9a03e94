#include "table/FolderTable.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "table/TableOps.h"

#include <map>
#include <set>
#include <vector>

namespace DirTable {
namespace {

const char* const kTable = "VUZO_Dir";

void Columns(CADOColumnList& c, const CkxFSNode& node) {
    c.AddColumn("T_Name", node.m_strName);
    c.AddColumn("T_Lev", node.m_nLev);
    c.AddColumn("T_ParentID", node.m_nParentID);
    c.AddColumn("T_Type", static_cast<int>(node.m_nType));
    c.AddColumn("T_State", static_cast<int>(node.m_nState));
    c.AddColumn("T_CreatorID", node.m_nCreatorID);
    c.AddColumn("T_Remark", node.m_strNote);
    // Written only when the rights buffer can be built; otherwise the stored rights stay.
    CkxBuf power;
    if (node.BuildPower(power) > 0) c.AddBinary("T_UserPower", power.GetBuf(), power.GetLen());
}

} // namespace

int Insert(CADODatabase& db, CkxFSNode& node) {
    CADOColumnList columns;
    Columns(columns, node);
    return kx::StoreNewId(node, db.InsertRecord(kTable, columns));
}

int Update(CADODatabase& db, const CkxFSNode& node) {
    CADOColumnList columns;
    Columns(columns, node);
    return db.UpdateRecord(kTable, kx::WhereId(node.m_nID), columns);
}

int Delete(CADODatabase& db, int folderId) { return db.Delete(kTable, folderId); }

int UpdateLevel(CADODatabase& db, int folderId, int level) {
    CADOFieldList set;
    set.AddInt("T_Lev", level);
    return db.Update(kTable, set, kx::WhereId(folderId));
}

int LoadAll(CADODatabase& db, CkxFSTree& tree) {
    std::vector<CkxFSNode> nodes;
    const int rows = kx::EachRow(db, " SELECT * FROM VUZO_Dir ORDER BY T_Lev,T_ID ", [&](const CADORecordset& rs) {
        CkxFSNode n;
        n.m_nID = rs.Long("T_ID");
        n.m_strName = rs.Text("T_Name");
        n.m_nLev = rs.Long("T_Lev");
        n.m_nParentID = rs.Long("T_ParentID");
        n.m_nType = static_cast<uint8_t>(rs.Long("T_Type"));
        n.m_nState = static_cast<uint8_t>(rs.Long("T_State"));
        n.m_nCreatorID = rs.Long("T_CreatorID");
        n.m_strNote = rs.Text("T_Remark");
        const CkxBuf power = rs.Bytes("T_UserPower");
        if (power.GetLen() > 0) n.PasyPower(power.GetBuf(), power.GetLen());
        nodes.push_back(std::move(n));
    });
    if (rows < 0) return -1;
    tree.DeleteAll();
    for (const CkxFSNode& n : nodes) tree.Add(n);
    return tree.GetCount();
}

bool WithSubtrees(CADODatabase& db, const std::vector<int>& listed, std::vector<int>& out) {
    std::multimap<int, int> children; // parent id -> folder id
    const int rows = kx::EachRow(db, " SELECT * FROM VUZO_Dir ", [&](const CADORecordset& rs) {
        int32_t id = 0, parent = -1;
        rs.GetLong("T_ID", id);
        rs.GetLong("T_ParentID", parent);
        if (id != parent) children.emplace(parent, id);
    });
    if (rows < 0) return false;
    std::set<int> seen;
    out.clear();
    for (int id : listed)
        if (seen.insert(id).second) out.push_back(id);
    for (size_t i = 0; i < out.size(); ++i) {
        auto [first, last] = children.equal_range(out[i]);
        for (auto it = first; it != last; ++it)
            if (seen.insert(it->second).second) out.push_back(it->second);
    }
    return true;
}

} // namespace DirTable
