// How the Windows implementation hands paths and errors to the system (Windows builds only).
#pragma once

#include <windows.h>

#include <string>

#include "platform/paths.h"

namespace ledgrix::platform {

// The wide path for a Win32 call: "\" separators, and a long absolute path given the "\\?\"
// prefix that lifts the 260-character limit.
std::wstring Win32Path(const Path& path);

// The system's text for an error code, in UTF-8, without the trailing line end.
std::string Win32ErrorText(DWORD error);

// "what path: reason".
std::string Win32Describe(const char* what, const Path& path, DWORD error);

}  // namespace ledgrix::platform
