#pragma once
// Startel's only window. It is never shown: its creation handler records the program folder in the
// installation's key when missing, writes the database engine's settings into the profile file,
// checks the installation's file list, starts Lendar and ends the application.

#include "launcher/IniFile.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"

#include <memory>
#include <string>
#include <vector>

class TForm1 : public ui::TForm {
    Q_OBJECT
public:
    // Runs FormCreate, so the whole work is done when the constructor returns.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    ui::TMemo Memo1{this};
    std::unique_ptr<TIniFile> IniFile;

    void FormCreate(ui::TObject* Sender);

    // True when Lendar was started (the launcher's exit code reports it).
    bool Started() const { return started_; }

    // The value written under MaxTables: the engine's limit on open tables, like its neighbours.
    static constexpr const char* kMaxTables = "64";
    static constexpr const char* kEnds = " Aplikace Orbelin Pernoka bude nyní ukončena.";

private:
    bool started_ = false;
};

// The lines of a file list: split at line feeds, a carriage return before a line feed dropped, and
// a final line feed ending the last line rather than starting an empty one.
std::vector<std::string> SplitFileList(const std::string& content);

extern TForm1* Form1;
