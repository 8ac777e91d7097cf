#pragma once
// The dialog service: message boxes, the one-line input box, the file-open dialog, modal windows
// and the help viewer all go through one replaceable object, so tests can answer and record them
// (ScriptedDialogs) while the program uses real Qt dialogs with Czech buttons.

#include "platform/ui/Types.h"

#include <optional>
#include <string>

namespace ui {

class TForm;

// Message box flags and results, with the values window code knows them by.
enum : int {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONERROR = 0x10, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30, MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40, MB_ICONASTERISK = 0x40,
    MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
    MB_BUTTONMASK = 0x0F, MB_ICONMASK = 0xF0, MB_DEFMASK = 0xF00,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct MessageRequest {
    std::string Text;
    std::string Caption;
    int Flags = MB_OK;
    const TForm* Owner = nullptr; // nullptr: no owner window
    int Buttons() const { return Flags & MB_BUTTONMASK; }
    int Icon() const { return Flags & MB_ICONMASK; }
};

struct InputRequest {
    std::string Caption;
    std::string Prompt;
    std::string Default;
    bool Password = false; // typed characters shown as '*'
};

struct OpenFileRequest {
    std::string Title;
    std::string Filter;     // "Soubory CSV|*.CSV" (description|patterns pairs)
    std::string DefaultExt; // added when the typed name has no extension
    std::string InitialDir;
    std::string FileName;   // proposed name
    bool MustExist = false;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual int MessageBox(const MessageRequest& request) = 0;
    // The typed text, or nothing when cancelled.
    virtual std::optional<std::string> InputBox(const InputRequest& request) = 0;
    // The chosen file (full path), or nothing when cancelled.
    virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
    // Shows a window modally and returns its ModalResult.
    virtual TModalResult RunModal(TForm& form) = 0;
    // Shows the help document at a topic (anchor); false when the document cannot be shown.
    virtual bool ShowHelp(const std::string& file, const std::string& topic) = 0;
};

// The service in force: the one installed by SetDialogs, else the real Qt dialogs.
IDialogs& Dialogs();
// Installs a service (nullptr goes back to the real dialogs); returns the previous one.
IDialogs* SetDialogs(IDialogs* dialogs);

// The real dialogs: QMessageBox with "OK", "Ano", "Ne", "Storno"; QInputDialog; QFileDialog;
// the window's own modal loop; a help window over the HTML help document.
class QtDialogs : public IDialogs {
public:
    int MessageBox(const MessageRequest& request) override;
    std::optional<std::string> InputBox(const InputRequest& request) override;
    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    TModalResult RunModal(TForm& form) override;
    bool ShowHelp(const std::string& file, const std::string& topic) override;
};

// Conveniences for window code.
int MessageBox(const TForm* owner, const std::string& text, const std::string& caption, int flags);
// The one-line input box: true and value = typed text on OK; false and value unchanged on Cancel.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                bool password = false);
// The typed text, or defaultValue when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);

// A file-open dialog component: set the properties, Execute() asks, FileName holds the answer.
class TOpenDialog : public TObject {
public:
    std::string Name;
    std::string Title;
    std::string Filter;
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;
    bool FileMustExist = false;
    bool Execute(); // true when a file was chosen
};

} // namespace ui
