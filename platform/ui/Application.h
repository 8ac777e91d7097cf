#pragma once
// The application object (global ui::Application): title, main form, help file, message boxes in
// its name, the message loop and the default display of errors.
//
// Every event handler that Qt runs (a click, a typed key, a timer tick, a focus change) is called
// through RunHandler: an exception that escapes the handler is shown by HandleException in a
// message box and the program goes on. Handlers called directly from code (SetText running
// OnChange, Click() in code) let the exception reach their caller, as a nested call should.

#include "platform/ui/Types.h"

#include <exception>
#include <functional>
#include <string>

namespace ui {

class TForm;

class TApplication {
public:
    std::string Title;
    TForm* MainForm = nullptr; // closing it ends the program
    std::string HelpFile;      // path of the help document

    // A message box owned by the active window: text, title, MB_ flags; returns ID_ result.
    int MessageBox(const std::string& text, const std::string& caption, int flags);

    // Opens the help document at a topic (an anchor name such as "DATABAZE").
    void HelpJump(const std::string& topic);

    // Runs the message loop until Terminate(); returns at once when already terminated.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    // The default error display: the exception's message in a message box with the error icon
    // and the application's title. Replaceable through OnException.
    void HandleException(const std::exception& error);
    std::function<void(const std::exception&)> OnException;

    // Runs a handler at the boundary between Qt and the window code (see above).
    // Returns false when the handler failed (the error was shown).
    bool RunHandler(const std::function<void()>& handler);

    // Clears everything a previous test may have left: terminated flag, title, main form, help.
    void Reset();

private:
    bool terminated_ = false;
};

extern TApplication Application;

} // namespace ui
