#include "XSession.h"

#include "Process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace launcher_test {

namespace {

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string rest = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    rest += ':';
    std::size_t start = 0, colon;
    while ((colon = rest.find(':', start)) != std::string::npos) {
        const std::string candidate = rest.substr(start, colon - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = colon + 1;
    }
    return {};
}

// The title as a pattern that matches exactly that text.
std::string ExactPattern(const std::string& title) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return "^" + std::regex_replace(title, special, R"(\$&)") + "$";
}

} // namespace

XSession::XSession() {
    xvfb_ = FindProgram("Xvfb");
    xdotool_ = FindProgram("xdotool");
    if (xvfb_.empty())
        why_ = "Xvfb is not installed";
    else if (xdotool_.empty())
        why_ = "xdotool is not installed";
}

XSession::~XSession() {
    if (server_ > 0) {
        kill(server_, SIGTERM);
        int status = 0;
        waitpid(server_, &status, 0);
    }
}

bool XSession::Start() {
    int fds[2];
    if (!Available() || pipe(fds) != 0) return false;
    server_ = fork();
    if (server_ == 0) {
        close(fds[0]);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execl(xvfb_.c_str(), xvfb_.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24",
              "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        why_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    return true;
}

std::string XSession::Run(const std::vector<std::string>& args, int* exitCode) {
    const auto result = RunProcess(xdotool_, args, {{"DISPLAY", display_}}, "/", 30);
    if (exitCode) *exitCode = result.exitCode;
    return result.output;
}

std::string XSession::WaitForWindow(const std::string& title, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        const std::string found = Run({"search", "--onlyvisible", "--name", ExactPattern(title)});
        if (!found.empty()) return found.substr(0, found.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

bool XSession::WaitUntilGone(const std::string& title, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        if (Run({"search", "--onlyvisible", "--name", ExactPattern(title)}).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

std::pair<int, int> XSession::Size(const std::string& window) {
    // "WIDTH=890" and "HEIGHT=629" among the lines of --shell output.
    const std::string shell = Run({"getwindowgeometry", "--shell", window});
    const auto value = [&shell](const std::string& name) {
        const auto at = shell.find(name + "=");
        return at == std::string::npos ? 0 : std::atoi(shell.c_str() + at + name.size() + 1);
    };
    return {value("WIDTH"), value("HEIGHT")};
}

bool XSession::Click(const std::string& window, int x, int y) {
    int code = -1;
    Run({"mousemove", "--window", window, "--sync", std::to_string(x), std::to_string(y), "click", "1"},
        &code);
    return code == 0;
}

bool XSession::Focus(const std::string& window) {
    int code = -1;
    Run({"windowfocus", "--sync", window}, &code);
    return code == 0;
}

bool XSession::PressReturn(const std::string& window) {
    int code = -1;
    Run({"windowfocus", "--sync", window, "key", "Return"}, &code);
    return code == 0;
}

bool XSession::Type(const std::string& text) {
    int code = -1;
    Run({"type", "--delay", "5", text}, &code);
    return code == 0;
}

bool XSession::Keys(const std::string& keys) {
    int code = -1;
    Run({"key", "--delay", "5", keys}, &code);
    return code == 0;
}

void XSession::Screenshot(const std::string& name) {
    const char* folder = std::getenv("LENDAR_TEST_SCREENSHOTS");
    const std::string import = FindProgram("import");
    if (folder == nullptr || *folder == '\0' || import.empty()) return;
    RunProcess(import, {"-window", "root", std::string(folder) + "/" + name + ".png"}, {{"DISPLAY", display_}}, "/", 30);
}

} // namespace launcher_test
