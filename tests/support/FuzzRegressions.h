// The inputs the fuzzers once found faults with, kept in fuzz/regressions/<harness>/ (one file
// an input): the unit tests replay them through the same readers, so a fault that comes back
// fails the normal suite.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// (file name, bytes) of every input kept for the harness, in name order.
inline std::vector<std::pair<std::string, std::string>> FuzzRegressionInputs(const std::string& harness) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(__FILE__).parent_path().parent_path().parent_path() / "fuzz" / "regressions" / harness;
    std::vector<std::pair<std::string, std::string>> inputs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.emplace_back(entry.path().filename().string(),
                            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}
