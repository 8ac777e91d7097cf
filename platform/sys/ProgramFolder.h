#pragma once
// The program folder: the folder that holds the running executable. Tables lie directly in it,
// help, icons and saved filters below "Data", template tables below "Empty".

#include <string>
#include <string_view>

namespace sys {

// Folder of the running executable (from /proc/self/exe), without a trailing separator; "/" when
// the executable lies in the root folder. Throws std::system_error when the executable's path
// cannot be read.
std::string ProgramFolder();

// The folder part of a full file path: everything before the last "/", so the result never ends
// with a separator. A file in the root folder gives "/"; a text without any "/" gives "".
std::string FolderOfPath(std::string_view filePath);

} // namespace sys
