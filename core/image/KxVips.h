// Start-up of libvips for the image layer: once per process, whichever thread comes first.
// Only the image layer's own sources include this (it pulls in the vips headers).
#pragma once

#include <vips/vips8>

#include <string>

namespace kx {
// True when libvips is ready; otherwise why names the reason.
bool VipsReady(std::string* why = nullptr);
} // namespace kx
