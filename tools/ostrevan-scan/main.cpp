#include "tools/ostrevan-scan/ScanCommand.h"

#include "platform/RegistryFileTypes.h"
#include "platform/UserFolders.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace ostrevan;
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    RegistryStore registry(RegistryStore::defaultPath());
    const RegistryFileTypes fileTypes(registry);
    const PosixFileSystem fileSystem(fileTypes);
    const ScanCommandEnvironment environment{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1,
                                             fileSystem, userConfigFolder()};
    return runScanCommand(arguments, environment);
}
