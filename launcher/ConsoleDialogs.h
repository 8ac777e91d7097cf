#pragma once
// A dialog service that writes every message box to standard error ("caption: text") and answers
// OK, for runs without anyone at the screen (LENDAR_MESSAGES=stderr).

#include "platform/ui/Dialogs.h"

class ConsoleDialogs : public ui::IDialogs {
public:
    int MessageBox(const ui::MessageRequest& request) override;
    std::optional<std::string> InputBox(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<std::string> OpenFile(const ui::OpenFileRequest&) override { return std::nullopt; }
    ui::TModalResult RunModal(ui::TForm&) override;
    bool ShowHelp(const std::string&, const std::string&) override { return false; }
};
