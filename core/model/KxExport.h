// Symbol visibility of the kxdll shared library: its classes are exported whole.
#pragma once

#define KX_EXPORT __attribute__((visibility("default")))
