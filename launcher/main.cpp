// Startel: records the program folder when missing, writes the engine's settings, checks the
// installation's files and starts Lendar. Ends with 0 when Lendar was started, 1 otherwise.

#include "launcher/Alias.h"
#include "launcher/ConsoleDialogs.h"
#include "platform/ui/Application.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    ui::Application.Title = "Orbelin Pernoka 2.1 CZ";
    QApplication::setApplicationName(QStringLiteral("Orbelin Pernoka 2.1 CZ"));

    ConsoleDialogs console;
    if (const char* messages = std::getenv("LENDAR_MESSAGES");
        messages && std::strcmp(messages, "stderr") == 0)
        ui::SetDialogs(&console);

    bool started = false;
    try {
        Form1 = new TForm1;
        started = Form1->Started();
        ui::Application.Run();
    } catch (const std::exception& error) {
        ui::Application.HandleException(error);
    } catch (...) {
        ui::Application.HandleException(std::runtime_error(""));
    }
    delete Form1;
    Form1 = nullptr;
    ui::SetDialogs(nullptr);
    return started ? 0 : 1;
}
