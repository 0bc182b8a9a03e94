// The drives that storage roots live on: letters C to Z, each standing for a folder, with its
// total and free megabytes. A source lists the present drives in letter order; the server gives
// the storage its machine's drive map, tests give temporary folders with chosen sizes.
#pragma once

#include "model/KxExport.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct KX_EXPORT StorageDrive {
    char letter = 0;        // 'C' .. 'Z'
    std::string root;       // the drive's root text as the machine names it, "C:\"
    std::string folder;     // where the drive's top lies on this machine
    uint32_t totalMB = 0;   // MiB, rounded down
    uint32_t freeMB = 0;    // MiB, rounded down

    // The drive index a letter stands for (C = 2), -1 for anything else.
    static int IndexOf(char letter);
    // "C:\" for 'C' (upper-cased).
    static std::string RootText(char letter);
    // The letter of a root text ("c:\", "C:", "C"), 0 when it names none of C to Z.
    static char LetterOf(const std::string& rootText);
};

class KX_EXPORT StorageDriveSource {
public:
    virtual ~StorageDriveSource() = default;
    // The present drives, in letter order.
    virtual std::vector<StorageDrive> ListDrives() const = 0;
};

// The machine's drives as the host information lists them (fixed and network drives of the
// configured drive map, kx::CurrentDriveSource). What a storage uses unless given another source.
class KX_EXPORT HostDriveSource : public StorageDriveSource {
public:
    std::vector<StorageDrive> ListDrives() const override;
};

// Drives given as letter -> folder. Sizes come from the folder's file system (statvfs) unless
// fixed sizes were given; a folder that does not exist is not present.
class KX_EXPORT FolderDriveSource : public StorageDriveSource {
public:
    FolderDriveSource() = default;
    // Letters outside C..Z are ignored; returns false then.
    bool Add(char letter, const std::string& folder);
    bool Add(char letter, const std::string& folder, uint32_t totalMB, uint32_t freeMB);
    // Changes the fixed free size of a drive added with fixed sizes.
    void SetFree(char letter, uint32_t freeMB);

    std::vector<StorageDrive> ListDrives() const override;

private:
    struct Entry {
        std::string folder;
        bool fixed = false;
        uint32_t totalMB = 0;
        uint32_t freeMB = 0;
    };
    std::map<char, Entry> drives_;
};
