#include "launcher/ConsoleDialogs.h"

#include <iostream>

int ConsoleDialogs::MessageBox(const ui::MessageRequest& request) {
    std::cerr << request.Caption << ": " << request.Text << std::endl;
    switch (request.Buttons()) {
    case ui::MB_YESNO:
    case ui::MB_YESNOCANCEL:
        return ui::IDYES;
    case ui::MB_RETRYCANCEL:
        return ui::IDRETRY;
    case ui::MB_ABORTRETRYIGNORE:
        return ui::IDABORT;
    default:
        return ui::IDOK;
    }
}

ui::TModalResult ConsoleDialogs::RunModal(ui::TForm&) {
    return ui::mrCancel;
}
