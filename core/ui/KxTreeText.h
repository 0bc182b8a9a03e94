// The text rule every tree of the library shares for names and paths: a name is compared and
// put into a path right-trimmed of white space.
#pragma once

#include <string>

inline std::string KxRightTrim(const std::string& s) {
    const std::size_t end = s.find_last_not_of(" \t\r\n\f\v");
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}
