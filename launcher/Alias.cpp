#include "launcher/Alias.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/ProgramFolder.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <filesystem>
#include <optional>

TForm1* Form1 = nullptr;

namespace {

constexpr const char* kPath = "Path";

// A name that exists as a folder, or not at all, is no file of the installation.
bool IsFile(const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(name), ec);
}

// A failure's message as a sentence, to be followed by the closing words.
std::string Sentence(std::string text) {
    if (!text.empty() && text.back() != '.' && text.back() != '!' && text.back() != '?') text += '.';
    return text;
}

} // namespace

std::vector<std::string> SplitFileList(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (last) break;
        start = end + 1;
    }
    return lines;
}

TForm1::TForm1(QWidget* parent) : ui::TForm("Form1", parent) {
    IniFile = std::make_unique<TIniFile>();
    SetBorderStyle(ui::TFormBorderStyle::bsNone);
    SetCaption("Startel.exe");
    SetClientSize(115, 206);
    Memo1.Name = "Memo1";
    Memo1.SetVisible(false);
    FormCreate(this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(ui::TObject*) {
    const auto end = [this](const std::string& text, const std::string& caption) {
        ui::MessageBox(this, text, caption, ui::MB_OK | ui::MB_ICONERROR);
        ui::Application.Terminate();
    };

    sys::RegistryKey key;
    if (!key.Open(false)) {
        end("Nepodařilo se načíst data z registru. Aplikace Orbelin Pernoka bude nyní ukončena.", "Chyba");
        return;
    }
    // The program folder, as the key holds it at the moment of asking.
    const auto path = [&key] { return key.ReadString(kPath).value_or(std::string()); };

    if (!key.ValueExists(kPath)) {
        std::string folder;
        try {
            folder = sys::ProgramFolder();
        } catch (const std::exception& error) {
            end(std::string("Nelze zjistit složku programu: ") + error.what() + kEnds, "Chyba");
            return;
        }
        if (const sys::Status written = key.WriteString(kPath, folder); !written) {
            end(Sentence(written.message) + kEnds, "Chyba");
            return;
        }
    }

    // The engine's settings, in this order. A refused write ends the launcher: Lendar is not
    // started over settings that were not recorded.
    const std::string entries[][3] = {
        {"Borland Language Drivers", "LDPath", path()}, {"IDAPI", "DLLPath", path()},
        {"Paradox Engine", "UserName", "PxEngine"},     {"Paradox Engine", "NetNamePath", path()},
        {"Paradox Engine", "MaxTables", kMaxTables},    {"Paradox Engine", "RecBufs", "64"},
        {"Paradox Engine", "MaxLocks", "64"},           {"Paradox Engine", "MaxFiles", "64"},
        {"Paradox Engine", "SwapSize", "64"},
    };
    for (const auto& [section, name, value] : entries) {
        if (const sys::Status written = IniFile->WriteString(section, name, value); !written) {
            end("Nepodařilo se zapsat nastavení databázového stroje do souboru " +
                    IniFile->FileName().string() + ". " + Sentence(written.message) + kEnds,
                "Chyba");
            return;
        }
    }

    const std::string list = path() + "/FileList.txt";
    if (!IsFile(list)) {
        end("Soubor " + list + " nebyl nalezen." + kEnds, "Soubor nenalezen");
        return;
    }
    std::string content;
    if (const sys::Status read = sys::ReadWholeFile(list, content); !read) {
        end(Sentence(read.message) + kEnds, "Chyba");
        return;
    }
    const std::vector<std::string> lines = SplitFileList(content);
    Memo1.SetLines(lines);
    // Each line is joined to the folder as it stands; the first missing file ends the check.
    for (const std::string& line : lines) {
        const std::string name = path() + line;
        if (!IsFile(name)) {
            end("Soubor " + name + " nebyl nalezen." + kEnds, "Soubor nenalezen");
            return;
        }
    }

    // A relative folder is taken from here, as the checks above took it, not from inside itself.
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::absolute(path(), ec);
    if (const sys::Status run = sys::CurrentShell().StartProgram(folder.string() + "/Lendar", folder); !run) {
        end("Nepodařilo se spustit program Orbelin Pernoka. " + Sentence(run.message) + kEnds, "Chyba");
        return;
    }
    started_ = true;
    ui::Application.Terminate();
}
