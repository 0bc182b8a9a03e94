// The whole content of a file as bytes, for tests that check what a writer left on disk.
#pragma once

#include <string>

// Empty when the file is missing or cannot be read.
std::string FileBytes(const std::string& path);
