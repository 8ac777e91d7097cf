#pragma once
// A temporary program folder with the nine table files made from install/tables, which becomes
// the working folder for the lifetime of the object (tables are opened by bare file name).

#include "platform/data/TableSchema.h"

#include <filesystem>
#include <string>

namespace data_test {

class LibraryFolder {
public:
    LibraryFolder();
    ~LibraryFolder();
    LibraryFolder(const LibraryFolder&) = delete;
    LibraryFolder& operator=(const LibraryFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / name; }

    static std::filesystem::path SchemaFolder();
    static data::TableSchema Schema(const std::string& schemaFile); // "Knihy.schema"

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

} // namespace data_test
