#include "platform/SystemServices.h"

#include "platform/RegistryFileTypes.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace ostrevan {

SystemServices systemServices() {
    SystemServices services;
    services.registry = std::make_unique<Win32Registry>();
    services.fileTypes = std::make_unique<RegistryFileTypes>(*services.registry);
    services.fileSystem = std::make_unique<Win32FileSystem>(*services.fileTypes);
    services.shell = std::make_unique<Win32Shell>();
    return services;
}

} // namespace ostrevan
