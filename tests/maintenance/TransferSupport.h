#pragma once
// Helpers of the export and import tests: the rows of table files read straight from disk, the
// program folder's templates, running the window's timer until it stops, and the independent peers.

#include "AppFixture.h"

#include <functional>
#include <string>
#include <vector>

namespace transfertest {

using Rows = std::vector<std::vector<std::string>>;

// Every record of a table file, the named fields as texts, in record order.
Rows TableRows(const std::string& file, const std::vector<std::string>& fields);

// Runs the event loop until `done` answers true (or ten seconds pass); false on timeout.
bool RunUntil(const std::function<bool()>& done);

// Reads a CSV file with python3's csv module (delimiter ";", encoding cp1250) and gives its rows
// without the empty value after each row's last ";". Fails the test when python fails.
Rows ReadCsvWithPython(const std::string& file);

int RunCommand(const std::string& command, std::string* output = nullptr);
std::string ReadBytes(const std::string& file);
void WriteBytes(const std::string& file, const std::string& bytes);
bool HavePythonModule(const char* module);

} // namespace transfertest
