#include "platform/data/MemoryMap.h"

#include "platform/sys/DriveType.h"

#include <map>
#include <mutex>

namespace data {

bool MayMapFilesIn(const std::filesystem::path& folder)
{
    static std::mutex lock;
    static std::map<std::filesystem::path, bool> known;
    const std::lock_guard<std::mutex> guard(lock);
    if (const auto it = known.find(folder); it != known.end())
        return it->second;
    const sys::DriveType drive = sys::DriveTypeOf(folder);
    return known[folder] = drive == sys::DriveType::Fixed || drive == sys::DriveType::RamDisk;
}

std::string MapPragma(const std::string& quotedSchema, const std::filesystem::path& folder)
{
    if (!MayMapFilesIn(folder))
        return {};
    return "PRAGMA " + quotedSchema + ".mmap_size=" + std::to_string(kMappedBytes);
}

} // namespace data
