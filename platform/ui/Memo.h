#pragma once
// Multi-line text inputs: TMemo and TRichEdit (plain text on screen; files are written as rich
// text and read back from rich or plain text). OnChange runs on every change, typed or by code.

#include "platform/ui/Control.h"

#include <QPlainTextEdit>

#include <filesystem>
#include <string>
#include <vector>

namespace ui {

class TCustomMemo : public QPlainTextEdit, public TControl {
    Q_OBJECT
public:
    explicit TCustomMemo(QWidget* parent = nullptr);

    // The whole text, lines joined by "\n".
    std::string Text() const;
    void SetText(const std::string& text);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    void AddLine(const std::string& line);
    void Clear() { SetText(std::string()); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    // Typing limit in characters; 0 means no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int characters) { maxLength_ = characters < 0 ? 0 : characters; }
    // With WantReturns Enter starts a new line; without it Enter goes to the default button.
    bool WantReturns = true;

    TNotifyEvent OnChange;

protected:
    bool WantsReturn() const override { return WantReturns; }
    void ApplyColors() override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void TextChangedByQt();
    int maxLength_ = 0;
    int inCodeChange_ = 0;
    QString lastText_;
};

class TMemo : public TCustomMemo {
    Q_OBJECT
public:
    using TCustomMemo::TCustomMemo;
};

// Raised when a file cannot be written or read; the message is Czech and names the file.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRichEdit : public TCustomMemo {
    Q_OBJECT
public:
    using TCustomMemo::TCustomMemo;
    // Writes the text as a rich-text document (replacing the file through a temporary file).
    void SaveToFile(const std::filesystem::path& path) const;
    // Reads a rich-text document's text, or the file as plain text when it is not rich text.
    void LoadFromFile(const std::filesystem::path& path);
};

} // namespace ui
