#include "FolderTable.h"

#include "AdoDatabase.h"
#include "data/CatalogueLoaders.h"

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
    const int id = db.InsertRecord(kTable, columns);
    if (id <= 0) return 0;
    node.m_nID = id;
    return 1;
}

int Update(CADODatabase& db, const CkxFSNode& node) {
    CADOColumnList columns;
    Columns(columns, node);
    CADOFieldList where;
    where.AddInt(" T_ID = ", node.m_nID);
    return db.UpdateRecord(kTable, where, columns);
}

int Delete(CADODatabase& db, int folderId) { return db.Delete(kTable, folderId); }

int UpdateLevel(CADODatabase& db, int folderId, int level) {
    CADOFieldList set, where;
    set.AddInt("T_Lev", level);
    where.AddInt(" T_ID = ", folderId);
    return db.Update(kTable, set, where);
}

int LoadAll(CADODatabase& db, CkxFSTree& tree) { return kx::LoadFolders(db, tree); }

} // namespace DirTable
