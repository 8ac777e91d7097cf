// The drive type of a folder: read from a mount table and sysfs. A faked table and sysfs tree
// cover each kind; the machine's own table is used for a memory-backed mount when it has one.

#include "sys/TempFolder.h"

#include "platform/sys/DriveType.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

using sys::DriveType;
using systest::TempFolder;
namespace fs = std::filesystem;

namespace {

// A sysfs tree with the block devices the kernel would show: 8:0 a fixed disk, 8:17 a partition
// of a removable disk, 11:0 an optical drive, 252:0 a compressed memory disk.
void MakeSysfs(const fs::path& root)
{
    const fs::path devices = root / "devices";
    fs::create_directories(devices / "sda");
    fs::create_directories(devices / "sdb" / "sdb1");
    fs::create_directories(devices / "sr0");
    fs::create_directories(devices / "zram0");
    std::ofstream(devices / "sda" / "removable") << "0\n";
    std::ofstream(devices / "sdb" / "removable") << "1\n";
    std::ofstream(devices / "sdb" / "sdb1" / "partition") << "1\n";
    std::ofstream(devices / "sr0" / "removable") << "1\n";
    std::ofstream(devices / "zram0" / "removable") << "0\n";
    fs::create_directories(root / "dev" / "block");
    fs::create_directory_symlink("../../devices/sda", root / "dev" / "block" / "8:0");
    fs::create_directory_symlink("../../devices/sdb/sdb1", root / "dev" / "block" / "8:17");
    fs::create_directory_symlink("../../devices/sr0", root / "dev" / "block" / "11:0");
    fs::create_directory_symlink("../../devices/zram0", root / "dev" / "block" / "252:0");
}

std::string MountLine(int id, const std::string& device, const fs::path& point, const std::string& type,
                      const std::string& source)
{
    std::string escaped;
    for (char c : point.string())
        escaped += c == ' ' ? std::string("\\040") : std::string(1, c);
    return std::to_string(id) + " 1 " + device + " / " + escaped + " rw,relatime shared:1 - " + type + " " + source +
           " rw\n";
}

struct Case {
    const char* name;
    const char* device;
    const char* type;
    const char* source;
    DriveType expected;
};

class DriveTypeOfMount : public ::testing::TestWithParam<Case> {};

TEST_P(DriveTypeOfMount, FollowsTheFileSystemAndItsDevice)
{
    TempFolder temp;
    MakeSysfs(temp / "sys");
    const fs::path point = temp / "mnt" / "záloha disk"; // a blank in the mount point is escaped
    fs::create_directories(point / "Pernoka");
    const std::string table = MountLine(20, "8:0", "/", "ext4", "/dev/sda") +
                              MountLine(30, GetParam().device, point, GetParam().type, GetParam().source);
    EXPECT_EQ(sys::DriveTypeOf(point / "Pernoka", table, temp / "sys"), GetParam().expected);
    // A folder still to be made lies on the drive of the nearest existing folder above it.
    EXPECT_EQ(sys::DriveTypeOf(point / "nová" / "další", table, temp / "sys"), GetParam().expected);
    // Beside the mount point, on the root disk.
    EXPECT_EQ(sys::DriveTypeOf(temp / "mnt", table, temp / "sys"), DriveType::Fixed);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DriveTypeOfMount,
    ::testing::Values(Case{"fixed", "8:0", "ext4", "/dev/sda2", DriveType::Fixed},
                      Case{"usb", "8:17", "vfat", "/dev/sdb1", DriveType::Removable},
                      Case{"cd", "11:0", "iso9660", "/dev/sr0", DriveType::CdRom},
                      Case{"dvd", "11:0", "udf", "/dev/sr0", DriveType::CdRom},
                      Case{"zram", "252:0", "ext4", "/dev/zram0", DriveType::RamDisk},
                      Case{"tmpfs", "0:22", "tmpfs", "tmpfs", DriveType::RamDisk},
                      Case{"nfs", "0:50", "nfs4", "server:/export", DriveType::Remote},
                      Case{"samba", "0:51", "cifs", "//server/share", DriveType::Remote},
                      Case{"sshfs", "0:52", "fuse.sshfs", "user@host:", DriveType::Remote},
                      Case{"unlisted share", "0:53", "fuse.other", "//server/share", DriveType::Remote},
                      Case{"btrfs", "0:40", "btrfs", "/dev/sda3", DriveType::Fixed}),
    [](const ::testing::TestParamInfo<Case>& param) {
        std::string name;
        for (const char* c = param.param.name; *c != 0; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(DriveType, TheDeepestAndLatestMountCounts)
{
    TempFolder temp;
    MakeSysfs(temp / "sys");
    const fs::path point = temp / "media";
    fs::create_directories(point / "inner");
    // A removable disk over a tmpfs mounted on the same point later: the later one covers it.
    const std::string table = MountLine(20, "8:0", "/", "ext4", "/dev/sda") +
                              MountLine(30, "8:17", point, "vfat", "/dev/sdb1") +
                              MountLine(31, "0:22", point, "tmpfs", "tmpfs") +
                              MountLine(32, "8:0", point / "inner", "ext4", "/dev/sda4");
    EXPECT_EQ(sys::DriveTypeOf(point, table, temp / "sys"), DriveType::RamDisk);
    EXPECT_EQ(sys::DriveTypeOf(point / "inner", table, temp / "sys"), DriveType::Fixed);
    // A mount point that only begins like the folder's name is not above it.
    EXPECT_EQ(sys::DriveTypeOf(temp / "media2", MountLine(20, "8:0", "/", "ext4", "/dev/sda") +
                                                    MountLine(30, "8:17", point, "vfat", "/dev/sdb1"),
                               temp / "sys"),
              DriveType::Fixed);
}

TEST(DriveType, AnEmptyTextHasNoDrive)
{
    EXPECT_EQ(sys::DriveTypeOf(""), DriveType::NoRootDir);
}

// The machine's own mount table: a memory-backed mount it has (/dev/shm usually) is not fixed.
TEST(DriveType, AMemoryMountOfThisMachineIsNotFixed)
{
    const fs::path memoryMount = systest::MemoryMountFolder();
    if (memoryMount.empty())
        GTEST_SKIP() << "no writable memory-backed mount on this machine";
    EXPECT_EQ(sys::DriveTypeOf(memoryMount / "Záloha"), DriveType::RamDisk);
}

} // namespace
