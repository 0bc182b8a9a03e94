// How the tree engine reads the records whose shape differs from the linked nodes: families
// (own links, no handle fields or image indices: their handles live only in a control's copy
// entries) and projects (nodes whose links point at the node base). Also the share of a generic
// node that the node trees take over on an update.
#pragma once

#include "model/CkxFamily.h"
#include "model/CkxNode.h"
#include "model/CkxProject.h"
#include "ui/KxTreeFamily.h"

template <>
struct KxTreeRecord<CkxFamily> {
    static int Id(const CkxFamily& r) { return r.m_nID; }
    static int Level(const CkxFamily& r) { return r.m_nLevel; }
    static int ParentId(const CkxFamily& r) { return r.m_nParentID; }
    static const std::string& Name(const CkxFamily& r) { return r.m_strName; }
    static bool IsTopLevel(const CkxFamily& r) { return r.m_nParentID == -1; }
    static const CkxFamily* FirstChild(const CkxFamily& r) { return r.m_pChild; }
    static const CkxFamily* Next(const CkxFamily& r) { return r.m_pNext; }
    static const CkxFamily* Prev(const CkxFamily& r) { return r.m_pPrev; }
    static const CkxFamily* Parent(const CkxFamily& r) { return r.m_pParent; }
    static int Image(const CkxFamily&) { return 0; }
    static int SelectedImage(const CkxFamily&) { return 0; }
    static void SetHandles(CkxFamily&, HTREEITEM, HTREEITEM) {}
    static HTREEITEM Item(const CkxFamily&) { return nullptr; }
    static HTREEITEM ParentItem(const CkxFamily&) { return nullptr; }
};

template <>
struct KxTreeRecord<CkxProject> : KxTreeRecord<CkxNode> {
    // A project's links point at the node base; every node a project list links is a project.
    static const CkxProject* FirstChild(const CkxProject& r) { return static_cast<const CkxProject*>(r.m_pChild); }
    static const CkxProject* Next(const CkxProject& r) { return static_cast<const CkxProject*>(r.m_pNext); }
    static const CkxProject* Prev(const CkxProject& r) { return static_cast<const CkxProject*>(r.m_pPrev); }
    static const CkxProject* Parent(const CkxProject& r) { return static_cast<const CkxProject*>(r.m_pParent); }
};

// The record fields of a generic node (id, level, parent id, the two further integers, name,
// note); its links, handles and image indices stay.
inline void KxTakeNodeFields(CkxNode& to, const CkxNode& from) {
    to.m_nID = from.m_nID;
    to.m_nLev = from.m_nLev;
    to.m_nParentID = from.m_nParentID;
    to.m_nNodeType = from.m_nNodeType;
    to.m_nFifth = from.m_nFifth;
    to.m_strName = from.m_strName;
    to.m_strNote = from.m_strNote;
}
