#pragma once
// An accessor for one profile file ("win.ini"): writes Key=Value into a section of it through the
// profile-string rules of platform/sys.

#include "platform/sys/Profile.h"

#include <filesystem>
#include <string_view>
#include <utility>

class TIniFile {
public:
    explicit TIniFile(std::filesystem::path file = sys::ProfileFilePath()) : file_(std::move(file)) {}

    sys::Status WriteString(std::string_view section, std::string_view key, std::string_view value) const {
        return sys::WriteProfileString(section, key, value, file_);
    }
    const std::filesystem::path& FileName() const { return file_; }

private:
    std::filesystem::path file_;
};
