#pragma once

#include <windows.h>

#include <string>

#include "platform/path.h"

// What a path the user gave reaches: a file to open, the name of a device, or
// through links and junctions the file they lead to.
namespace torvane::win32 {

// The path to open for the file. A path of MAX_PATH or more (with room for
// the files a Save puts beside it) comes in the literal \\?\ form. Throws
// FileError for the name of a device (COM1, NUL, a \\.\ name), unless a
// file of that name is really there: then its literal path, which reaches
// the file and not the device.
std::wstring DiskPath(const platform::Path& file);

// Throws FileError unless the open handle is a disk file: a device or a pipe
// would make a read wait for data for good.
void RequireDisk(HANDLE file, const platform::Path& name);

// The file an open handle is, with every link, junction and mount point on
// the way resolved, in the literal \\?\ form.
std::wstring FinalPath(HANDLE file);

}  // namespace torvane::win32
