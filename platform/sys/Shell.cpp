#include "platform/sys/Shell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace sys {

namespace fs = std::filesystem;

namespace {

SystemShell systemShell;
Shell* currentShell = &systemShell;

// Finds a program by name along PATH.
std::string FindInPath(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        rest.remove_prefix(colon + 1);
    }
}

// Writes the error number to the pipe and ends a child process; only async-signal-safe calls.
[[noreturn]] void ChildFail(int pipeFd, int error)
{
    ssize_t ignored = write(pipeFd, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// Starts `argv` detached (in its own session, not our child, so it outlives us and leaves no zombie)
// with `folder` as working folder. Success means the program was executed; an error number
// otherwise.
int SpawnDetached(const std::vector<std::string>& args, const std::string& folder)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(fds[0]);
        close(fds[1]);
        return error;
    }
    if (child == 0) {
        close(fds[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0)
            ChildFail(fds[1], errno);
        if (grandchild > 0)
            _exit(0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            if (devNull != STDIN_FILENO)
                close(devNull);
        }
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            ChildFail(fds[1], errno);
        execv(argv[0], argv.data());
        ChildFail(fds[1], errno);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without data when exec succeeded (close-on-exec).
    int error = 0;
    ssize_t n;
    while ((n = read(fds[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof error))
        return error;
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        return ECHILD;
    return 0;
}

Status OpenWithDesktop(const std::string& target, const std::string& what)
{
    const std::string opener = FindInPath("xdg-open");
    if (opener.empty())
        return Status::Fail("Nelze otevřít " + what + ": program xdg-open nebyl nalezen.");
    if (const int error = SpawnDetached({opener, target}, {}); error != 0)
        return Status::Fail("Nelze otevřít " + what + ": " + std::strerror(error));
    return Status::Ok();
}

} // namespace

Status SystemShell::OpenFile(const fs::path& file)
{
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Status::Fail("Soubor " + file.string() + " nebyl nalezen.");
    // An absolute path, so that a name starting with "-" is never read as an option.
    const fs::path absolute = fs::absolute(file, ec);
    return OpenWithDesktop(ec ? file.string() : absolute.string(), "soubor " + file.string());
}

Status SystemShell::OpenUrl(std::string_view url)
{
    if (url.empty() || url.front() == '-')
        return Status::Fail("Neplatná webová adresa „" + std::string(url) + "“.");
    return OpenWithDesktop(std::string(url), "adresu " + std::string(url));
}

Status SystemShell::StartProgram(const fs::path& program, const fs::path& workingFolder)
{
    struct stat st {};
    if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return Status::Fail("Program " + program.string() + " nebyl nalezen.");
    if (const int error = SpawnDetached({program.string()}, workingFolder.string()); error != 0)
        return Status::Fail("Program " + program.string() + " nelze spustit: " +
                            std::strerror(error));
    return Status::Ok();
}

Shell& CurrentShell() { return *currentShell; }
void SetShell(Shell* shell) { currentShell = shell ? shell : &systemShell; }

ScopedShell::ScopedShell(Shell& shell) : previous_(currentShell) { currentShell = &shell; }
ScopedShell::~ScopedShell() { currentShell = previous_; }

} // namespace sys
