// The one list of heap records that every catalogue entity list shares: it owns its records,
// keeps stable positions, finds and updates by id, and deletes either the first record with an
// id or every such record, as the entity's list chooses.
#pragma once

#include "base/PtrList.h"

#include <new>

namespace kx {

enum class DeleteMode { FirstMatch, EveryMatch };

// How a list reads a record's id: by default the record's GetID(); a list may pass its own.
struct IdByGetID {
    template <class T>
    int operator()(const T& r) const { return r.GetID(); }
};

} // namespace kx

template <class T, kx::DeleteMode Mode = kx::DeleteMode::FirstMatch, class IdOf = kx::IdByGetID>
class CkxRecordList {
public:
    using Record = T;

    CkxRecordList() = default;
    CkxRecordList(const CkxRecordList& o) { CopyFrom(o); }
    CkxRecordList& operator=(const CkxRecordList& o) {
        if (this != &o) {
            DeleteAll();
            CopyFrom(o);
        }
        return *this;
    }
    CkxRecordList(CkxRecordList&&) noexcept = default;
    CkxRecordList& operator=(CkxRecordList&& o) noexcept {
        if (this != &o) {
            DeleteAll();
            list_ = std::move(o.list_);
        }
        return *this;
    }
    virtual ~CkxRecordList() { DeleteAll(); }

    // Appends the pointer and takes ownership; a null pointer is ignored.
    void AddTail(T* r) {
        if (r) list_.AddTail(r);
    }
    // Appends a heap copy; 1, or 0 when memory runs out.
    int AddTail(const T& r) {
        T* copy = new (std::nothrow) T(r);
        if (!copy) return 0;
        list_.AddTail(copy);
        return 1;
    }

    // The first record with the id, or null.
    T* Find(int id) const {
        for (POSITION p = list_.GetHeadPosition(); p;) {
            T* r = list_.GetNext(p);
            if (IdOf{}(*r) == id) return r;
        }
        return nullptr;
    }
    POSITION FindPosition(int id) const {
        for (POSITION p = list_.GetHeadPosition(); p;) {
            POSITION at = p;
            if (IdOf{}(*list_.GetNext(p)) == id) return at;
        }
        return nullptr;
    }

    // Copies every field of r onto the record with the same id; 1 when there was one, else 0.
    int Update(const T& r) {
        T* found = Find(IdOf{}(r));
        if (!found) return 0;
        if (found != &r) *found = r;
        return 1;
    }

    // Destroys and removes the first record (FirstMatch) or every record (EveryMatch) with the
    // id; returns how many were removed.
    int Delete(int id) {
        int removed = 0;
        for (POSITION p = list_.GetHeadPosition(); p;) {
            POSITION at = p;
            T* r = list_.GetNext(p);
            if (IdOf{}(*r) != id) continue;
            list_.RemoveAt(at);
            delete r;
            ++removed;
            if (Mode == kx::DeleteMode::FirstMatch) break;
        }
        return removed;
    }

    void DeleteAll() {
        while (T* r = list_.RemoveHead()) delete r;
    }

    int GetCount() const { return list_.GetCount(); }
    bool IsEmpty() const { return list_.IsEmpty(); }
    POSITION GetHeadPosition() const { return list_.GetHeadPosition(); }
    POSITION GetTailPosition() const { return list_.GetTailPosition(); }
    T* GetNext(POSITION& p) const { return list_.GetNext(p); }
    T* GetPrev(POSITION& p) const { return list_.GetPrev(p); }
    T* GetAt(POSITION p) const { return list_.GetAt(p); }
    T* GetHead() const { return list_.GetHead(); }
    // Unlinks the first record without destroying it; the caller owns it.
    T* RemoveHead() { return list_.RemoveHead(); }
    // Unlinks the record at the position without destroying it; the caller owns it.
    T* RemoveAt(POSITION p) { return list_.RemoveAt(p); }
    POSITION FindIndex(int i) const { return list_.FindIndex(i); }

    // Visits every record in order.
    template <class F>
    void ForEach(F&& f) const {
        for (POSITION p = list_.GetHeadPosition(); p;) f(*list_.GetNext(p));
    }

protected:
    KxPtrList<T>& Raw() { return list_; }
    const KxPtrList<T>& Raw() const { return list_; }

private:
    void CopyFrom(const CkxRecordList& o) {
        for (POSITION p = o.list_.GetHeadPosition(); p;) AddTail(*o.list_.GetNext(p));
    }

    KxPtrList<T> list_;
};
