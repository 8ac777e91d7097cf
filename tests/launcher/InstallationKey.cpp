#include "InstallationKey.h"

#include "platform/sys/Registry.h"

#include <gtest/gtest.h>

namespace launcher_test {

void MakeKey(const std::filesystem::path& keyFile, const std::optional<std::string>& path) {
    sys::RegistryKey key(keyFile);
    ASSERT_TRUE(key.Open(true));
    if (path) {
        ASSERT_TRUE(key.WriteString("Path", *path));
    }
}

std::optional<std::string> KeyPath(const std::filesystem::path& keyFile) {
    sys::RegistryKey key(keyFile);
    if (!key.OpenForReading()) return std::nullopt;
    return key.ReadString("Path");
}

} // namespace launcher_test
