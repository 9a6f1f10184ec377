// SPDX-License-Identifier: MIT
// A private temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karvel::firmware::testing {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Returns the full path of name inside the directory.
    std::string path(std::string_view name) const;
    // Writes contents to name and returns its full path.
    std::string write(std::string_view name, std::string_view contents) const;
    std::string write(std::string_view name, const std::vector<uint8_t>& contents) const;

private:
    std::filesystem::path m_dir;
};

// Returns the whole file, or nothing when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace karvel::firmware::testing
