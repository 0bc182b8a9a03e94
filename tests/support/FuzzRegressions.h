// The inputs the fuzzers once found faults with, kept in fuzz/regressions/<harness>/ (one file
// an input): the unit tests replay them through the same readers, so a fault that comes back
// fails the normal suite.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// fuzz/regressions of the source tree: found from this header's own path when the compiler
// gave it whole, else by walking up from the test program, which is built inside the tree.
inline std::filesystem::path FuzzRegressionRoot() {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> starts;
    const fs::path header(__FILE__);
    if (header.is_absolute()) starts.push_back(header.parent_path());
    starts.push_back(fs::read_symlink("/proc/self/exe", ec).parent_path());
    starts.push_back(fs::current_path(ec));
    for (fs::path dir : starts)
        for (; !dir.empty(); dir = dir.parent_path()) {
            if (fs::is_directory(dir / "fuzz" / "regressions", ec)) return dir / "fuzz" / "regressions";
            if (dir == dir.parent_path()) break;
        }
    throw std::runtime_error("fuzz/regressions not found above the test program");
}

// (file name, bytes) of every input kept for the harness, in name order.
inline std::vector<std::pair<std::string, std::string>> FuzzRegressionInputs(const std::string& harness) {
    namespace fs = std::filesystem;
    const fs::path dir = FuzzRegressionRoot() / harness;
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
