// The general tree node of the library (id, level, parent, a node type saying what it stands
// for in the browsing trees, name and note, with the same links as a folder node), the levelled
// tree CkxTree of such nodes, and CkxTreeTool's searches over a plain list of nodes.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "model/KxTreeEngine.h"
#include "base/Record.h"

#include <cstdint>
#include <string>
#include <vector>

// Written into the first word of a node record by senders; receivers ignore it.
constexpr int32_t KX_NODE_CLASS_MARK = 0x45444F4E; // "NODE"

class KX_EXPORT CkxNode : public KxTreeLinks<CkxNode> {
public:
#pragma pack(push, 1)
    struct _COM_NODE {
        int32_t nClassMark;
        int32_t nID;
        int32_t nLev;
        int32_t nParentID;
        int32_t nNodeType;
        int32_t nFifth;
        char szName[50];
        char szNote[50];
    };
#pragma pack(pop)

    enum NodeType {
        NODE_UNKNOWN = 0, NODE_FOLDER, NODE_SERVER, NODE_DATA,
        NODE_FAMILY_TEXT, NODE_FAMILY_IMAGE, NODE_FAMILY_VIDEO, NODE_FAMILY_AUDIO, NODE_FAMILY_BINARY,
        NODE_DATA_TEXT, NODE_DATA_IMAGE, NODE_DATA_VIDEO, NODE_DATA_AUDIO, NODE_DATA_BINARY,
        NODE_FOLDER_FAMILY, NODE_FOLDER_TEXT, NODE_FOLDER_AUDIO, NODE_FOLDER_VIDEO, NODE_FOLDER_BINARY,
    };

    CkxNode() { Clear(); }
    explicit CkxNode(const _COM_NODE& c) { SetComData(c); }
    CkxNode(const CkxNode&) = default;
    CkxNode& operator=(const CkxNode&) = default;
    virtual ~CkxNode() = default;

    // Resets numbers, links and display data; the texts stay.
    void Clear();
    _COM_NODE GetComData() const;
    void SetComData(const _COM_NODE& c);

    int GetID() const { return m_nID; }
    int GetLev() const { return m_nLev; }
    void SetLev(int l) { m_nLev = l; }
    int GetParentID() const { return m_nParentID; }
    void SetParentID(int p) { m_nParentID = p; }
    const std::string& GetName() const { return m_strName; }

    bool IsNodeUnknown() const { return m_nNodeType == NODE_UNKNOWN; }
    bool IsNodeFolder() const { return m_nNodeType == NODE_FOLDER; }
    bool IsNodeServer() const { return m_nNodeType == NODE_SERVER; }
    bool IsNodeData() const { return m_nNodeType == NODE_DATA; }
    bool IsNodeFamilyText() const { return m_nNodeType == NODE_FAMILY_TEXT; }
    bool IsNodeFamilyImage() const { return m_nNodeType == NODE_FAMILY_IMAGE; }
    bool IsNodeFamilyVideo() const { return m_nNodeType == NODE_FAMILY_VIDEO; }
    bool IsNodeFamilyAudio() const { return m_nNodeType == NODE_FAMILY_AUDIO; }
    bool IsNodeFamilyBinary() const { return m_nNodeType == NODE_FAMILY_BINARY; }
    bool IsNodeDataText() const { return m_nNodeType == NODE_DATA_TEXT; }
    bool IsNodeDataImage() const { return m_nNodeType == NODE_DATA_IMAGE; }
    bool IsNodeDataVideo() const { return m_nNodeType == NODE_DATA_VIDEO; }
    bool IsNodeDataAudio() const { return m_nNodeType == NODE_DATA_AUDIO; }
    bool IsNodeDataBinary() const { return m_nNodeType == NODE_DATA_BINARY; }
    bool IsNodeFolderFamily() const { return m_nNodeType == NODE_FOLDER_FAMILY; }
    bool IsNodeFolderText() const { return m_nNodeType == NODE_FOLDER_TEXT; }
    bool IsNodeFolderAudio() const { return m_nNodeType == NODE_FOLDER_AUDIO; }
    bool IsNodeFolderVideo() const { return m_nNodeType == NODE_FOLDER_VIDEO; }
    bool IsNodeFolderBinary() const { return m_nNodeType == NODE_FOLDER_BINARY; }

    bool IsNodeFamily() const { return m_nNodeType >= 3 && m_nNodeType <= 13; }
    bool IsNode_Image() const { return IsType(5, 10, 14); }
    bool IsNode_Text() const { return IsType(4, 9, 15); }
    bool IsNode_Audio() const { return IsType(7, 12, 16); }
    bool IsNode_Video() const { return IsType(6, 11, 17); }
    bool IsNode_Binary() const { return IsType(8, 13, 18); }
    // The data kind (CkxDataMode numbering) the node type stands for; 0 for the plain kinds.
    int GetDataMode() const;

    int32_t m_nID = -1;
    int32_t m_nLev = 0;
    int32_t m_nParentID = -1;
    int32_t m_nNodeType = NODE_UNKNOWN;
    int32_t m_nFifth = 0;
    std::string m_strName;
    std::string m_strNote;

protected:
    // Takes the five numbers and two texts of a node record; links and display data stay.
    void SetNodeFields(const _COM_NODE& c);

private:
    bool IsType(int a, int b, int c) const { return m_nNodeType == a || m_nNodeType == b || m_nNodeType == c; }
};

KX_RECORD_SIZE(CkxNode::_COM_NODE, 124);
KX_FIELD_AT(CkxNode::_COM_NODE, nClassMark, 0);
KX_FIELD_AT(CkxNode::_COM_NODE, nID, 4);
KX_FIELD_AT(CkxNode::_COM_NODE, nLev, 8);
KX_FIELD_AT(CkxNode::_COM_NODE, nParentID, 12);
KX_FIELD_AT(CkxNode::_COM_NODE, nNodeType, 16);
KX_FIELD_AT(CkxNode::_COM_NODE, nFifth, 20);
KX_FIELD_AT(CkxNode::_COM_NODE, szName, 24);
KX_FIELD_AT(CkxNode::_COM_NODE, szNote, 74);

// A levelled tree of owned nodes under a title node, linked as the folder tree is.
class KX_EXPORT CkxTree : private KxTreeEngine<CkxNode> {
public:
    using Base = KxTreeEngine<CkxNode>;
    using NodeList = Base::NodeList;

    explicit CkxTree(int buildLink = 0);

    const CkxNode& t_GetTitleNode() const { return m_TitleNode; }

    // Appends a copy (linked when link-on-add is set); 1, or 0 when refused or out of memory.
    int t_Add(const CkxNode& node);
    // Deletes the node and its subtree; returns how many nodes went.
    int t_Delete(int id) { return DeleteNode(Find(id)); }
    int t_Delete(POSITION pos) { return DeleteNode(GetAt(pos)); }
    void t_DeleteTree() { DeleteAll(); }
    // Moves the node under a new parent: 1 moved, 0 refused (own ancestor), -1 unknown node.
    int t_SetParent(int id, int newParentId) { return MoveNode(Find(id), newParentId); }
    int t_SetParent(POSITION pos, int newParentId) { return MoveNode(GetAt(pos), newParentId); }
    int t_FindChild(int id, NodeList& out) const { return Base::FindChild(Find(id), out); }
    int t_FindTree(int id, NodeList& out) const { return Base::FindTree(Find(id), out); }
    int t_FindAncestry(int id, NodeList& out, int includeSelf) const {
        return Base::FindAncestry(Find(id), out, includeSelf);
    }
    int t_FindIntactTree(NodeList& out, const std::vector<int>& ids) const { return FindIntactTree(out, ids); }
    CkxNode* t_FindFirstLevLastNode() const { return FindFirstLevLastNode(); }
    CkxNode* t_FindPrev(int id) const { return FindPrev(Find(id)); }
    int t_GetMaxLevNo() const { return GetMaxLevNo(); }
    int t_GetMinLevNo() const { return GetMinLevNo(); }
    CkxNode* t_FindParent(int id) const { return FindParent(id); }
    void t_BuildTree() { BuildTree(); }

    using Base::DeleteAll;
    using Base::Find;
    using Base::GetCount;
    using Base::GetHeadPosition;
    using Base::GetNext;
    using Base::SetBuildLink;

private:
    CkxNode m_TitleNode;
};

// Searches over a plain list of nodes that no tree owns.
class KX_EXPORT CkxTreeTool {
public:
    // Highest level; 0 for an empty list.
    static int GetMaxLev(const std::vector<CkxNode*>& list);
    // Lowest level; 0 for an empty list.
    static int GetMinLev(const std::vector<CkxNode*>& list);
    static CkxNode* Find(const std::vector<CkxNode*>& list, int id);
    // The first level-0 node without a next sibling.
    static CkxNode* FindFirstLevLastNode(const std::vector<CkxNode*>& list);
};
