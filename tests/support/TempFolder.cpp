#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
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
    std::random_device random;
    for (int attempt = 0; m_path.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / pathOf(".ostrevan fs Größe-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            m_path = textOf(candidate);
        } else if (attempt == 100) {
            throw std::runtime_error("cannot make a temporary folder");
        }
    }
    fs::permissions(pathOf(m_path), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
}

TempFolder::~TempFolder() {
    makeRemovable(pathOf(m_path));
    std::error_code ignored;
    fs::remove_all(pathOf(m_path), ignored);
}

std::string TempFolder::at(std::string_view relative) const {
    return m_path + kSeparator + std::string(relative);
}

std::string TempFolder::file(std::string_view relative, std::string_view bytes) const {
    const std::string full = at(relative);
    fs::create_directories(pathOf(full).parent_path());
    std::ofstream out(pathOf(full), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full);
    }
    return full;
}

std::string TempFolder::folder(std::string_view relative) const {
    const std::string full = at(relative);
    fs::create_directories(pathOf(full));
    return full;
}

std::string TempFolder::link(std::string_view relative, const std::string& target) const {
    const std::string full = at(relative);
    fs::create_directories(pathOf(full).parent_path());
    fs::create_symlink(pathOf(target), pathOf(full));
    return full;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(pathOf(folder))) {
        names.push_back(textOf(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path pathOf(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace ostrevan::test
