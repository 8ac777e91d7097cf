// The start as a school sees it, on a large generated library on a private Xvfb: from starting
// Startel to Lendar's main window shown, goal 1 s, beside Lendar started directly (the same
// window, without the launcher's checks and hand-over). Each figure is the median of --runs runs
// (default 5), the two kinds taken in turn. Needs Xvfb and xdotool.
// Options as lendar-generate's (--books N ...), --runs N, --keep to leave the folder.

#include "BenchSupport.h"
#include "LibraryGenerator.h"

#include "platform/sys/Registry.h"
#include "platform/sys/ShortDate.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using bench::Median;

namespace {

constexpr const char* kMainTitle = "^Orbelin Pernoka 2\\.1 CZ Standard Edition$";

// Starts a program in `folder` with the display set; returns its process id.
pid_t Spawn(const std::vector<std::string>& args, const fs::path& folder, bool quiet = true) {
    const pid_t child = fork();
    if (child == 0) {
        if (quiet) {
            const int null = open("/dev/null", O_RDWR);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// The output of a short command.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

// The id of Lendar's visible main window, or "".
std::string MainWindow() {
    const std::string found =
        Output(std::string("xdotool search --onlyvisible --name '") + kMainTitle + "' 2>/dev/null");
    return found.substr(0, found.find('\n'));
}

// Milliseconds from `start` until the main window shows; -1 after 60 s.
double UntilShown(std::chrono::steady_clock::time_point start) {
    while (MainWindow().empty()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Ends the Lendar that shows the main window and waits until it is gone.
void EndLendar() {
    const std::string window = MainWindow();
    if (window.empty()) return;
    const pid_t pid = std::atoi(Output("xdotool getwindowpid " + window).c_str());
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 1000 && kill(pid, 0) == 0; ++i) {
        waitpid(pid, nullptr, WNOHANG); // reaps it when it is our own child
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Report(const char* what, double ms, double goal, double baseline) {
    std::printf("%-52s %9.1f ms   Lendar alone %7.1f ms   ratio %.2f   (goal < %.0f ms) %s\n", what, ms,
                baseline, baseline > 0 ? ms / baseline : 0, goal, ms >= 0 && ms < goal ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    bench::LibrarySize size;
    int runs = 5;
    bool keep = false;
    bench::ReadBenchOptions(argc, argv, size, keep, [&runs](const std::string& option, int value) {
        if (option == "--runs") runs = std::max(1, value);
    });
    if (Output("command -v Xvfb").empty() || Output("command -v xdotool").empty()) {
        std::printf("bench_startel: Xvfb and xdotool are needed; skipped\n");
        return 0;
    }
    const auto scratch = bench::MakeScratchFolder("lendar-bench-startel-");
    if (!scratch) return 1;
    const fs::path folder = *scratch / "Pernoka";
    setenv("LENDAR_REGISTRY", (*scratch / "key.conf").c_str(), 1);
    setenv("LENDAR_PROFILE", (*scratch / "win.ini").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", scratch->c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    int result = 0;
    pid_t server = -1;
    try {
        // The installation as the build lays it out, its tables filled with the large library.
        fs::copy(LENDAR_PROGRAM_DIR, folder, fs::copy_options::recursive);
        bench::WriteEmptyTables(fs::path(LENDAR_SOURCE_DIR) / "install" / "tables", folder);
        const double generate = bench::Millis(
            [&] { bench::GenerateLibrary(folder, size, sys::Today().days, [](const std::string&) {}); });
        std::printf("library of %d books, %d readers, %d loans (%d open), %d archived, generated in %.1f s\n",
                    size.books, size.readers, size.loans, size.openLoans, size.archived, generate / 1000);
        {
            sys::RegistryKey key;
            if (!key.Open(true) || !key.WriteString("Path", folder.string()))
                throw std::runtime_error("the key cannot be written");
        }

        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("no pipe");
        server = Spawn(
            {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
            "/");
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) throw std::runtime_error("Xvfb did not start");
        setenv("DISPLAY", (":" + number).c_str(), 1);

        std::vector<double> throughStartel, direct;
        for (int i = 0; i < runs; ++i) {
            auto start = std::chrono::steady_clock::now();
            const pid_t startel = Spawn({(folder / "Startel").string()}, folder);
            const double viaStartel = UntilShown(start);
            waitpid(startel, nullptr, 0);
            EndLendar();
            start = std::chrono::steady_clock::now();
            const pid_t lendar = Spawn({(folder / "Lendar").string()}, folder);
            const double alone = UntilShown(start);
            EndLendar();
            waitpid(lendar, nullptr, 0);
            if (viaStartel < 0 || alone < 0) throw std::runtime_error("Lendar's main window did not appear");
            throughStartel.push_back(viaStartel);
            direct.push_back(alone);
        }
        Report("Startel's start to Lendar's shown main window", Median(throughStartel), 1000, Median(direct));
        std::printf("(%d runs each; the window is looked for every 5 ms with xdotool)\n", runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startel: %s\n", e.what());
        result = 1;
    }
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    if (keep) {
        std::printf("library left in %s\n", scratch->c_str());
    } else {
        std::error_code error;
        fs::remove_all(*scratch, error);
    }
    return result;
}
