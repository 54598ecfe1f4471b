#pragma once

// <windows.h> for our Win32 sources. Its CopyFile and DeleteFile macros would rename the
// FileSystem methods of the same names in any file that includes both, so they go; call
// CopyFileW and DeleteFileW by their own names.
#include <windows.h>

#undef CopyFile
#undef DeleteFile
