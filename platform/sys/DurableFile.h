#pragma once
// Whole-file copies and renames that are on the disk when they return: the data is flushed
// (fsync) before a copy reports success, and a rename is followed by a flush of the folder, so a
// power cut or a killed process afterwards finds the file complete under its new name. A second
// name made by LinkOrCopy waits for the caller's flush of the folder.

#include "platform/sys/Status.h"

#include <filesystem>

namespace sys {

// Copies `from` into `to` (created, or overwritten in place) and flushes it. On failure `to` is
// removed and the message names the file.
Status CopyFileSynced(const std::filesystem::path& from, const std::filesystem::path& to);

// Renames `from` to `to` (replacing `to` in one step) and flushes the folder of `to`.
Status RenameSynced(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a second name `to` for the file `from` (a hard link); where the file system has none,
// a flushed copy is written under a temporary name and renamed to `to`. The new name is on the
// disk only once the folder is flushed (SyncFolder), which the caller does once after several.
Status LinkOrCopy(const std::filesystem::path& from, const std::filesystem::path& to);

// Flushes a folder's entries (names made, renamed or removed in it).
Status SyncFolder(const std::filesystem::path& folder);

} // namespace sys
