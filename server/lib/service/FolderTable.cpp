#include "service/FolderTable.h"

#include "db/AdoDatabase.h"
#include "data/CatalogueLoaders.h"
#include "table/TableOps.h"

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

int LoadAll(CADODatabase& db, CkxFSTree& tree) { return kx::LoadFolders(db, tree); }

} // namespace DirTable
