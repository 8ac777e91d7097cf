#pragma once
// Replacing a small file as a whole so that a crash or a failed write never leaves it half
// written: the new content goes to a temporary file beside it, is flushed to disk and renamed over
// the old one.

#include "platform/sys/Status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace sys {

// Creates the folder and its missing parents (new folders get `mode`). Success when it exists.
Status EnsureFolder(const std::filesystem::path& folder, mode_t mode = 0700);

// Writes `content` as the whole file with permissions `mode`, creating the folder when missing.
// On failure the old file is unchanged and no temporary file is left behind.
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view content, mode_t mode);

// Reads the whole file into `content`. A missing file is a failure with its own message.
Status ReadWholeFile(const std::filesystem::path& file, std::string& content);

} // namespace sys
