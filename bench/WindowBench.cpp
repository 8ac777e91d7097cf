#include "WindowBench.h"

#include "BenchSupport.h"

#include "app/CreateWindows.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Application.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <system_error>

namespace fs = std::filesystem;

namespace bench {

WindowBench::WindowBench(const std::string& name, int argc, char** argv, int defaultRuns)
    : runs(defaultRuns), name_(name)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ReadBenchOptions(argc, argv, size, keep_, [this](const std::string& option, int value) {
        if (option == "--runs")
            runs = std::max(1, value);
    });
    // bench_readers_page -> lendar-bench-readers-page-XXXXXX
    std::string prefix = "lendar-" + name + "-";
    std::replace(prefix.begin(), prefix.end(), '_', '-');
    const auto scratch = MakeScratchFolder(prefix);
    if (!scratch)
        return;
    folder_ = *scratch;
    setenv("LENDAR_REGISTRY", (folder_ / "registry.conf").c_str(), 1);

    qt_ = std::make_unique<QApplication>(argcQt_, argv);
    dialogs_.OnFailure = [](const std::string& what) { std::fprintf(stderr, "unexpected: %s\n", what.c_str()); };
    ui::Application.Title = "Orbelin Pernoka";
}

WindowBench::~WindowBench() = default;

int WindowBench::Run(const std::function<void(const fs::path& folder, ui::ScriptedDialogs& dialogs)>& body)
{
    if (folder_.empty())
        return 1;
    int result = 0;
    try {
        body(folder_, dialogs_);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name_.c_str(), e.what());
        result = 1;
    }
    DestroyWindows();
    fs::current_path("/");
    if (keep_) {
        std::printf("library left in %s\n", folder_.c_str());
    } else {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    return result;
}

double WindowBench::MakeLibrary(const fs::path& folder) const
{
    WriteEmptyTables(folder);
    const double ms = Millis([&] { GenerateLibrary(folder, size, sys::Today().days, [](const std::string&) {}); });
    fs::current_path(folder);
    return ms;
}

void WindowBench::WriteEmptyTables(const fs::path& folder) const
{
    bench::WriteEmptyTables(fs::path(LENDAR_SOURCE_DIR) / "install" / "tables", folder);
}

std::string WindowBench::SizeText() const
{
    return std::to_string(size.books) + " books, " + std::to_string(size.readers) + " readers, " +
           std::to_string(size.loans) + " loans (" + std::to_string(size.openLoans) + " open), " +
           std::to_string(size.archived) + " archived";
}

} // namespace bench
