// SPDX-License-Identifier: MIT
// Scratch folders for tests: a private folder under the temporary directory, removed with
// everything in it when the test is done, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karvel::test_support {

class ScratchDir {
public:
    // Makes a new empty folder named stem-XXXXXX; throws std::runtime_error when it cannot.
    explicit ScratchDir(std::string_view stem = "karvel-test");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder itself.
    const std::string& root() const { return m_root; }
    // Returns the full path of name inside the folder.
    std::string path(std::string_view name) const;
    // Writes contents to name (replacing it) and returns its full path.
    std::string write(std::string_view name, std::string_view contents) const;
    std::string write(std::string_view name, const std::vector<uint8_t>& contents) const;

private:
    std::string m_root;
};

// Makes a new empty folder named stem-XXXXXX in parent (empty: the temporary directory) and
// returns its path; the caller removes it (removeTree). Throws std::runtime_error when it
// cannot.
std::string makeScratchDirectory(std::string_view stem = "karvel-test", const std::string& parent = {});
// Removes path and everything below it; a missing path is no error.
void removeTree(const std::string& path);

// Returns the whole file, or an empty one when it cannot be read.
std::string readFile(const std::string& path);
std::vector<uint8_t> readBytes(const std::string& path);
// Writes text as the whole file (binary: no line-end translation); executable adds the
// owner's read, write and execute permissions. Throws std::runtime_error naming the file when
// it cannot be written.
void writeFile(const std::string& path, std::string_view text, bool executable = false);

}  // namespace karvel::test_support
