#include "platform/ui/ScriptedDialogs.h"

#include "platform/ui/Form.h"

#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

std::string Describe(const MessageRequest& request)
{
    return "\"" + request.Text + "\" (title \"" + request.Caption + "\")";
}

// The answer that does the least when nobody expected the question.
int SafeAnswer(int buttons)
{
    switch (buttons) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
    }
}

} // namespace

ScriptedDialogs::ScriptedDialogs() : previous_(SetDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs()
{
    SetDialogs(previous_);
    const std::string unused = Unused();
    if (!unused.empty())
        Fail("answers never asked for: " + unused);
}

void ScriptedDialogs::Fail(const std::string& what)
{
    failures_.push_back(what);
    if (OnFailure) {
        OnFailure(what);
        return;
    }
    std::fprintf(stderr, "ScriptedDialogs: %s\n", what.c_str());
    std::abort();
}

void ScriptedDialogs::Answer(int result)
{
    messageAnswers_.push_back({std::nullopt, std::nullopt, result});
}

void ScriptedDialogs::Expect(const std::string& text, int result)
{
    messageAnswers_.push_back({text, std::nullopt, result});
}

void ScriptedDialogs::Expect(const std::string& text, const std::string& caption, int result)
{
    messageAnswers_.push_back({text, caption, result});
}

void ScriptedDialogs::AnswerInput(const std::string& text) { inputAnswers_.emplace_back(text); }
void ScriptedDialogs::CancelInput() { inputAnswers_.emplace_back(std::nullopt); }
void ScriptedDialogs::AnswerOpenFile(const std::string& path) { fileAnswers_.emplace_back(path); }
void ScriptedDialogs::CancelOpenFile() { fileAnswers_.emplace_back(std::nullopt); }

void ScriptedDialogs::ExpectModal(const std::string& formName, std::function<void(TForm&)> action, TModalResult result)
{
    modalScripts_.push_back({formName, std::move(action), result});
}

std::string ScriptedDialogs::Unused() const
{
    std::string out;
    auto add = [&out](const std::string& s) { out += (out.empty() ? "" : "; ") + s; };
    for (const auto& m : messageAnswers_)
        add("message box" + (m.Text ? " \"" + *m.Text + "\"" : std::string()));
    for (const auto& i : inputAnswers_)
        add("input box " + (i ? "\"" + *i + "\"" : std::string("(cancel)")));
    for (const auto& f : fileAnswers_)
        add("file dialog " + (f ? "\"" + *f + "\"" : std::string("(cancel)")));
    for (const auto& m : modalScripts_)
        add("modal window " + m.FormName);
    return out;
}

int ScriptedDialogs::MessageBox(const MessageRequest& request)
{
    Message message{request.Text, request.Caption, request.Flags, request.Owner ? request.Owner->Name : std::string(), 0};
    if (messageAnswers_.empty()) {
        message.Answer = SafeAnswer(request.Buttons());
        messages_.push_back(message);
        Fail("unexpected message box " + Describe(request));
        return message.Answer;
    }
    ExpectedMessage expected = messageAnswers_.front();
    messageAnswers_.pop_front();
    if ((expected.Text && *expected.Text != request.Text) || (expected.Caption && *expected.Caption != request.Caption)) {
        message.Answer = SafeAnswer(request.Buttons());
        messages_.push_back(message);
        Fail("message box " + Describe(request) + " where \"" + expected.Text.value_or("") + "\"" +
             (expected.Caption ? " (title \"" + *expected.Caption + "\")" : std::string()) + " was expected");
        return message.Answer;
    }
    message.Answer = expected.Result;
    messages_.push_back(message);
    return expected.Result;
}

std::optional<std::string> ScriptedDialogs::InputBox(const InputRequest& request)
{
    inputs_.push_back(request);
    if (inputAnswers_.empty()) {
        Fail("unexpected input box \"" + request.Prompt + "\" (title \"" + request.Caption + "\")");
        return std::nullopt;
    }
    auto answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::OpenFile(const OpenFileRequest& request)
{
    openFiles_.push_back(request);
    if (fileAnswers_.empty()) {
        Fail("unexpected file dialog \"" + request.Title + "\"");
        return std::nullopt;
    }
    auto answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

TModalResult ScriptedDialogs::RunModal(TForm& form)
{
    modalsShown_.push_back(form.Name);
    auto it = modalScripts_.begin();
    while (it != modalScripts_.end() && it->FormName != form.Name)
        ++it;
    if (it == modalScripts_.end()) {
        Fail("unexpected modal window " + form.Name + " (\"" + form.Caption() + "\")");
        return mrCancel;
    }
    ExpectedModal script = std::move(*it);
    modalScripts_.erase(it);

    form.BeginModal();
    try {
        if (script.Action)
            script.Action(form);
    } catch (...) {
        // A direct call inside the script failed: close the window before the error goes on.
        if (form.Modal()) {
            form.SetModalResult(mrCancel);
            form.FinishModal();
        }
        throw;
    }
    if (!form.Modal()) // the script closed it completely already
        return form.ModalResult();
    if (form.ModalResult() == mrNone)
        form.SetModalResult(script.Result);
    if (!form.FinishModal())
        Fail("modal window " + form.Name + " refused to close");
    return form.ModalResult();
}

bool ScriptedDialogs::ShowHelp(const std::string& file, const std::string& topic)
{
    helpRequests_.push_back({file, topic});
    return HelpResult;
}

} // namespace ui
