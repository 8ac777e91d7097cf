#pragma once
// Running a program of the installation as a child process with some environment variables
// changed, its standard error captured.

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace launcher_test {

struct ProcessResult {
    int exitCode = -1;  // -1: did not end normally
    std::string errors; // standard error
    std::string output; // standard output
};

// Runs `program` with `args` in `folder`; variables mapped to nullopt are removed.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::optional<std::string>>& env,
                         const std::filesystem::path& folder, int timeoutSeconds = 60);

// Waits until the file exists and is not empty; false after `milliseconds`.
bool WaitForFile(const std::filesystem::path& file, int milliseconds);

// The folder of the installation the build lays out (LENDAR_PROGRAM_DIR).
std::filesystem::path BuiltProgramFolder();

} // namespace launcher_test
