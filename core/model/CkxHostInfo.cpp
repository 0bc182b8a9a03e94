#include "model/CkxHostInfo.h"

#include "base/Gbk.h"
#include "base/KxDrives.h"
#include "base/KxProc.h"
#include "base/OleDate.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

uint32_t Clamp32(uint64_t v) { return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

CkxHostInfo::_TIME LocalNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm {};
    localtime_r(&t, &tm);
    CkxHostInfo::_TIME st {};
    st.wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st.wDay = static_cast<uint16_t>(tm.tm_mday);
    st.wHour = static_cast<uint16_t>(tm.tm_hour);
    st.wMinute = static_cast<uint16_t>(tm.tm_min);
    st.wSecond = static_cast<uint16_t>(tm.tm_sec);
    st.wMilliseconds = static_cast<uint16_t>(ms < 0 ? 0 : ms);
    return st;
}

void FillFileSystem(CkxHostInfo::_DRIVE& e, const std::string& name) {
    std::memset(e.szFileSystem, 0, sizeof e.szFileSystem);
    if (name.size() < 10) kx::PutText(e.szFileSystem, name);
}

} // namespace

CkxHostInfo::CkxHostInfo() : m_tmStart(LocalNow()) {}

CkxHostInfo::_COM CkxHostInfo::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nMemTotal = m_nMemTotal;
    c.nMemAvail = m_nMemAvail;
    c.nCpu = m_nCpu;
    c.nProcesses = m_nProcesses;
    std::memcpy(c.drives, m_drives, sizeof c.drives);
    c.tmStart = m_tmStart;
    return c;
}

void CkxHostInfo::SetComData(const _COM& c) {
    m_nMemTotal = c.nMemTotal;
    m_nMemAvail = c.nMemAvail;
    m_nCpu = c.nCpu;
    m_nProcesses = c.nProcesses;
    std::memcpy(m_drives, c.drives, sizeof m_drives);
    m_tmStart = c.tmStart;
}

int CkxHostInfo::GetCurSystemInfo(CkxHostInfo& info) {
    info.SetComData(kx::ZeroRecord<_COM>());
    info.m_nMemTotal = GetMemoryTotal();
    info.m_nMemAvail = GetMemoryAvailable();
    info.m_nCpu = GetCpuOccupancy();
    info.m_nProcesses = GetNumberOfProcess();
    GetDriverInfo(info.m_drives);
    return 1;
}

uint32_t CkxHostInfo::GetMemoryTotal() {
    uint64_t total = 0, avail = 0;
    return kx::ReadMemInfo(total, avail) ? Clamp32(total) : 0;
}

uint32_t CkxHostInfo::GetMemoryAvailable() {
    uint64_t total = 0, avail = 0;
    return kx::ReadMemInfo(total, avail) ? Clamp32(avail) : 0;
}

uint32_t CkxHostInfo::GetCpuOccupancy() {
    kx::CpuTimes first, second;
    if (!kx::ReadCpuTimes(first)) return kCpuUnknown;
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    if (!kx::ReadCpuTimes(second)) return kCpuUnknown;
    return kx::CpuLoadPercent(first, second);
}

uint32_t CkxHostInfo::GetNumberOfProcess() {
    int n = kx::CountProcesses();
    return n < 0 ? 0 : static_cast<uint32_t>(n);
}

int CkxHostInfo::GetDriverInfo(_DRIVE (&entries)[26]) {
    std::memset(entries, 0, sizeof entries);
    auto source = kx::CurrentDriveSource();
    kx::DriveMap map = source->Map();
    int count = 0;
    for (int i = 2; i < 26; ++i) { // A and B are never drives here
        if (map[i].empty()) continue;
        kx::DriveFacts f = source->Facts(map[i]);
        if (f.kind == kx::DriveKind::None) continue;
        _DRIVE& e = entries[count];
        char root[4] = {static_cast<char>('A' + i), ':', '\\', '\0'};
        kx::PutText(e.szRoot, root);
        kx::PutText(e.szType, f.kind == kx::DriveKind::Network ? kNetworkDrive : kFixedDrive);
        if (f.sizesKnown) {
            e.nTotalMB = Clamp32(f.totalBytes >> 20);
            e.nFreeMB = Clamp32(f.freeBytes >> 20);
        }
        FillFileSystem(e, f.fileSystem);
        ++count;
    }
    return count;
}

void CkxHostInfo::DetermineVolumeInfo(_DRIVE& entry) {
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(entry.szRoot[0])));
    if (letter < 'A' || letter > 'Z' || entry.szRoot[1] != ':') {
        FillFileSystem(entry, {});
        return;
    }
    auto source = kx::CurrentDriveSource();
    std::string folder = source->Map()[letter - 'A'];
    FillFileSystem(entry, folder.empty() ? std::string() : source->Facts(folder).fileSystem);
}

int CkxHostInfo::GetDiskInfo(char letter, _DRIVE& entry) {
    char want = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    _DRIVE table[26];
    int n = GetDriverInfo(table);
    for (int i = 0; i < n; ++i) {
        char root = static_cast<char>(std::toupper(static_cast<unsigned char>(table[i].szRoot[0])));
        if (root == want && table[i].szRoot[1] == ':' && table[i].szRoot[2] == '\\' &&
            table[i].szRoot[3] == '\0') {
            entry = table[i];
            return 1;
        }
    }
    return 0;
}

uint32_t CkxHostInfo::GetDiskFreeCapacity(char letter) {
    _DRIVE e {};
    return GetDiskInfo(letter, e) ? e.nFreeMB : 0;
}

double CkxHostInfo::GetProgramRunTime() const {
    DATE start = 0;
    if (!kx::MakeDate(m_tmStart.wYear, m_tmStart.wMonth, m_tmStart.wDay, m_tmStart.wHour,
                      m_tmStart.wMinute, m_tmStart.wSecond, start))
        return 0;
    start += m_tmStart.wMilliseconds / 86400000.0;
    _TIME n = LocalNow();
    DATE now = 0;
    kx::MakeDate(n.wYear, n.wMonth, n.wDay, n.wHour, n.wMinute, n.wSecond, now);
    now += n.wMilliseconds / 86400000.0;
    return now - start;
}
