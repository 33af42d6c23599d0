#include "tools/ostrevan-links/LinksCommand.h"

#include "platform/UserFolders.h"
#include "tools/common/StandardOutput.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status =
        ostrevan::runLinksCommand(arguments, std::cout, std::cerr, ostrevan::userConfigFolder());
    return ostrevan::finishOutput(std::cout, std::cerr, "ostrevan-links", status, 1);
}
