#pragma once
// Text inputs. OnChange runs whenever the text changes, by typing or by code (SetText, Clear),
// and not when code sets the text it already holds.

#include "platform/ui/Control.h"

#include <QLineEdit>

#include <string>

namespace ui {

class TEdit : public QLineEdit, public TControl {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr);

    std::string Text() const;
    void SetText(const std::string& text);
    void Clear() { SetText(std::string()); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    // Typing limit in characters; 0 means no limit. Code may set a longer text.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int characters);
    // Shows every character as this one ('*' for passwords); 0 shows the text.
    void SetPasswordChar(char c);

    // Caret and selection, in characters.
    int SelStart() const;
    void SetSelStart(int position);
    int SelLength() const;
    void SetSelLength(int length);
    void SelectAll() { selectAll(); }

    TNotifyEvent OnChange;

protected:
    void ApplyColors() override;

private:
    int maxLength_ = 0;
};

} // namespace ui
