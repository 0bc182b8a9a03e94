#include "link/CDiskIdentifier.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxLength = 20;

std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (in) std::getline(in, line);
    return line;
}

// The whole disks the system lists (no partitions, no loop or RAM disks), in name order.
std::vector<std::string> Disks() {
    std::vector<std::string> out;
    if (DIR* d = opendir("/sys/block")) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.empty() || name[0] == '.' || name.rfind("loop", 0) == 0 || name.rfind("ram", 0) == 0 ||
                name.rfind("zram", 0) == 0 || name.rfind("dm-", 0) == 0 || name.rfind("sr", 0) == 0)
                continue;
            out.push_back(name);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The serial the udev database keeps for a disk ("E:ID_SERIAL_SHORT=" or "E:ID_SERIAL=").
std::string UdevSerial(const std::string& disk) {
    const std::string dev = ReadLine("/sys/block/" + disk + "/dev"); // "major:minor"
    if (dev.empty()) return {};
    std::ifstream in("/run/udev/data/b" + dev);
    std::string line, serial;
    while (std::getline(in, line)) {
        if (line.rfind("E:ID_SERIAL_SHORT=", 0) == 0) return line.substr(18);
        if (line.rfind("E:ID_SERIAL=", 0) == 0) serial = line.substr(12);
    }
    return serial;
}

std::string IdentifySerial(const std::string& disk) {
    const int fd = ::open(("/dev/" + disk).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    std::array<std::uint16_t, 256> words{};
    const bool ok = ::ioctl(fd, HDIO_GET_IDENTITY, words.data()) == 0;
    ::close(fd);
    return ok ? CDiskIdentifier::SerialFromIdentify(words) : std::string();
}

} // namespace

std::string CDiskIdentifier::Tidy(const std::string& serial) {
    const auto first = serial.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = serial.find_last_not_of(" \t\r\n");
    std::string s = serial.substr(first, last - first + 1);
    if (s.size() > kMaxLength) s.resize(kMaxLength);
    return s;
}

std::string CDiskIdentifier::SerialFromIdentify(const std::array<std::uint16_t, 256>& words) {
    std::string s;
    for (int i = 10; i <= 19; ++i) {
        s.push_back(static_cast<char>(words[std::size_t(i)] >> 8));
        s.push_back(static_cast<char>(words[std::size_t(i)] & 0xFF));
    }
    // A serial ends at its first NUL; trailing blanks are padding.
    if (auto nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (s.size() > kMaxLength) s.resize(kMaxLength);
    return s;
}

std::string CDiskIdentifier::GetDiskIdentifier() {
    for (const std::string& disk : Disks()) {
        // Readable without privileges: the device's own serial file, then the udev database;
        // the identify command needs the device node, which only some users may open.
        std::string serial = Tidy(ReadLine("/sys/block/" + disk + "/device/serial"));
        if (serial.empty()) serial = Tidy(UdevSerial(disk));
        if (serial.empty()) serial = IdentifySerial(disk);
        if (!serial.empty()) return serial;
    }
    return {};
}
