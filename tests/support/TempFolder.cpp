#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace ostrevan::test {
namespace {

namespace fs = std::filesystem;

// Gives the owner every right on the folders below dir again, so that they can be removed.
void makeRemovable(const fs::path& dir) {
    std::error_code ignored;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::directory_iterator(dir, ignored)) {
        if (!entry.is_symlink(ignored) && entry.is_directory(ignored)) {
            makeRemovable(entry.path());
        }
    }
}

} // namespace

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / ".ostrevan fs Größe-XXXXXX").native();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
    fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
}

TempFolder::~TempFolder() {
    makeRemovable(m_path);
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TempFolder::at(std::string_view relative) const {
    return m_path + '/' + std::string(relative);
}

std::string TempFolder::file(std::string_view relative, std::string_view bytes) const {
    const std::string full = at(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full);
    }
    return full;
}

std::string TempFolder::folder(std::string_view relative) const {
    const std::string full = at(relative);
    fs::create_directories(full);
    return full;
}

std::string TempFolder::link(std::string_view relative, const std::string& target) const {
    const std::string full = at(relative);
    fs::create_directories(fs::path(full).parent_path());
    fs::create_symlink(target, full);
    return full;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace ostrevan::test
