#pragma once

// <windows.h> for the backends. Its names of the A/W pairs are macros that would rename the
// members of our interfaces of the same names (RegOpenKeyEx, FormatMessage, ...); they are
// taken back here, and the backends call the ANSI or wide function by its own name.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#undef ExpandEnvironmentStrings
#undef ExtractIcon
#undef FormatMessage
#undef GetModuleHandle
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef MessageBox
#undef RegCreateKeyEx
#undef RegDeleteValue
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegOpenKeyEx
#undef RegQueryInfoKey
#undef RegQueryValueEx
#undef RegSetValueEx
#undef WritePrivateProfileString

// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE as Windows' handles. Their macros cast to HKEY,
// which inside our namespace names our own key type.
inline HKEY windowsCurrentUser() {
    return HKEY_CURRENT_USER;
}
inline HKEY windowsLocalMachine() {
    return HKEY_LOCAL_MACHINE;
}
