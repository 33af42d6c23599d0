#include "tools/ostrevan-scan/ScanCommand.h"

#include "platform/CommandLine.h"
#include "platform/SystemServices.h"
#include "platform/UserFolders.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace ostrevan;
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments = commandLineArguments(argc, argv);
    const SystemServices system = systemServices();
    const ScanCommandEnvironment environment{std::cout, std::cerr, standardErrorIsTerminal(),
                                             *system.fileSystem, userConfigFolder()};
    return runScanCommand(arguments, environment);
}
