#include "platform/ui/Application.h"

#include "platform/ui/Control.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QEventLoop>

#include <cstdio>
#include <stdexcept>

namespace ui {

TApplication Application;

namespace {
const TForm* ActiveForm()
{
    if (QApplication::instance() == nullptr)
        return nullptr;
    return dynamic_cast<const TForm*>(QApplication::activeWindow());
}
} // namespace

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags)
{
    detail::Parent(nullptr);
    return Dialogs().MessageBox({text, caption, flags, ActiveForm()});
}

void TApplication::HelpJump(const std::string& topic)
{
    detail::Parent(nullptr);
    Dialogs().ShowHelp(HelpFile, topic);
}

void TApplication::Run()
{
    detail::Parent(nullptr);
    if (terminated_)
        return;
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::exec();
}

void TApplication::Terminate()
{
    terminated_ = true;
    if (QApplication::instance() != nullptr)
        QApplication::quit();
}

void TApplication::ProcessMessages()
{
    if (QApplication::instance() != nullptr)
        QApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleException(const std::exception& error)
{
    try {
        if (OnException) {
            OnException(error);
            return;
        }
        MessageBox(error.what(), Title, MB_OK | MB_ICONERROR);
    } catch (const std::exception& inner) {
        // The error display itself failed: nothing is left to show it with.
        std::fprintf(stderr, "%s\n%s\n", error.what(), inner.what());
    } catch (...) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

bool TApplication::RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        HandleException(std::runtime_error(""));
    }
    return false;
}

void TApplication::Reset()
{
    terminated_ = false;
    Title.clear();
    MainForm = nullptr;
    HelpFile.clear();
    OnException = nullptr;
}

} // namespace ui
