#include "platform/sys/DriveType.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sys {

namespace fs = std::filesystem;

namespace {

struct Mount {
    std::string device;     // "major:minor"
    fs::path mountPoint;
    std::string type;       // "ext4", "nfs4", "fuse.sshfs"
    std::string source;     // "/dev/sdb1", "server:/share"
};

// Mount points escape blanks, tabs, new lines and backslashes as three octal digits.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool octal = text[i] == '\\' && i + 3 < text.size() &&
                           std::all_of(text.begin() + static_cast<long>(i) + 1, text.begin() + static_cast<long>(i) + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<Mount> ParseMountInfo(std::string_view mountInfo)
{
    std::vector<Mount> mounts;
    std::istringstream lines{std::string(mountInfo)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto dash = std::find(words.begin(), words.end(), "-");
        if (words.size() < 5 || dash == words.end() || dash - words.begin() < 6 || words.end() - dash < 3)
            continue;
        mounts.push_back({words[2], fs::path(Unescape(words[4])), *(dash + 1), Unescape(*(dash + 2))});
    }
    return mounts;
}

bool IsWithin(const fs::path& path, const fs::path& folder)
{
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty())
            continue; // a trailing separator
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

// The folder itself when it exists, else the nearest existing folder above it, with links resolved.
fs::path ExistingFolder(const fs::path& folder)
{
    std::error_code ec;
    fs::path path = fs::absolute(folder, ec).lexically_normal();
    while (!path.empty()) {
        if (fs::exists(path, ec))
            return fs::canonical(path, ec);
        const fs::path parent = path.parent_path();
        if (parent == path)
            break;
        path = parent;
    }
    return "/";
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

DriveType TypeOfFileSystem(std::string_view type)
{
    static constexpr std::array<std::string_view, 17> remote = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs", "fuse.glusterfs",
        "fuse.sshfs", "sshfs", "davfs", "fuse.davfs2", "lustre", "coda"};
    static constexpr std::array<std::string_view, 3> memory = {"tmpfs", "ramfs", "devtmpfs"};
    if (std::find(remote.begin(), remote.end(), type) != remote.end())
        return DriveType::Remote;
    if (type == "iso9660" || type == "udf")
        return DriveType::CdRom;
    if (std::find(memory.begin(), memory.end(), type) != memory.end())
        return DriveType::RamDisk;
    return DriveType::Unknown;
}

std::string ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The block device behind "major:minor": an optical drive, a disk in memory, a removable device,
// else a fixed disk.
DriveType TypeOfDevice(const std::string& device, const fs::path& sysRoot)
{
    std::error_code ec;
    fs::path node = fs::canonical(sysRoot / "dev" / "block" / device, ec);
    if (ec)
        return DriveType::Fixed; // no block device (btrfs, overlay): a disk of this machine
    if (fs::exists(node / "partition", ec))
        node = node.parent_path();
    const std::string name = node.filename().string();
    if (StartsWith(name, "sr"))
        return DriveType::CdRom;
    if (StartsWith(name, "zram") || StartsWith(name, "ram"))
        return DriveType::RamDisk;
    if (ReadFirstLine(node / "removable") == "1")
        return DriveType::Removable;
    return DriveType::Fixed;
}

} // namespace

DriveType DriveTypeOf(const fs::path& folder, std::string_view mountInfo, const fs::path& sysRoot)
{
    if (folder.empty())
        return DriveType::NoRootDir;
    const fs::path path = ExistingFolder(folder);
    const Mount* found = nullptr;
    std::size_t depth = 0;
    const std::vector<Mount> mounts = ParseMountInfo(mountInfo);
    for (const Mount& mount : mounts) {
        const std::size_t d = static_cast<std::size_t>(std::distance(mount.mountPoint.begin(), mount.mountPoint.end()));
        // The deepest mount point above the folder; of two on the same point the later covers the other.
        if (IsWithin(path, mount.mountPoint) && (found == nullptr || d >= depth)) {
            found = &mount;
            depth = d;
        }
    }
    if (found == nullptr)
        return DriveType::Fixed;
    if (const DriveType byType = TypeOfFileSystem(found->type); byType != DriveType::Unknown)
        return byType;
    if (StartsWith(found->source, "//"))
        return DriveType::Remote; // a share of another computer under a file system not listed above
    return TypeOfDevice(found->device, sysRoot);
}

DriveType DriveTypeOf(const fs::path& folder)
{
    std::ifstream in("/proc/self/mountinfo");
    std::ostringstream text;
    text << in.rdbuf();
    return DriveTypeOf(folder, text.str(), "/sys");
}

} // namespace sys
