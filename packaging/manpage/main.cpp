// Build step: writes a command-line tool's man page from the text of its --help.
// manpage NAME SUMMARY VERSION HELP-FILE OUTPUT-FILE

#include "packaging/manpage/ManPage.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "manpage NAME SUMMARY VERSION HELP-FILE OUTPUT-FILE\n";
        return 2;
    }
    std::ifstream in(argv[4], std::ios::binary);
    const std::string help{std::istreambuf_iterator<char>(in), {}};
    std::ofstream out(argv[5], std::ios::binary);
    out << ostrevan::manPage({argv[1], argv[2], argv[3], help});
    return in && out ? 0 : 1;
}
