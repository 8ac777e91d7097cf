#pragma once
// What the benchmarks of the program's windows share: their command line, a scratch folder for
// the registry file and the generated library, Qt offscreen with scripted dialogs, and the
// clean-up after the run (windows destroyed, the folder removed unless --keep).

#include "LibraryGenerator.h"

#include "platform/ui/ScriptedDialogs.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QApplication;

namespace bench {

class WindowBench {
public:
    // Reads --keep, --runs N and the size options, makes the scratch folder with the registry file
    // in it and starts Qt. `name` is the program's: it heads an error and names the folder.
    WindowBench(const std::string& name, int argc, char** argv, int defaultRuns = 1);
    ~WindowBench();
    WindowBench(const WindowBench&) = delete;
    WindowBench& operator=(const WindowBench&) = delete;

    // Runs `body` on the scratch folder and the dialogs (which print what they did not expect),
    // then destroys the windows and removes the folder unless --keep. Answers the exit code: 1 when
    // the folder could not be made or `body` threw (printed).
    int Run(const std::function<void(const std::filesystem::path& folder, ui::ScriptedDialogs& dialogs)>&
                body);

    // Writes the empty tables into `folder`, generates the library there and makes it the working
    // folder. Answers the milliseconds of the generation alone.
    double MakeLibrary(const std::filesystem::path& folder) const;
    // Writes the empty tables of install/tables into `folder`.
    void WriteEmptyTables(const std::filesystem::path& folder) const;
    // "3000 books, 500 readers, 4000 loans (300 open), 20000 archived", for the first line printed.
    std::string SizeText() const;

    LibrarySize size;
    int runs; // --runs N (at least 1), or the default given

private:
    std::string name_;
    bool keep_ = false;
    std::filesystem::path folder_; // empty when it could not be made
    int argcQt_ = 1;
    std::unique_ptr<QApplication> qt_;
    ui::ScriptedDialogs dialogs_; // declared after Qt, so destroyed before it
};

} // namespace bench
