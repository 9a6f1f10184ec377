// SPDX-License-Identifier: MIT
#include "scratch_dir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace karvel::test_support {

std::string makeScratchDirectory(std::string_view stem, const std::string& parent) {
    const std::filesystem::path folder = parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
    std::string pattern = (folder / (std::string(stem) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp " + pattern + ": " + std::strerror(errno));
    return pattern;
}

void removeTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ScratchDir::ScratchDir(std::string_view stem) : m_root(makeScratchDirectory(stem)) {}

ScratchDir::~ScratchDir() {
    removeTree(m_root);
}

std::string ScratchDir::path(std::string_view name) const {
    return (std::filesystem::path(m_root) / name).string();
}

std::string ScratchDir::write(std::string_view name, std::string_view contents) const {
    const std::string full = path(name);
    writeFile(full, contents);
    return full;
}

std::string ScratchDir::write(std::string_view name, const std::vector<uint8_t>& contents) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, std::string_view text, bool executable) {
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file)
            throw std::runtime_error("cannot write " + path);
    }
    if (executable)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

}  // namespace karvel::test_support
