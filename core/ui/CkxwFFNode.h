// CkxwFFNode: what one item of the family-file tree is (the root, a family of a media kind, or a
// file), whether it may be dragged or take a drop, its images, and a copy of its family record or
// its own copy of its file. CkxwFFNodeList: the nodes of one tree, owned, looked up by item or id.
#pragma once

#include "model/CkxFamily.h"
#include "model/CkxFileX.h"
#include "model/KxExport.h"
#include "qt/KxTreeCtrl.h"

#include <cstdint>
#include <memory>
#include <vector>

class KX_EXPORT CkxwFFNode {
public:
    enum : uint8_t {
        K_COMM = 0,
        K_FAMILY_ROOT = 1,
        K_FAMILY_UNKNOWN = 2,
        K_IMAGE_ROOT = 3,
        K_IMAGE = 4,
        K_TEXT_ROOT = 5,
        K_TEXT = 6,
        K_AUDIO_ROOT = 7,
        K_AUDIO = 8,
        K_VIDEO_ROOT = 9,
        K_VIDEO = 10,
        K_BINARY_ROOT = 11,
        K_BINARY = 12,
        K_FILE = 13,
    };

    CkxwFFNode() = default;
    // Every field is copied; the copy owns its own copy of the file object.
    CkxwFFNode(const CkxwFFNode& o);
    CkxwFFNode& operator=(const CkxwFFNode& o);
    virtual ~CkxwFFNode() = default;

    uint8_t GetKind() const { return m_nKind; }
    bool IsCommNode() const { return m_nKind == K_COMM; }
    bool IsFamilyRoot() const { return m_nKind == K_FAMILY_ROOT; }
    bool IsFamilyUnknown() const { return m_nKind == K_FAMILY_UNKNOWN; }
    bool IsFamilyImageRoot() const { return m_nKind == K_IMAGE_ROOT; }
    bool IsFamilyImageNode() const { return m_nKind == K_IMAGE; }
    bool IsFamilyTextRoot() const { return m_nKind == K_TEXT_ROOT; }
    bool IsFamilyTextNode() const { return m_nKind == K_TEXT; }
    bool IsFamilyAudioRoot() const { return m_nKind == K_AUDIO_ROOT; }
    bool IsFamilyAudioNode() const { return m_nKind == K_AUDIO; }
    bool IsFamilyVideoRoot() const { return m_nKind == K_VIDEO_ROOT; }
    bool IsFamilyVideoNode() const { return m_nKind == K_VIDEO; }
    bool IsFamilyBinaryRoot() const { return m_nKind == K_BINARY_ROOT; }
    bool IsFamilyBinaryNode() const { return m_nKind == K_BINARY; }
    bool IsFileNode() const { return m_nKind == K_FILE; }
    bool IsFamilyImage() const { return IsFamilyImageRoot() || IsFamilyImageNode(); }
    bool IsFamilyText() const { return IsFamilyTextRoot() || IsFamilyTextNode(); }
    bool IsFamilyAudio() const { return IsFamilyAudioRoot() || IsFamilyAudioNode(); }
    bool IsFamilyVideo() const { return IsFamilyVideoRoot() || IsFamilyVideoNode(); }
    bool IsFamilyBinary() const { return IsFamilyBinaryRoot() || IsFamilyBinaryNode(); }
    // Kinds 2 to 12.
    bool IsFamilyNode() const { return m_nKind >= K_FAMILY_UNKNOWN && m_nKind <= K_BINARY; }

    void SetCommNode() { m_nKind = K_COMM; }
    void SetFamilyRoot() { m_nKind = K_FAMILY_ROOT; }
    void SetFamilyUnknown() { m_nKind = K_FAMILY_UNKNOWN; }
    void SetFamilyImageRoot() { m_nKind = K_IMAGE_ROOT; }
    void SetFamilyImageNode() { m_nKind = K_IMAGE; }
    void SetFamilyTextRoot() { m_nKind = K_TEXT_ROOT; }
    void SetFamilyTextNode() { m_nKind = K_TEXT; }
    void SetFamilyAudioRoot() { m_nKind = K_AUDIO_ROOT; }
    void SetFamilyAudioNode() { m_nKind = K_AUDIO; }
    void SetFamilyVideoRoot() { m_nKind = K_VIDEO_ROOT; }
    void SetFamilyVideoNode() { m_nKind = K_VIDEO; }
    void SetFamilyBinaryRoot() { m_nKind = K_BINARY_ROOT; }
    void SetFamilyBinaryNode() { m_nKind = K_BINARY; }
    void SetFileNode() { m_nKind = K_FILE; }

    // The family id (kinds 2 to 12), the file id (13), else -1.
    int GetID() const;
    bool IsCanDrag() const { return m_nDrag != 0; }
    void EnableDrag() { m_nDrag = 1; }
    void DisableDrag() { m_nDrag = 0; }
    void DisableDrop() { m_nDrop = 0; }

    HTREEITEM m_hItem = nullptr;
    HTREEITEM m_hParent = nullptr;
    uint8_t m_nKind = K_COMM;
    int m_nDrag = 0;
    int m_nDrop = 0;
    int m_nImage = 0;
    int m_nSelImage = 0;
    CkxFamily m_Family;
    CkxFileX m_File;
};

class KX_EXPORT CkxwFFNodeList {
public:
    using Nodes = std::vector<CkxwFFNode*>;

    CkxwFFNodeList() = default;
    CkxwFFNodeList(const CkxwFFNodeList&) = delete;
    CkxwFFNodeList& operator=(const CkxwFFNodeList&) = delete;

    // Appends a copy; adopts a node (nothing for null).
    CkxwFFNode* AddTail(const CkxwFFNode& node);
    CkxwFFNode* AddTail(CkxwFFNode* node);
    CkxwFFNode* Find(HTREEITEM item) const;
    // The first node whose GetID is the id (family nodes by family id, file nodes by file id).
    CkxwFFNode* Find(int id) const;
    // Copies the node onto the node with the same item; nothing when none.
    void Update(const CkxwFFNode& node);
    void Delete(HTREEITEM item);
    void DeleteAll() { m_nodes.clear(); }
    int IsFamilyNode(HTREEITEM item) const;
    int IsFileNode(HTREEITEM item) const;
    // The item of the first family node with the id, or null.
    HTREEITEM GetFamilyItem(int familyId) const;
    // Appends the file nodes whose parent item is the family item; the list's count (0 for a
    // null or non-family item).
    int GetFamilyAttachFile(HTREEITEM family, Nodes& out) const;
    int GetFamilyAttachFile(int familyId, Nodes& out) const;

    int GetCount() const { return static_cast<int>(m_nodes.size()); }
    // List walking by index.
    CkxwFFNode* GetAt(int i) const { return i >= 0 && i < GetCount() ? m_nodes[i].get() : nullptr; }

private:
    std::vector<std::unique_ptr<CkxwFFNode>> m_nodes;
};
