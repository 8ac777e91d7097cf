#pragma once
// A recording stand-in for the dialog service, for tests. Constructing one installs it; the
// destructor puts back the service that was in force, so nothing leaks into the next test.
//
// Every message box, input box, file dialog, modal window and help request is recorded. Answers
// come from queues filled by the test; a request with no answer queued (or a message that does
// not match the expected text) is a failure: OnFailure is called with a clear description, and a
// safe answer is given (OK for a plain message, No / Cancel for a question). Answers left unused
// when the object is destroyed are failures too. The default OnFailure prints the description and
// aborts; the GoogleTest adapter (tests/ui/DialogsScope.h) turns it into a test failure.

#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace ui {

class ScriptedDialogs : public IDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    struct Message {
        std::string Text;
        std::string Caption;
        int Flags = 0;
        std::string Owner; // the owner window's name, "" when none
        int Answer = 0;
        int Buttons() const { return Flags & MB_BUTTONMASK; }
        int Icon() const { return Flags & MB_ICONMASK; }
    };

    // Queues the answer to the next message box. With a text (and caption), the message must have
    // exactly that text (and caption), or it is a failure.
    void Answer(int result);
    void Expect(const std::string& text, int result = IDOK);
    void Expect(const std::string& text, const std::string& caption, int result = IDOK);
    const std::vector<Message>& Messages() const { return messages_; }
    const Message* LastMessage() const { return messages_.empty() ? nullptr : &messages_.back(); }

    // Queues the answer to the next input box.
    void AnswerInput(const std::string& text);
    void CancelInput();
    const std::vector<InputRequest>& Inputs() const { return inputs_; }

    // Queues the answer to the next file-open dialog.
    void AnswerOpenFile(const std::string& path);
    void CancelOpenFile();
    const std::vector<OpenFileRequest>& OpenFiles() const { return openFiles_; }

    // When the window named formName is shown modally: it is shown (OnShow runs), then action runs
    // on it; if the window has not set its ModalResult by then, it is closed with `result`.
    void ExpectModal(const std::string& formName, std::function<void(TForm&)> action = {},
                     TModalResult result = mrOk);
    template <class Form>
        requires std::is_base_of_v<TForm, Form>
    void ExpectModal(Form& form, std::function<void(Form&)> action, TModalResult result = mrOk)
    {
        ExpectModal(form.Name, [action](TForm& f) { if (action) action(static_cast<Form&>(f)); }, result);
    }
    // Names of the windows shown modally, in order.
    const std::vector<std::string>& ModalsShown() const { return modalsShown_; }

    struct HelpRequest {
        std::string File;
        std::string Topic;
    };
    const std::vector<HelpRequest>& HelpRequests() const { return helpRequests_; }
    bool HelpResult = true;

    // Failures seen so far, and a description of answers still queued.
    const std::vector<std::string>& Failures() const { return failures_; }
    std::string Unused() const;
    std::function<void(const std::string&)> OnFailure;

    int MessageBox(const MessageRequest& request) override;
    std::optional<std::string> InputBox(const InputRequest& request) override;
    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    TModalResult RunModal(TForm& form) override;
    bool ShowHelp(const std::string& file, const std::string& topic) override;

private:
    struct ExpectedMessage {
        std::optional<std::string> Text;
        std::optional<std::string> Caption;
        int Result = IDOK;
    };
    struct ExpectedModal {
        std::string FormName;
        std::function<void(TForm&)> Action;
        TModalResult Result = mrOk;
    };
    void Fail(const std::string& what);

    IDialogs* previous_;
    std::deque<ExpectedMessage> messageAnswers_;
    std::deque<std::optional<std::string>> inputAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<ExpectedModal> modalScripts_;
    std::vector<Message> messages_;
    std::vector<InputRequest> inputs_;
    std::vector<OpenFileRequest> openFiles_;
    std::vector<std::string> modalsShown_;
    std::vector<HelpRequest> helpRequests_;
    std::vector<std::string> failures_;
};

} // namespace ui
