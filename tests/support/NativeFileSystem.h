#pragma once

// The file-system object of this build's backend, for tests that run on both systems.
#ifdef _WIN32
#include "platform/win32/Win32FileSystem.h"
namespace ostrevan::test {
using NativeFileSystem = Win32FileSystem;
}
#else
#include "platform/posix/PosixFileSystem.h"
namespace ostrevan::test {
using NativeFileSystem = PosixFileSystem;
}
#endif
