// Exchange of a block of bytes with the desktop clipboard under one clipboard format that the
// whole process shares. Format 1 is plain text (UTF-8 bytes); RegisterFormat gives a named
// format its number (the same number for the same name) and makes it the current one. The
// clipboard is reached only from the application's thread: without an application object, or
// from another thread, every call fails. Open and Close are the process's own state (the
// desktop has no clipboard that one program opens): Open fails only while this process holds it
// open, and SetData needs it open.
#pragma once

#include "base/KxAtomTable.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace studio {

class CClipboardData {
public:
    static constexpr std::uint16_t kFormatText = 1;
    // The first number a registered name gets.
    static constexpr std::uint16_t kFirstRegisteredFormat = kx::kFirstAtom;

    // Makes plain text the current format.
    CClipboardData();

    static bool Open();
    static bool Close();
    // Takes every format off the clipboard; needs it open.
    static bool Empty();
    // The number of the named format (0 for an empty name or when no number is left); it
    // becomes the current format.
    static std::uint16_t RegisterFormat(const std::string& name);
    static std::uint16_t CurrentFormat();
    // Puts a copy of `length` bytes on the clipboard under the current format, beside the
    // formats already there; closes the clipboard on success and leaves it open on failure.
    static bool SetData(const void* bytes, std::size_t length);
    // Copies `length` bytes of the current format into `buffer`. False, with the buffer
    // untouched, when the clipboard holds no such data or holds fewer bytes than asked for.
    static bool GetData(void* buffer, std::size_t length);
    // The MIME type a format travels under (empty for a number never registered).
    static std::string MimeType(std::uint16_t format);
};

} // namespace studio
