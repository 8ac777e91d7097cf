#pragma once
// Shell services: handing a file or web address to the desktop's default application, starting a
// program. Reached through an interface so tests can install a recording fake (ShellFake.h).

#include "platform/sys/Status.h"

#include <filesystem>
#include <string_view>

namespace sys {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens the file with its default action (xdg-open). Fails when the file does not exist or the
    // opener cannot be started.
    virtual Status OpenFile(const std::filesystem::path& file) = 0;
    // Opens a web address in the default browser (xdg-open).
    virtual Status OpenUrl(std::string_view url) = 0;
    // Starts the program, without arguments, with `workingFolder` as its working folder, detached
    // from this process (it runs on after we end). Fails when the program cannot be executed or
    // the folder cannot be entered.
    virtual Status StartProgram(const std::filesystem::path& program,
                                const std::filesystem::path& workingFolder) = 0;
};

// The real shell.
class SystemShell : public Shell {
public:
    Status OpenFile(const std::filesystem::path& file) override;
    Status OpenUrl(std::string_view url) override;
    Status StartProgram(const std::filesystem::path& program,
                        const std::filesystem::path& workingFolder) override;
};

// The shell in use; the system shell unless replaced.
Shell& CurrentShell();
// Replaces the shell in use (nullptr restores the system shell). Not synchronised.
void SetShell(Shell* shell);

// Installs a shell for the lifetime of the object and restores the previous one afterwards.
class ScopedShell {
public:
    explicit ScopedShell(Shell& shell);
    ~ScopedShell();
    ScopedShell(const ScopedShell&) = delete;
    ScopedShell& operator=(const ScopedShell&) = delete;

private:
    Shell* previous_;
};

} // namespace sys
