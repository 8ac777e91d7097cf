#include "LibraryFolder.h"

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace data_test {

fs::path LibraryFolder::SchemaFolder()
{
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    return fs::path(source != nullptr ? source : LENDAR_SOURCE_DIR_FALLBACK) / "install" / "tables";
}

data::TableSchema LibraryFolder::Schema(const std::string& schemaFile)
{
    return data::ReadSchemaFile(SchemaFolder() / schemaFile);
}

LibraryFolder::LibraryFolder()
{
    std::string pattern = (fs::temp_directory_path() / "lendar-data-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    for (const auto& entry : fs::directory_iterator(SchemaFolder())) {
        if (entry.path().extension() != ".schema")
            continue;
        const auto schema = data::ReadSchemaFile(entry.path());
        data::WriteTableFile(path_ / schema.fileName, schema);
    }
    previous_ = fs::current_path();
    fs::current_path(path_);
}

LibraryFolder::~LibraryFolder()
{
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

} // namespace data_test
