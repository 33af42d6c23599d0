#include "platform/SystemServices.h"

#include "platform/RegistryFileTypes.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"

namespace ostrevan {

SystemServices systemServices() {
    SystemServices services;
    const std::string registryPath = RegistryStore::defaultPath();
    services.registry = std::make_unique<RegistryStore>(registryPath);
    services.fileTypes = std::make_unique<RegistryFileTypes>(*services.registry, registryPath);
    services.fileSystem = std::make_unique<PosixFileSystem>(*services.fileTypes);
    return services;
}

} // namespace ostrevan
