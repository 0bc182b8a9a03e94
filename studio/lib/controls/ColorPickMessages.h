// The notifications a colour pick sends: the popup tells its owner (the picker), the picker tells
// its parent. wParam is the colour (0x00BBGGRR, or kColorDefault), lParam the picker's control id
// (0 from the popup). Sent synchronously, so their order holds.
#pragma once

#include "qt/KxColorRef.h"

namespace studio {

constexpr unsigned kCpnSelChange = 2025; // the selection moved (live)
constexpr unsigned kCpnDropDown = 2026;  // the popup opened
constexpr unsigned kCpnCloseUp = 2027;   // the popup closed
constexpr unsigned kCpnSelEndOk = 2028;  // the pick ended with OK
constexpr unsigned kCpnSelEndCancel = 2029; // the pick ended with cancel

// Stands for "the default colour": shown as the button face, text in it black.
constexpr kx::COLORREF kColorDefault = 0xFF000000;

} // namespace studio
