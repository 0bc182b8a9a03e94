// CkxOwnerPtrList: a guarded list of pointers each marked owned (the list deletes the object)
// or mapped (someone else's object, only referred to). The file list and the file-handle list
// share it. Members named *Locked expect the caller to hold the busy flag.
#pragma once

#include "model/CkxAutoLock.h"
#include "base/PtrList.h"

#include <new>

template <class T>
class CkxOwnerPtrList {
public:
    CkxOwnerPtrList() = default;
    CkxOwnerPtrList(const CkxOwnerPtrList&) = delete;
    CkxOwnerPtrList& operator=(const CkxOwnerPtrList&) = delete;
    virtual ~CkxOwnerPtrList() { DeleteAllLocked(); }

    // For a caller that iterates over several calls.
    void Lock() const { lock_.Lock(); }
    void Unlock() const { lock_.Unlock(); }

    int GetCount() const {
        CkxAutoLock g(&lock_);
        return list_.GetCount();
    }
    void DeleteAll() {
        CkxAutoLock g(&lock_);
        DeleteAllLocked();
    }
    // The object of the first entry whose object has the id, or null.
    T* Find(int id) const {
        CkxAutoLock g(&lock_);
        return FindLocked(id);
    }
    T* GetHead() const {
        CkxAutoLock g(&lock_);
        return list_.IsEmpty() ? nullptr : list_.GetHead()->obj;
    }
    T* GetTail() const {
        CkxAutoLock g(&lock_);
        return list_.IsEmpty() ? nullptr : list_.GetTail()->obj;
    }
    // The object of the n-th entry counting from 0; null outside 0..count-1.
    T* GetIndex(int n) const {
        CkxAutoLock g(&lock_);
        POSITION p = list_.FindIndex(n);
        return p ? list_.GetAt(p)->obj : nullptr;
    }
    // Take the first or last entry off; the caller owns its object from then on. Null when empty.
    T* RemoveHead() {
        CkxAutoLock g(&lock_);
        return Take(list_.RemoveHead());
    }
    T* RemoveTail() {
        CkxAutoLock g(&lock_);
        return Take(list_.RemoveTail());
    }

    // Unguarded iteration (between Lock and Unlock).
    POSITION GetHeadPosition() const { return list_.GetHeadPosition(); }
    POSITION GetTailPosition() const { return list_.GetTailPosition(); }
    T* GetNext(POSITION& p) const { return list_.GetNext(p)->obj; }
    T* GetPrev(POSITION& p) const { return list_.GetPrev(p)->obj; }

protected:
    struct Entry {
        T* obj;
        bool owned;
    };

    // Appends an entry; false (nothing kept, the object untouched) when memory runs out.
    bool AddLocked(T* obj, bool owned) {
        Entry* e = new (std::nothrow) Entry{obj, owned};
        if (!e) return false;
        list_.AddTail(e);
        return true;
    }
    T* FindLocked(int id) const {
        for (POSITION p = list_.GetHeadPosition(); p;) {
            Entry* e = list_.GetNext(p);
            if (e->obj && e->obj->GetID() == id) return e->obj;
        }
        return nullptr;
    }
    // Removes the first (or every) entry whose object has the id, deleting owned objects when
    // free is set; returns how many were removed.
    int RemoveLocked(int id, bool every, bool free) {
        int removed = 0;
        for (POSITION p = list_.GetHeadPosition(); p;) {
            POSITION at = p;
            Entry* e = list_.GetNext(p);
            if (!e->obj || e->obj->GetID() != id) continue;
            list_.RemoveAt(at);
            if (free && e->owned) delete e->obj;
            delete e;
            ++removed;
            if (!every) break;
        }
        return removed;
    }
    void DeleteAllLocked() {
        while (Entry* e = list_.RemoveHead()) {
            if (e->owned) delete e->obj;
            delete e;
        }
    }
    // Visits every object in order (the caller holds the flag); stops when f returns true.
    template <class F>
    void VisitLocked(F&& f) const {
        for (POSITION p = list_.GetHeadPosition(); p;) {
            Entry* e = list_.GetNext(p);
            if (e->obj && f(*e->obj)) return;
        }
    }

    mutable CKXAUTOLOCK lock_;
    KxPtrList<Entry> list_;

private:
    static T* Take(Entry* e) {
        if (!e) return nullptr;
        T* obj = e->obj;
        delete e;
        return obj;
    }
};
