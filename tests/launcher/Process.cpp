#include "Process.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace launcher_test {

namespace fs = std::filesystem;

ProcessResult RunProcess(const fs::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::optional<std::string>>& env, const fs::path& folder,
                         int timeoutSeconds) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : env) {
        if (value)
            vars[name] = *value;
        else
            vars.erase(name);
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : vars)
        envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argText{program.string()};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    char errName[] = "/tmp/lendar-launcher-err-XXXXXX";
    char outName[] = "/tmp/lendar-launcher-out-XXXXXX";
    const int errFd = mkstemp(errName);
    const int outFd = mkstemp(outName);
    ProcessResult result;
    if (errFd < 0 || outFd < 0) return result;
    unlink(errName);
    unlink(outName);

    const pid_t child = fork();
    if (child == 0) {
        dup2(errFd, STDERR_FILENO);
        dup2(outFd, STDOUT_FILENO);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (true) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    for (const auto& [fd, text] : {std::pair{errFd, &result.errors}, std::pair{outFd, &result.output}}) {
        lseek(fd, 0, SEEK_SET);
        char buffer[4096];
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0)
            text->append(buffer, static_cast<std::size_t>(n));
        close(fd);
    }
    return result;
}

bool WaitForFile(const fs::path& file, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        std::error_code ec;
        if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

fs::path BuiltProgramFolder() {
    const char* folder = std::getenv("LENDAR_PROGRAM_DIR");
    return folder ? fs::path(folder) : fs::path();
}

} // namespace launcher_test
