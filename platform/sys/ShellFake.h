#pragma once
// A shell for tests: records every call instead of starting anything. By default a file or program
// "opens" when it exists on disk and a web address always opens; set `result` to force an outcome.

#include "platform/sys/Shell.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace sys {

class ShellFake : public Shell {
public:
    enum class Kind { OpenFile, OpenUrl, StartProgram };
    struct Call {
        Kind kind;
        std::string target;        // file, address or program
        std::string workingFolder; // StartProgram only
    };

    std::vector<Call> calls;
    std::optional<Status> result; // forced outcome of every call

    Status OpenFile(const std::filesystem::path& file) override
    {
        calls.push_back({Kind::OpenFile, file.string(), {}});
        std::error_code ec;
        return Outcome(std::filesystem::is_regular_file(file, ec), file.string());
    }
    Status OpenUrl(std::string_view url) override
    {
        calls.push_back({Kind::OpenUrl, std::string(url), {}});
        return Outcome(true, std::string(url));
    }
    Status StartProgram(const std::filesystem::path& program,
                        const std::filesystem::path& workingFolder) override
    {
        calls.push_back({Kind::StartProgram, program.string(), workingFolder.string()});
        std::error_code ec;
        return Outcome(std::filesystem::is_regular_file(program, ec), program.string());
    }

private:
    Status Outcome(bool exists, const std::string& target) const
    {
        if (result)
            return *result;
        return exists ? Status::Ok() : Status::Fail("Soubor " + target + " nebyl nalezen.");
    }
};

} // namespace sys
