#pragma once
// Checks of a table file that is not attached (a copy about to replace a table): opened read-only
// on a connection of its own, so nothing is written to it and the session is not involved.

#include "platform/data/TableSchema.h"

#include <filesystem>
#include <optional>
#include <string>

namespace data {

// The structure the file declares for the table `tableName`. Raises EDatabaseError (Czech,
// naming the file) when the file cannot be read as a table file of that table.
TableSchema ReadTableFileStructure(const std::filesystem::path& file, const std::string& tableName);

// Checks that `file` is a complete, undamaged table file of the table `tableName`: its length
// agrees with its header, SQLite finds its pages consistent, and it declares the fields of
// `expected` (when given) with their types and widths. Raises EDatabaseError (Czech, naming the
// file) otherwise.
void CheckTableFile(const std::filesystem::path& file, const std::string& tableName,
                    const std::optional<TableSchema>& expected);

} // namespace data
