#include "app/Nastaveni.h"

#include "app/password/PasswordHash.h"
#include "app/password/RegistryValue.h"
#include "platform/sys/Registry.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"

#include <algorithm>
#include <optional>
#include <utility>

TForm14* Form14 = nullptr;

namespace {
const char* const kTitle = "Nastavení hesla";
} // namespace

TForm14::TForm14() : ui::TForm("Form14") {
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    Position = ui::TPosition::poDesktopCenter;

    // 275 x 196, wider when the captions need it in the screen font.
    CheckBox1.Name = "CheckBox1";
    Label1.Name = "Label1";
    Label2.Name = "Label2";
    Label3.Name = "Label3";
    Edit1.Name = "Edit1";
    Edit2.Name = "Edit2";
    Edit3.Name = "Edit3";
    const int labels = std::max({Label1.Width(), Label2.Width(), Label3.Width()});
    const int editLeft = std::max(120, 12 + labels + 10);
    const int group = std::max({259, editLeft + 127 + 12, CheckBox1.sizeHint().width() + 24});
    const int width = group + 16;
    SetClientSize(width, 196);
    GroupBox1.Name = "GroupBox1";
    GroupBox1.SetBounds(8, 8, group, 145);
    CheckBox1.SetBounds(12, 24, group - 24, CheckBox1.sizeHint().height());
    const int editWidth = group - 12 - editLeft;
    int top = 54;
    for (auto [label, edit] :
         {std::pair{&Label1, &Edit1}, std::pair{&Label2, &Edit2}, std::pair{&Label3, &Edit3}}) {
        edit->SetBounds(editLeft, top, editWidth, 23);
        label->SetLeft(12);
        label->SetTop(top + (23 - label->Height()) / 2);
        top += 30;
    }
    for (ui::TEdit* edit : {&Edit1, &Edit2, &Edit3})
        edit->SetPasswordChar('*');
    // The new password and its copy wait for the box to be ticked.
    Label2.SetEnabled(false);
    Label3.SetEnabled(false);
    Edit2.SetEnabled(false);
    Edit3.SetEnabled(false);
    BitBtn5.Name = "BitBtn5";
    BitBtn5.SetBounds(width - 165, 163, 75, 25);
    BitBtn6.Name = "BitBtn6";
    BitBtn6.SetBounds(width - 83, 163, 75, 25);
    SetTabOrder({&CheckBox1, &Edit1, &Edit2, &Edit3, &BitBtn5, &BitBtn6});

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    CheckBox1.OnClick = [this](ui::TObject* s) { CheckBox1Click(s); };
    CheckBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox1KeyUp(s, k, sh); };
    CheckBox1.OnKeyPress = [this](ui::TObject* s, char& k) { CheckBox1KeyPress(s, k); };
    Edit1.OnEnter = [this](ui::TObject* s) { Edit1Enter(s); };
    Edit1.OnExit = [this](ui::TObject* s) { Edit1Exit(s); };
    Edit2.OnEnter = [this](ui::TObject* s) { Edit2Enter(s); };
    Edit2.OnExit = [this](ui::TObject* s) { Edit2Exit(s); };
    Edit3.OnEnter = [this](ui::TObject* s) { Edit3Enter(s); };
    Edit3.OnExit = [this](ui::TObject* s) { Edit3Exit(s); };
    Edit1.OnKeyPress = [this](ui::TObject* s, char& k) { Edit1KeyPress(s, k); };
    Edit2.OnKeyPress = [this](ui::TObject* s, char& k) { Edit2KeyPress(s, k); };
    Edit3.OnKeyPress = [this](ui::TObject* s, char& k) { Edit3KeyPress(s, k); };
    BitBtn5.OnClick = [this](ui::TObject* s) { BitBtn5Click(s); };
    BitBtn6.OnClick = [this](ui::TObject* s) { BitBtn6Click(s); };
}

void TForm14::FormShow(ui::TObject*) {
    sys::RegistryKey key;
    // Reading is enough to show the state, also when the store is read-only.
    if (key.OpenForReading()) CheckBox1.SetChecked(key.ValueExists(password::kRegistryValue));
    Edit1.Clear();
    Edit2.Clear();
    Edit3.Clear();
    CheckBox1.SetFocus();
}

void TForm14::CheckBox1Click(ui::TObject*) {
    const bool on = CheckBox1.Checked();
    Label2.SetEnabled(on);
    Label3.SetEnabled(on);
    Edit2.SetEnabled(on);
    Edit3.SetEnabled(on);
}

void TForm14::CheckBox1KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState) {
    if (Key == ui::VK_PRIOR || Key == ui::VK_NEXT) CheckBox1.SetChecked(!CheckBox1.Checked());
}

void TForm14::CheckBox1KeyPress(ui::TObject*, char& Key) {
    if (Key == '\r') {
        Key = 0;
        Edit1.SetFocus();
    }
}

void TForm14::Edit1Enter(ui::TObject*) {
    ui::PaintFocused(Edit1);
}
void TForm14::Edit1Exit(ui::TObject*) {
    ui::PaintUnfocused(Edit1);
}
void TForm14::Edit2Enter(ui::TObject*) {
    ui::PaintFocused(Edit2);
}
void TForm14::Edit2Exit(ui::TObject*) {
    ui::PaintUnfocused(Edit2);
}
void TForm14::Edit3Enter(ui::TObject*) {
    ui::PaintFocused(Edit3);
}
void TForm14::Edit3Exit(ui::TObject*) {
    ui::PaintUnfocused(Edit3);
}

void TForm14::Edit1KeyPress(ui::TObject*, char& Key) {
    if (Key != '\r') return;
    Key = 0;
    if (Edit2.CanFocus())
        Edit2.SetFocus();
    else
        BitBtn5.SetFocus();
}

void TForm14::Edit2KeyPress(ui::TObject*, char& Key) {
    if (Key == '\r') {
        Key = 0;
        Edit3.SetFocus();
    }
}

void TForm14::Edit3KeyPress(ui::TObject*, char& Key) {
    if (Key == '\r') {
        Key = 0;
        BitBtn5.SetFocus();
    }
}

void TForm14::BitBtn5Click(ui::TObject*) {
    // The old password is checked against what is stored; when the store cannot even be read the
    // check cannot run, and nothing may be written.
    {
        sys::RegistryKey key;
        if (!key.OpenForReading()) {
            WriteFailed();
            return;
        }
        const auto stored = key.ReadString(password::kRegistryValue);
        if (stored && !password::Verify(*stored, Edit1.Text())) {
            Refuse("Zadali jste špatné staré heslo!", Edit1);
            return;
        }
    }
    const bool required = CheckBox1.Checked();
    if (required && Edit2.Text().empty()) {
        Refuse("Nezadali jste nové heslo!", Edit2);
        return;
    }
    if (required && Edit3.Text() != Edit2.Text()) {
        Refuse("Zadané heslo se neshoduje s kopií!", Edit3);
        return;
    }
    std::optional<std::string> hash;
    if (required && !(hash = password::Hash(Edit2.Text()))) {
        WriteFailed();
        return;
    }
    sys::RegistryKey key;
    if (!key.Open(true)) {
        WriteFailed();
        return;
    }
    const sys::Status written = required ? key.WriteString(password::kRegistryValue, *hash)
                                         : key.DeleteValue(password::kRegistryValue);
    if (!written) {
        WriteFailed();
        return;
    }
    Close();
}

void TForm14::BitBtn6Click(ui::TObject*) {
    Close();
}

void TForm14::Refuse(const std::string& text, ui::TEdit& field) {
    ui::MessageBox(this, text, kTitle, ui::MB_OK | ui::MB_ICONWARNING);
    field.SetFocus();
}

void TForm14::WriteFailed() {
    ui::MessageBox(this, "Nepodařilo se zapsat data do systémového registru!", kTitle,
                   ui::MB_OK | ui::MB_ICONERROR);
    Close();
}
