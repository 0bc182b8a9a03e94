// CkxCheckout: one user's check-out (or check-in) of one stored file and what the client does
// with its local copy. CkxCheckoutList: the files currently checked out, shared by the server's
// threads and therefore guarded by its own lock in every member.
#pragma once

#include "model/CkxAutoLock.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

// Open modes: 0-3 are check-outs, 4-5 check-ins.
enum KxCheckoutMode {
    KXCO_ONLY = 0,          // check out, leave the copy alone
    KXCO_OPEN_DEF = 1,      // open the copy with the program registered for its type
    KXCO_OPEN_WAY = 2,      // let the user choose the program
    KXCO_OPEN_TINTWORK = 3, // open the copy in the image editor
    KXCI_ONLY = 4,          // check in without saving a new version
    KXCI_SAVE = 5           // check in and save
};

class KX_EXPORT CkxCheckout {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nFileID;
        int32_t nStorageID;
        char szTitle[50];
        char szExt[50];
        int32_t nUserID;
        double dtCheckout;
        double dtTime2;
        int32_t nOpenMode;
        int32_t nTag;
    };
#pragma pack(pop)

    CkxCheckout() = default;
    CkxCheckout(const _COM& com) { SetComData(com); } // NOLINT
    CkxCheckout(const CkxCheckout&) = default;
    CkxCheckout& operator=(const CkxCheckout&) = default;
    CkxCheckout& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxCheckout() = default;

    // A check-out is known by its file id.
    int GetID() const { return m_nFileID; }

    // title + "." + extension
    std::string GetFileName() const;
    // "<file id>.<extension>": the name of the local copy in the checkout folder.
    std::string GetIDName() const;

    bool IsCheckoutOnly() const { return m_nOpenMode == KXCO_ONLY; }
    bool IsCheckoutOpenDef() const { return m_nOpenMode == KXCO_OPEN_DEF; }
    bool IsCheckoutOpenWay() const { return m_nOpenMode == KXCO_OPEN_WAY; }
    bool IsCheckoutOpenTintwork() const { return m_nOpenMode == KXCO_OPEN_TINTWORK; }
    bool IsCheckinOnly() const { return m_nOpenMode == KXCI_ONLY; }
    bool IsCheckinSave() const { return m_nOpenMode == KXCI_SAVE; }
    void SetCheckoutOnly() { m_nOpenMode = KXCO_ONLY; }
    void SetCheckoutOpenDef() { m_nOpenMode = KXCO_OPEN_DEF; }
    void SetCheckoutOpenWay() { m_nOpenMode = KXCO_OPEN_WAY; }
    void SetCheckoutOpenTintwork() { m_nOpenMode = KXCO_OPEN_TINTWORK; }
    void SetCheckinOnly() { m_nOpenMode = KXCI_ONLY; }
    void SetCheckinSave() { m_nOpenMode = KXCI_SAVE; }

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int32_t m_nFileID = -1;
    int32_t m_nStorageID = -1;
    std::string m_strTitle;
    std::string m_strExt;
    int32_t m_nUserID = -1;
    COleDateTime m_dtCheckout;  // set by the server when it accepts a check-out
    COleDateTime m_dtTime2;     // carried unchanged
    int32_t m_nOpenMode = KXCO_ONLY;
    int32_t m_nTag = 0;         // the requester's number, carried unchanged
    // Kept in memory and copied with the record; not part of the wire record.
    COleDateTime m_dtReserve1;
    COleDateTime m_dtReserve2;
    int32_t m_nReserve1 = 1;
    int32_t m_nReserve2 = 10;
};

KX_RECORD_SIZE(CkxCheckout::_COM, 136);
KX_FIELD_AT(CkxCheckout::_COM, nFileID, 0);
KX_FIELD_AT(CkxCheckout::_COM, nStorageID, 4);
KX_FIELD_AT(CkxCheckout::_COM, szTitle, 8);
KX_FIELD_AT(CkxCheckout::_COM, szExt, 58);
KX_FIELD_AT(CkxCheckout::_COM, nUserID, 108);
KX_FIELD_AT(CkxCheckout::_COM, dtCheckout, 112);
KX_FIELD_AT(CkxCheckout::_COM, dtTime2, 120);
KX_FIELD_AT(CkxCheckout::_COM, nOpenMode, 128);
KX_FIELD_AT(CkxCheckout::_COM, nTag, 132);

// Every member takes the list's lock for its whole run, except GetHeadPosition and GetNext,
// which a caller brackets with Lock and Unlock (calling no other member inside the bracket:
// the lock is not re-entrant). Lookups hand back copies, since another thread may delete the
// record as soon as the lock is freed.
class KX_EXPORT CkxCheckoutList : private CkxRecordList<CkxCheckout, kx::DeleteMode::FirstMatch> {
    using Base = CkxRecordList<CkxCheckout, kx::DeleteMode::FirstMatch>;

public:
    CkxCheckoutList() = default;
    CkxCheckoutList(const CkxCheckoutList&) = delete;
    CkxCheckoutList& operator=(const CkxCheckoutList&) = delete;
    ~CkxCheckoutList() override;

    // Appends a heap copy; 1, or 0 when memory runs out.
    int AddTail(const CkxCheckout& r);
    // Appends the pointer and takes ownership; null is ignored.
    void AddTail(CkxCheckout* r);
    // Destroys and removes the first record of the file; 1 when there was one, else 0.
    int Delete(int fileId);
    void DeleteAll();
    // Copies the first record of the file into out: 1, or 0 (out untouched) when there is none.
    int Find(int fileId, CkxCheckout& out) const;
    int GetCount() const;
    int IsFileCheckouted(int fileId) const;
    int IsUserCheckoutFile(int fileId, int userId) const;
    // Renames every record of the file; returns how many were renamed.
    int UpdateFileTitle(unsigned long fileId, const std::string& title);
    // The storage root of the first record of the file, or -1.
    int GetStorageRootID(int fileId) const;

    void Lock() const { m_lock.Lock(); }
    void Unlock() const { m_lock.Unlock(); }
    using Base::GetHeadPosition;
    using Base::GetNext;

private:
    mutable CKXAUTOLOCK m_lock;
};
