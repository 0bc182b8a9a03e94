// A doubly linked list of pointers with stable positions (POSITION), the shape every entity
// list of the catalogue walks: GetHeadPosition, then GetNext until the position is null.
// The list does not own what its pointers point to; CkxRecordList adds ownership.
#pragma once

#include <cstddef>
#include <utility>

struct __POSITION;
using POSITION = __POSITION*;

template <class T>
class KxPtrList {
    struct Node {
        T* data;
        Node* prev;
        Node* next;
    };

public:
    KxPtrList() = default;
    KxPtrList(const KxPtrList&) = delete;
    KxPtrList& operator=(const KxPtrList&) = delete;
    KxPtrList(KxPtrList&& o) noexcept { swap(o); }
    KxPtrList& operator=(KxPtrList&& o) noexcept {
        if (this != &o) {
            RemoveAll();
            swap(o);
        }
        return *this;
    }
    ~KxPtrList() { RemoveAll(); }

    int GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    POSITION AddHead(T* p) { return pos(link(nullptr, head_, p)); }
    POSITION AddTail(T* p) { return pos(link(tail_, nullptr, p)); }
    POSITION InsertBefore(POSITION at, T* p) {
        Node* n = node(at);
        return n ? pos(link(n->prev, n, p)) : AddHead(p);
    }
    POSITION InsertAfter(POSITION at, T* p) {
        Node* n = node(at);
        return n ? pos(link(n, n->next, p)) : AddTail(p);
    }

    POSITION GetHeadPosition() const { return pos(head_); }
    POSITION GetTailPosition() const { return pos(tail_); }
    T* GetHead() const { return head_ ? head_->data : nullptr; }
    T* GetTail() const { return tail_ ? tail_->data : nullptr; }

    // Returns the element at the position and moves the position to the next (null at the end).
    T* GetNext(POSITION& p) const {
        Node* n = node(p);
        p = pos(n->next);
        return n->data;
    }
    T* GetPrev(POSITION& p) const {
        Node* n = node(p);
        p = pos(n->prev);
        return n->data;
    }
    T* GetAt(POSITION p) const { return node(p)->data; }
    void SetAt(POSITION p, T* v) { node(p)->data = v; }

    // Unlinks the element at the position (the element itself is not destroyed).
    T* RemoveAt(POSITION p) {
        Node* n = node(p);
        if (!n) return nullptr;
        (n->prev ? n->prev->next : head_) = n->next;
        (n->next ? n->next->prev : tail_) = n->prev;
        T* d = n->data;
        delete n;
        --count_;
        return d;
    }
    T* RemoveHead() { return head_ ? RemoveAt(pos(head_)) : nullptr; }
    T* RemoveTail() { return tail_ ? RemoveAt(pos(tail_)) : nullptr; }
    void RemoveAll() {
        while (head_) RemoveHead();
    }

    POSITION Find(const T* v, POSITION after = nullptr) const {
        for (Node* n = after ? node(after)->next : head_; n; n = n->next)
            if (n->data == v) return pos(n);
        return nullptr;
    }
    POSITION FindIndex(int i) const {
        if (i < 0 || i >= count_) return nullptr;
        Node* n = head_;
        while (i-- > 0) n = n->next;
        return pos(n);
    }

    void swap(KxPtrList& o) noexcept {
        std::swap(head_, o.head_);
        std::swap(tail_, o.tail_);
        std::swap(count_, o.count_);
    }

private:
    static POSITION pos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* node(POSITION p) { return reinterpret_cast<Node*>(p); }
    Node* link(Node* prev, Node* next, T* p) {
        Node* n = new Node{p, prev, next};
        (prev ? prev->next : head_) = n;
        (next ? next->prev : tail_) = n;
        ++count_;
        return n;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
};
