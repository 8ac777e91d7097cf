// Lays out a program folder: the table files made from the schema texts (an existing file is
// kept when its structure already matches, so its records survive a rebuild), Empty/ with an
// empty copy of each, and the folders Data/Help, Data/Icon and Data/Filters with the shipped
// files of install/Data.
//
//   lendar_make_tables <schema folder> <shipped Data folder> <program folder>

#include "platform/data/DataSet.h"
#include "platform/data/TableSchema.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: lendar_make_tables <schema folder> <Data folder> <program folder>\n";
        return 2;
    }
    const fs::path schemas = argv[1], shipped = argv[2], program = argv[3];
    try {
        fs::create_directories(program / "Empty");
        for (const char* sub : {"Help", "Icon", "Filters"})
            fs::create_directories(program / "Data" / sub);

        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(schemas))
            if (entry.path().extension() == ".schema")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        if (files.empty())
            throw data::EDatabaseError("no schema in " + schemas.string());

        for (const auto& file : files) {
            const data::TableSchema schema = data::ReadSchemaFile(file);
            data::WriteTableFile(program / "Empty" / schema.fileName, schema);
            const fs::path table = program / schema.fileName;
            if (!data::TableFileMatches(table, schema)) {
                data::WriteTableFile(table, schema);
                std::cout << "table " << table.string() << '\n';
            }
        }

        if (fs::is_directory(shipped)) {
            for (const auto& entry : fs::recursive_directory_iterator(shipped)) {
                const fs::path target = program / "Data" / fs::relative(entry.path(), shipped);
                if (entry.is_directory())
                    fs::create_directories(target);
                else
                    fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "lendar_make_tables: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
