// SPDX-License-Identifier: MIT
#include "scratch_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace karvel::firmware::testing {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "karvel-firmware-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::string ScratchDir::path(std::string_view name) const { return (m_dir / name).string(); }

std::string ScratchDir::write(std::string_view name, std::string_view contents) const {
    const std::string full = path(name);
    std::ofstream(full, std::ios::binary).write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return full;
}

std::string ScratchDir::write(std::string_view name, const std::vector<uint8_t>& contents) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace karvel::firmware::testing
