// CkxLockedRecordList: an owning record list guarded by one CKXAUTOLOCK busy flag that every
// member takes and releases before returning. The flag is not re-entrant: a ForEach callback
// must not call back into the same list. Iteration across several calls (GetHeadPosition /
// GetNext) takes no flag itself; a caller that iterates holds Lock() ... Unlock() around it.
#pragma once

#include "model/CkxAutoLock.h"
#include "base/RecordList.h"

#include <memory>
#include <new>
#include <vector>

template <class T, kx::DeleteMode Mode>
class CkxLockedRecordList {
public:
    CkxLockedRecordList() = default;
    CkxLockedRecordList(const CkxLockedRecordList& o) {
        for (auto& r : o.Snapshot())
            if (r) list_.AddTail(r.release());
    }
    // Copies are taken under the source's flag, then swapped in under this list's flag; the two
    // flags are never held together, so a = b and b = a on two threads cannot deadlock.
    CkxLockedRecordList& operator=(const CkxLockedRecordList& o) {
        if (this == &o) return *this;
        auto copies = o.Snapshot();
        CkxAutoLock g(&lock_);
        list_.DeleteAll();
        for (auto& r : copies)
            if (r) list_.AddTail(r.release());
        return *this;
    }
    virtual ~CkxLockedRecordList() = default;

    void Lock() const { lock_.Lock(); }
    void Unlock() const { lock_.Unlock(); }

    // Adopts the record; 1, or 0 for null.
    int AddTail(T* r) {
        if (!r) return 0;
        CkxAutoLock g(&lock_);
        list_.AddTail(r);
        return 1;
    }
    // Appends a heap copy; 1, or 0 when memory runs out.
    int AddTail(const T& r) {
        T* copy = new (std::nothrow) T(r);
        if (!copy) return 0;
        CkxAutoLock g(&lock_);
        list_.AddTail(copy);
        return 1;
    }
    T* Find(int id) const {
        CkxAutoLock g(&lock_);
        return list_.Find(id);
    }
    // Copies r onto the first record with the same id; 1 when there was one, else 0.
    int Update(const T& r) {
        CkxAutoLock g(&lock_);
        return list_.Update(r);
    }
    int Delete(int id) {
        CkxAutoLock g(&lock_);
        return list_.Delete(id);
    }
    // Destroys the record at the position; 1, or 0 for a null position.
    int Delete(POSITION p) {
        if (!p) return 0;
        CkxAutoLock g(&lock_);
        delete list_.RemoveAt(p);
        return 1;
    }
    void DeleteAll() {
        CkxAutoLock g(&lock_);
        list_.DeleteAll();
    }
    int GetCount() const {
        CkxAutoLock g(&lock_);
        return list_.GetCount();
    }
    // Unlinks the first record; the caller owns it. Null when empty.
    T* RemoveHead() {
        CkxAutoLock g(&lock_);
        return list_.RemoveHead();
    }
    // Visits every record in order under the flag.
    template <class F>
    void ForEach(F&& f) const {
        CkxAutoLock g(&lock_);
        list_.ForEach(f);
    }
    // The records the predicate picks, in order, collected under the flag.
    template <class P>
    std::vector<T*> Select(P&& pick) const {
        std::vector<T*> out;
        CkxAutoLock g(&lock_);
        for (POSITION p = list_.GetHeadPosition(); p;) {
            T* r = list_.GetNext(p);
            if (pick(*r)) out.push_back(r);
        }
        return out;
    }

    // Unguarded iteration: call between Lock() and Unlock().
    POSITION GetHeadPosition() const { return list_.GetHeadPosition(); }
    T* GetNext(POSITION& p) const { return list_.GetNext(p); }

protected:
    // Heap copies of every record, taken under the flag.
    std::vector<std::unique_ptr<T>> Snapshot() const {
        std::vector<std::unique_ptr<T>> copies;
        CkxAutoLock g(&lock_);
        copies.reserve(list_.GetCount());
        list_.ForEach([&](const T& r) { copies.emplace_back(new (std::nothrow) T(r)); });
        return copies;
    }

    mutable CKXAUTOLOCK lock_;
    CkxRecordList<T, Mode> list_; // touched only while lock_ is held
};
