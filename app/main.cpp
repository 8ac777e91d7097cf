// Lendar: the lending library's main program.

#include "app/CreateWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

#include <QApplication>

#include <exception>
#include <stdexcept>

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    ui::Application.Title = "Orbelin Pernoka";
    ui::Application.HelpFile = "";
    QApplication::setApplicationName(QStringLiteral("Orbelin Pernoka"));

    int result = 0;
    try {
        CreateWindows();
        // The password prompt decides when the main window is shown; a library that could not be
        // opened has already ended the program.
        if (!ui::Application.Terminated() && ui::Application.MainForm != nullptr)
            ui::Application.MainForm->Show();
        ui::Application.Run();
    } catch (const std::exception& error) {
        ui::Application.HandleException(error);
        result = 1;
    } catch (...) {
        ui::Application.HandleException(std::runtime_error(""));
        result = 1;
    }
    DestroyWindows();
    return result;
}
