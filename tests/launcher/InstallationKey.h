#pragma once
// The installation's key as Startel's tests lay it out and read it back: a key file of their own.

#include <filesystem>
#include <optional>
#include <string>

namespace launcher_test {

// Creates the installation's key in `keyFile`, with Path when given.
void MakeKey(const std::filesystem::path& keyFile, const std::optional<std::string>& path);
// The key's Path (nullopt when the key or the value is missing).
std::optional<std::string> KeyPath(const std::filesystem::path& keyFile);

} // namespace launcher_test
