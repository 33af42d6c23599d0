#include "tools/ostrevan-links/LinksCommand.h"

#include "platform/UserFolders.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return ostrevan::runLinksCommand(arguments, std::cout, std::cerr, ostrevan::userConfigFolder());
}
