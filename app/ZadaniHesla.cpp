#include "app/ZadaniHesla.h"

#include "app/Hlavni.h"
#include "app/NabihaciDialog.h"
#include "app/password/PasswordHash.h"
#include "app/password/RegistryValue.h"
#include "platform/sys/Registry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"

#include <QMetaObject>

#include <algorithm>

TForm15* Form15 = nullptr;

TForm15::TForm15() : ui::TForm("Form15") {
    SetCaption("Zadejte heslo");
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    Position = ui::TPosition::poDesktopCenter;

    // 249 x 91, wider when the prompt's text needs it in the screen font.
    Label1.Name = "Label1";
    Label1.SetLeft(8);
    Label1.SetTop(8);
    const int width = std::max(249, Label1.Width() + 16);
    SetClientSize(width, 91);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(8, 30, width - 16, 21);
    Edit1.SetPasswordChar('*');
    BitBtn1.Name = "BitBtn1";
    BitBtn1.SetBounds(width - 163, 59, 75, 25);
    BitBtn1.Default = true;
    BitBtn2.Name = "BitBtn2";
    BitBtn2.SetBounds(width - 83, 59, 75, 25);
    SetTabOrder({&Edit1, &BitBtn1, &BitBtn2});
    SetActiveControl(&Edit1);

    OnPaint = [this](ui::TObject* s) { FormPaint(s); };
    Edit1.OnEnter = [this](ui::TObject* s) { Edit1Enter(s); };
    Edit1.OnExit = [this](ui::TObject* s) { Edit1Exit(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm15::FormPaint(ui::TObject*) {
    if (accepted_ || acceptPending_) return;
    sys::RegistryKey key;
    // Only read here: a store that cannot be written must not lock out a program without password.
    if (!key.OpenForReading() || key.ValueExists(password::kRegistryValue)) return;
    // Bring up the main window right after this paint rather than inside it: its start-up may
    // show message boxes.
    acceptPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            acceptPending_ = false;
            ui::Application.RunHandler([this] { PasswordAccepted(); });
        },
        Qt::QueuedConnection);
}

void TForm15::Edit1Enter(ui::TObject*) {
    ui::PaintFocused(Edit1);
}

void TForm15::Edit1Exit(ui::TObject*) {
    ui::PaintUnfocused(Edit1);
}

void TForm15::BitBtn1Click(ui::TObject*) {
    sys::RegistryKey key;
    if (!key.OpenForReading())
        return; // the stored password cannot be read: the prompt stays, only Storno remains
    const auto stored = key.ReadString(password::kRegistryValue);
    if (stored && !password::Verify(*stored, Edit1.Text())) {
        ui::MessageBox(this, "Zadali jste špatné heslo!", "Zadání hesla", ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    PasswordAccepted();
}

void TForm15::BitBtn2Click(ui::TObject*) {
    Form13->Close();
    Close();
}

void TForm15::PasswordAccepted() {
    if (accepted_) return;
    accepted_ = true;
    Hide();
    Form13->Label1.Show();
    Form13->Panel1.Repaint();
    Form13->Label1.Repaint();
    Form1->Show();
}
