// The machine identifier the studio names its image-editor link after: the first disk's serial
// number, at most 20 characters, empty when the system shows none to this user.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CDiskIdentifier {
public:
    // Read anew on every call and returned by value.
    static std::string GetDiskIdentifier();

    // The serial in ATA identify data: words 10 to 19, each word's high byte first, trailing
    // blanks cut, at most 20 characters.
    static std::string SerialFromIdentify(const std::array<std::uint16_t, 256>& words);
    // A serial as the system lists it: blanks around it cut, at most 20 characters.
    static std::string Tidy(const std::string& serial);
};
