// The tree control every tree of the library stands on: items addressed by opaque handles
// (HTREEITEM) that are never reused, so a stale handle finds nothing instead of a newer item;
// pointer-sized item data; text with a normal and a selected image from an attached image list;
// optional check boxes; expand and collapse; delete with the whole subtree. Created with buttons,
// lines at the root and the selection always shown.
#pragma once

#include "qt/KxImageList.h"

#include <QTreeWidget>

#include <cstdint>
#include <unordered_map>

// An item handle: opaque, compared and stored, never dereferenced.
struct _TREEITEM;
using HTREEITEM = _TREEITEM*;
Q_DECLARE_OPAQUE_POINTER(HTREEITEM)
Q_DECLARE_METATYPE(HTREEITEM)

// Insertion places. TVI_ROOT as a parent means the top level; it is not null (callers that
// refuse only a null parent accept it) and never the handle of an item.
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));

// Expand codes.
enum { TVE_COLLAPSE = 1, TVE_EXPAND = 2, TVE_TOGGLE = 3 };

namespace kx {

class TreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeCtrl(QWidget* parent = nullptr);
    ~TreeCtrl() override;

    // Inserts an item with text and images under `parent` (TVI_ROOT: the top level), after
    // `after` (TVI_LAST, TVI_FIRST or a child of `parent`). Null when `parent` or `after` names
    // no item of this control. Item data starts at 0.
    HTREEITEM InsertItem(const QString& text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    // Deletes the item and its whole subtree; every handle of the subtree dies with it.
    // Virtual so a control that keeps data per item drops it whichever way an item goes.
    virtual bool DeleteItem(HTREEITEM item);
    virtual void DeleteAllItems();
    // True while `item` names an item of this control.
    bool IsItem(HTREEITEM item) const { return ItemOf(item) != nullptr; }
    int GetCount() const { return static_cast<int>(items_.size()); }

    // Navigation; null where there is none. GetChildItem(TVI_ROOT) is the first top-level item;
    // GetParentItem of a top-level item is null.
    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    bool ItemHasChildren(HTREEITEM item) const;

    // The selection (caret); SelectItem(nullptr) clears it.
    HTREEITEM GetSelectedItem() const;
    bool SelectItem(HTREEITEM item);

    // TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
    bool Expand(HTREEITEM item, int code);
    bool IsExpanded(HTREEITEM item) const;
    bool EnsureVisible(HTREEITEM item);

    QString GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const QString& text);
    // Pointer-sized: an id (-1 included) or a record's address. 0 for no item.
    std::intptr_t GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, std::intptr_t data);
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    bool SetItemImage(HTREEITEM item, int image, int selectedImage);

    // Check boxes on every item (the owner's choice). Without them GetCheck is false and
    // SetCheck does nothing.
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return checkBoxes_; }
    bool GetCheck(HTREEITEM item) const;
    bool SetCheck(HTREEITEM item, bool checked);

    // The images the items' indices refer to (copied; an index out of range shows no image).
    void SetImageList(const ImageList& images);
    const ImageList& GetImageList() const { return images_; }

    // The item under a viewport point, and an item's rectangle in viewport coordinates.
    HTREEITEM HitTest(const QPoint& point) const;
    QRect GetItemRect(HTREEITEM item) const;

    // The widget item behind a handle (null for a dead or foreign handle), and back.
    QTreeWidgetItem* ItemOf(HTREEITEM item) const;
    HTREEITEM HandleOf(const QTreeWidgetItem* item) const;

Q_SIGNALS:
    void SelChanged(HTREEITEM newItem, HTREEITEM oldItem);
    void ItemClicked(HTREEITEM item);
    void ItemDoubleClicked(HTREEITEM item);
    // A right click; `globalPos` is where a popup menu opens. `item` may be null.
    void ItemRightClicked(HTREEITEM item, const QPoint& globalPos);
    void CheckChanged(HTREEITEM item, bool checked);
    void ItemExpanded(HTREEITEM item);
    void ItemCollapsed(HTREEITEM item);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ShowIcon(QTreeWidgetItem* item, bool selected);
    void Forget(QTreeWidgetItem* item);

    std::unordered_map<std::uintptr_t, QTreeWidgetItem*> items_;     // live handle -> item
    std::unordered_map<const QTreeWidgetItem*, std::uintptr_t> handles_; // live item -> handle
    ImageList images_;
    bool checkBoxes_ = false;
};

} // namespace kx
