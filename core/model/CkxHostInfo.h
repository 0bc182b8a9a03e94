// CkxHostInfo: a snapshot of the server machine (memory, processor load, process count, the
// fixed and network drives with sizes and file system) and the time the object was made.
// Its 1616-byte image is the body of the host-information message; the storage-root logic
// uses the drive queries to pick and check roots. Drives come from kx::CurrentDriveSource().
#pragma once

#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>

class KX_EXPORT CkxHostInfo {
public:
#pragma pack(push, 1)
    // One drive of the table: root text such as "C:\", "Fixed drive" or "Network drive",
    // sizes in MiB rounded down, file-system name (empty when it has 10 or more characters).
    struct _DRIVE {
        char szRoot[8];
        char szType[32];
        uint32_t nTotalMB;
        uint32_t nFreeMB;
        char szFileSystem[12];
    };
    // Local time as 16-bit fields (day of week 0 = Sunday).
    struct _TIME {
        uint16_t wYear;
        uint16_t wMonth;
        uint16_t wDayOfWeek;
        uint16_t wDay;
        uint16_t wHour;
        uint16_t wMinute;
        uint16_t wSecond;
        uint16_t wMilliseconds;
    };
    struct _COM {
        uint32_t nTypeWord; // the sender's object type word; ignored on receipt
        uint32_t nZero;
        uint32_t nMemTotal;  // KiB
        uint32_t nMemAvail;  // KiB
        uint32_t nCpu;       // percent, or 0xFFFFFFFF when not measured
        uint32_t nProcesses;
        _DRIVE drives[26];   // filled from the front; unused entries zero
        char zero[16];
        _TIME tmStart;
    };
#pragma pack(pop)

    static constexpr uint32_t kCpuUnknown = 0xFFFFFFFFu;
    static constexpr const char* kFixedDrive = "Fixed drive";
    static constexpr const char* kNetworkDrive = "Network drive";

    // Records the current local time as the start time.
    CkxHostInfo();
    CkxHostInfo(const CkxHostInfo&) = default;
    CkxHostInfo& operator=(const CkxHostInfo&) = default;
    virtual ~CkxHostInfo() = default;

    _COM GetComData() const;
    void SetComData(const _COM& com);

    // Clears the whole snapshot (start time included), then fills memory, load (about one
    // second of sampling), process count and drives. Returns 1.
    static int GetCurSystemInfo(CkxHostInfo& info);
    static uint32_t GetMemoryTotal();
    static uint32_t GetMemoryAvailable();
    // Load over about one second, or kCpuUnknown.
    static uint32_t GetCpuOccupancy();
    static uint32_t GetNumberOfProcess();
    // Fills the table (all 26 entries, unused ones zero) with the fixed and network drives C to
    // Z in letter order; returns how many were listed.
    static int GetDriverInfo(_DRIVE (&entries)[26]);
    // Fills the entry's file-system name from the drive its root names.
    static void DetermineVolumeInfo(_DRIVE& entry);
    // The listed drive of that letter (any case); 1, or 0 when it is not listed.
    static int GetDiskInfo(char letter, _DRIVE& entry);
    // Free MiB of that drive, 0 when it is not listed.
    static uint32_t GetDiskFreeCapacity(char letter);

    // Days since the start time.
    double GetProgramRunTime() const;

    uint32_t m_nMemTotal = 0;
    uint32_t m_nMemAvail = 0;
    uint32_t m_nCpu = 0;
    uint32_t m_nProcesses = 0;
    _DRIVE m_drives[26] = {};
    _TIME m_tmStart = {};
};

KX_RECORD_SIZE(CkxHostInfo::_DRIVE, 60);
KX_FIELD_AT(CkxHostInfo::_DRIVE, szRoot, 0);
KX_FIELD_AT(CkxHostInfo::_DRIVE, szType, 8);
KX_FIELD_AT(CkxHostInfo::_DRIVE, nTotalMB, 40);
KX_FIELD_AT(CkxHostInfo::_DRIVE, nFreeMB, 44);
KX_FIELD_AT(CkxHostInfo::_DRIVE, szFileSystem, 48);
KX_RECORD_SIZE(CkxHostInfo::_TIME, 16);
KX_RECORD_SIZE(CkxHostInfo::_COM, 1616);
KX_FIELD_AT(CkxHostInfo::_COM, nTypeWord, 0);
KX_FIELD_AT(CkxHostInfo::_COM, nZero, 4);
KX_FIELD_AT(CkxHostInfo::_COM, nMemTotal, 8);
KX_FIELD_AT(CkxHostInfo::_COM, nMemAvail, 12);
KX_FIELD_AT(CkxHostInfo::_COM, nCpu, 16);
KX_FIELD_AT(CkxHostInfo::_COM, nProcesses, 20);
KX_FIELD_AT(CkxHostInfo::_COM, drives, 24);
KX_FIELD_AT(CkxHostInfo::_COM, zero, 1584);
KX_FIELD_AT(CkxHostInfo::_COM, tmStart, 1600);
