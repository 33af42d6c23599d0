#include "tools/ostrevan-links/LinksCommand.h"

#include "platform/CommandLine.h"
#include "platform/UserFolders.h"
#include "tools/common/StandardOutput.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ostrevan::commandLineArguments(argc, argv);
    const int status =
        ostrevan::runLinksCommand(arguments, std::cout, std::cerr, ostrevan::userConfigFolder());
    return ostrevan::finishOutput(std::cout, std::cerr, "ostrevan-links", status, 1);
}
