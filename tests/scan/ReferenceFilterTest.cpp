#include "scan/ReferenceFilter.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

struct FilterRow {
    const char* reference;
    const char* base;
    bool inside;
};

TEST(ReferenceFilter, InsideMeansTheFolderOrBelowIt) {
    const FilterRow rows[] = {
        {"C:\\DATA2", "C:\\DATA", false},
        {"C:\\DATA", "C:\\DATA", true},
        {"C:\\Data", "C:\\Data\\", true},
        {"C:\\Data\\", "C:\\Data", true},
        {"c:\\data\\sub", "C:\\DATA", true},
        {"C:\\DATA", "c:\\data\\sub", false},
        {"/home/u/p2", "/home/u/p", false},
        {"/home/u/p/sub/deeper", "/home/u/p", true},
        {"/home/u/p", "/home/u/p/", true},
        {"/home/U/Ä", "/home/u/ä", true},
        {"/home/u/a", "/home/u/ä", false},
        {"/home/u/ä\\", "/home/u/Ä", true},
        {"/home/u/ä//", "/home/u/Ä", true},
        {"/home/u/äx", "/home/u/Ä", false},
        {"/home/u/Ä/sub", "/home/u/ä/", true},
        {"/home/u/p\\", "/HOME/U/P", true},
        {"/home/u/p//", "/home/u/p", true},
        {"/home/u/p\\x", "/home/u/p/X", true},
        {"/anything", "/", true},
        {"", "C:\\Data", false},
        {"C:\\Data", "", false},
        {"D:\\Lib", "C:\\Data", false},
        {"C:/Data/Sub", "C:\\Data", true},
        {"C:\\Teile", "C:\\", true},
        {"D:\\Teile", "C:\\", false},
        {"\\\\server\\share\\Projekt\\Teile", "\\\\server\\share\\Projekt", true},
        {"\\\\SERVER\\Share\\Projekt", "\\\\server\\share\\", true},
        {"\\\\server\\share2\\Projekt", "\\\\server\\share", false},
        {"\\\\server2\\share\\Projekt", "\\\\server\\share", false},
        {"C:\\server\\share", "\\\\server\\share", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BaseFolder(row.base).holds(row.reference), row.inside)
            << row.reference << " in " << row.base;
    }
}

} // namespace
} // namespace ostrevan
