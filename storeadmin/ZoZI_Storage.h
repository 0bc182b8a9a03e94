// The table of storage roots: up to 26 folders at the top of the drives, named by the root
// prefix and a number, each with a "Conf" ini file naming its id. The table finds the roots,
// keeps each root's free kilobytes, reserves space for new files and picks the root that takes
// the next file; the administration dialog creates and deletes roots through it.
#pragma once

#include "model/KxExport.h"
#include "storeadmin/StorageDrives.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class KX_EXPORT ZoZI_Storage {
public:
    static constexpr int kRootCount = 26;
    // A root takes files only while it has more than this many KB free ...
    static constexpr uint32_t kMinFreeKB = 51200;
    // ... and keeps at least this many KB free after the file.
    static constexpr uint32_t kMinRemainKB = 20481;
    static constexpr const char* kDefaultPrefix = "FERROW_Storage_Root_";

    struct Entry {
        int id = -1;
        std::string path;      // the root folder, empty when no root has this id
        uint32_t capacity = 0; // free KB on the root's drive (0 for a second root on a drive)
        char drive = 0;        // the drive letter the root lies on, 0 when none
    };

    ZoZI_Storage();
    explicit ZoZI_Storage(std::shared_ptr<const StorageDriveSource> drives);
    virtual ~ZoZI_Storage();
    ZoZI_Storage(const ZoZI_Storage&) = delete;
    ZoZI_Storage& operator=(const ZoZI_Storage&) = delete;

    // The folder between "File" and "Micro"/"Whole" ("/Image" for the image storage).
    virtual std::string GetKindFolder() const;

    // The drives to scan; null (the default) means the machine's drives (HostDriveSource).
    void SetDriveSource(std::shared_ptr<const StorageDriveSource> drives);
    std::vector<StorageDrive> ListDrives() const;

    // Sets the prefix from the kind word ("KX" gives "KX_Storage_", "" the default prefix),
    // scans, and returns 1 when root 0 exists.
    int Prepare(const std::string& kindWord);
    std::string GetPrefix() const;
    // Finds the roots on the present drives; returns how many root folders were accepted.
    int Scan();

    int GetCount() const; // table size: 26 after a scan, 0 before
    Entry GetEntry(int index) const;
    std::string GetRootPath(int index) const;
    int Exists(int index) const;
    uint32_t GetCapacity(int index) const;
    // The drive letter of the root, 0 when there is none.
    char GetRootDrive(int index) const;

    // root + "/File" + kind folder + "/Micro" (or "/Whole"); empty when the root does not exist.
    std::string GetMicroFolder(int index) const;
    std::string GetWholeFolder(int index) const;
    // root + "/File" + kind folder + "/Staging": where new content is written and flushed under
    // temporary names before a rename puts it in place, so the leftovers of interrupted writes
    // lie in one folder per root.
    std::string GetStagingFolder(int index) const;
    // Creates the micro, whole and staging folders of an existing root; 1 on success.
    int CreateRootFolders(int index) const;

    // The "ID" of section "BASE" in folder/Conf, -1 when missing.
    static int ReadRootID(const std::string& folder);
    // Writes it; 1 on success.
    static int WriteRootID(const std::string& folder, int id);

    // Gives freed KB back to the root (saturating); 0 for an index outside the table.
    int AddCapacity(int index, uint32_t kb);
    // Takes kb from the root's free capacity when the root may take it; 1 on success.
    int Reserve(int index, uint32_t kb);
    // Reserves kb on the remembered root or the next one that can take it (wrapping); returns
    // the root's index or -1.
    int ChooseRoot(uint32_t kb);
    // Whether any of the first `count` entries lies on that drive (letter in any case).
    int IsDriveInUse(char letter, int count) const;

    // The program-wide index at which the next choice begins.
    static int GetRememberedIndex();
    static void SetRememberedIndex(int index);

    // --- administration (used by the storage-root dialog) ---
    // The prefix followed by the slot number.
    std::string GetRootName(int slot) const;
    // Creates root `slot` on the drive named by its root text ("C:\"): the folder, its Conf with
    // the id, the micro and whole folders; scans again. 0 for a slot outside 0..25, a slot that
    // already has a root, an unknown drive, a folder of that name that is another root's, or a
    // failure on disk.
    int CreateRoot(int slot, const std::string& driveRoot);
    // Removes the root folder of `slot` with everything under it and empties the slot. Refused
    // (0) unless the path is a folder whose name begins with the root prefix.
    int DeleteRoot(int slot);
    // Whether any root has more than kMinFreeKB free.
    int HasUsableRoot() const;

private:
    bool InTable(int index) const { return index >= 0 && index < static_cast<int>(m_table.size()); }
    int ReserveLocked(int index, uint32_t kb);
    std::string SubFolder(int index, const char* leaf) const;
    bool IsRootFolderName(const std::string& name) const;

    mutable std::recursive_mutex m_lock; // the table is reached from the UI and request threads
    std::shared_ptr<const StorageDriveSource> m_drives;
    std::string m_prefix = kDefaultPrefix;
    std::vector<Entry> m_table;
};
