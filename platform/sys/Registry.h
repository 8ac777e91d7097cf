#pragma once
// The installation's registry key "\Software\Orbelin\Pernoka\2.1" with its string values (Path,
// Password), kept in a small text file readable only by its owner:
//   $LENDAR_REGISTRY, or else $XDG_CONFIG_HOME/Orbelin/Pernoka-2.1.conf (~/.config when unset).
// Every failure comes back as a Status with a Czech message; nothing is thrown.

#include "platform/sys/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sys {

// The key's name as the program spells it.
inline constexpr std::string_view kInstallationKey = "\\Software\\Orbelin\\Pernoka\\2.1";

// Where the key's file lies (see above).
std::filesystem::path RegistryFilePath();

class RegistryKey {
public:
    // A key kept in `file`; nothing is read until Open.
    explicit RegistryKey(std::filesystem::path file = RegistryFilePath());

    // Opens the key for reading and writing. With `canCreate` a missing key (file, folders) is
    // created empty; without it a missing key is a failure. A key that cannot be written, or whose
    // file is damaged, fails to open. Reads the values into memory.
    Status Open(bool canCreate);
    // Opens the key only to read it (also from a read-only file or folder): a missing key reads as
    // a key without values; an unreadable or damaged file fails. Writes through it fail.
    Status OpenForReading();
    bool IsOpen() const { return open_; }
    void Close();

    // Value names are matched without regard to letter case, as the registry does.
    bool ValueExists(std::string_view name) const;
    // The value's text, or nullopt when it does not exist (or the key is not open).
    std::optional<std::string> ReadString(std::string_view name) const;

    // Stores the value (any UTF-8 text, also with line breaks) and writes the file atomically
    // (mode 0600). Values written by someone else since Open are kept. On failure the file and
    // the values seen through this object stay as they were.
    Status WriteString(std::string_view name, std::string_view value);
    // Removes the value; removing a value that does not exist is a success.
    Status DeleteValue(std::string_view name);

    const std::filesystem::path& FilePath() const { return file_; }

private:
    std::filesystem::path file_;
    bool open_ = false;
    bool readOnly_ = false;
    std::vector<std::pair<std::string, std::string>> values_; // name, value; in file order
};

} // namespace sys
