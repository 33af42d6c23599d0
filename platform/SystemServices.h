#pragma once

#include "platform/FileSystem.h"
#include "platform/FileTypeRegistry.h"
#include "platform/RegistryFunctions.h"
#include "platform/Shell.h"

#include <memory>

namespace ostrevan {

// The operating system's services as the program uses them, from the backend of the build:
// the registry functions, the file types read from them, the file-system object, and the
// shell hand-off where the system has one of its own (else null: the desktop toolkit's).
struct SystemServices {
    std::unique_ptr<RegistryFunctions> registry;
    std::unique_ptr<FileTypeRegistry> fileTypes;
    std::unique_ptr<FileSystem> fileSystem;
    std::unique_ptr<Shell> shell;
};

SystemServices systemServices();

} // namespace ostrevan
