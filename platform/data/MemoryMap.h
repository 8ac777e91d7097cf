#pragma once
// Reading table files through a memory map: a cold read of a large file (the count of the archive,
// the page check of a backup) then costs page faults instead of a read call and a cache page per
// page. Only for files on a local disk or in memory, where nothing but this program changes them:
// a file on a removable or network drive that went away under a map would stop the program
// instead of failing one read.

#include <cstdint>
#include <filesystem>
#include <string>

namespace data {

inline constexpr std::int64_t kMappedBytes = 256 * 1024 * 1024;

// True when files in `folder` may be mapped (answered once per folder).
bool MayMapFilesIn(const std::filesystem::path& folder);

// The pragma that maps the files of `schema` ("main", an alias) when their folder allows it;
// empty otherwise.
std::string MapPragma(const std::string& quotedSchema, const std::filesystem::path& folder);

} // namespace data
