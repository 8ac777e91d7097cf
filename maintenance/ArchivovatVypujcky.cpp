#include "maintenance/ArchivovatVypujcky.h"

#include "app/Hlavni.h"
#include "maintenance/ArchiveStore.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/ProgressCaption.h"

#include <algorithm>
#include <chrono>
#include <optional>

TForm5* Form5 = nullptr;

namespace {

const char* const kTitle = "Archivace výpůjček";

void ShowBadDate(const ui::TForm* owner)
{
    ui::MessageBox(owner, "Zadané datum nemá platný formát!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
}

} // namespace

TForm5::TForm5()
    : ui::TForm("Form5")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(428, 130);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetBounds(12, 16, 196, 16);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(212, 12, 100, 24);
    Edit1.SetEnabled(false);
    CheckBox1.Name = "CheckBox1";
    CheckBox1.SetBounds(326, 14, 90, 20);
    CheckBox1.SetChecked(true);
    Label3.Name = "Label3";
    Label3.SetBounds(12, 46, 160, 16);
    CGauge1.Name = "CGauge1";
    CGauge1.SetMax(100);
    CGauge1.SetBounds(12, 64, 404, 20);
    BitBtn4.Name = "BitBtn4";
    BitBtn4.SetBounds(12, 94, 92, 28);
    BitBtn2.Name = "BitBtn2";
    BitBtn2.SetBounds(228, 94, 90, 28);
    BitBtn3.Name = "BitBtn3";
    BitBtn3.SetBounds(326, 94, 90, 28);
    SetTabOrder({&Edit1, &CheckBox1, &BitBtn4, &BitBtn2, &BitBtn3});

    Table2.Name = "Table2";
    Table2.TableName = "VýpůjčkyArchiv.db";
    Table2.Exclusive = true;
    Timer1.Name = "Timer1";
    Timer1.SetEnabled(false);
    Timer1.SetInterval(1);

    ui::EnableFocusColors({&Edit1});
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };
    OnKeyPress = [this](ui::TObject* s, char& k) { FormKeyPress(s, k); };
    CheckBox1.OnClick = [this](ui::TObject* s) { CheckBox1Click(s); };
    CheckBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox1KeyUp(s, k, sh); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    Timer1.OnTimer = [this](ui::TObject* s) { Timer1Timer(s); };
}

TForm5::~TForm5()
{
    Timer1.SetEnabled(false);
    if (Form5 == this)
        Form5 = nullptr;
}

void TForm5::FormShow(ui::TObject*)
{
    // Today from the clock, not the program's current date.
    Edit1.SetText(sys::FormatShortDate(sys::Today()));
    SetCaption(kTitle);
    CheckBox1.SetChecked(false);
    CGauge1.SetPosition(0);
    BitBtn2.Show();
    if (!Table2.Active())
        Table2.Open();
}

void TForm5::CheckBox1Click(ui::TObject*)
{
    Edit1.SetEnabled(!CheckBox1.Checked());
}

void TForm5::CheckBox1KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    if (Key == ui::VK_PRIOR || Key == ui::VK_NEXT)
        CheckBox1.SetChecked(!CheckBox1.Checked());
}

void TForm5::BitBtn2Click(ui::TObject*)
{
    // The date is checked also when every loan is to go: a run never starts on a bad date.
    try {
        sys::StrToDate(Edit1.Text());
    } catch (const std::exception&) {
        ShowBadDate(this);
        return;
    }
    if (Form1 == nullptr || Running())
        return;

    // The names are looked up over the whole readers and books tables.
    Form1->Table1.SetFiltered(false);
    Form1->Table2.SetFiltered(false);
    Form1->Table3.SetFilter("VracenoB='True'");
    Form1->Table3.SetFiltered(true);

    loans_ = maintenance::ReturnedLoans();
    next_ = 0;
    archived_ = 0;
    batch_.Reset();
    CGauge1.SetMin(0);
    CGauge1.SetMax(static_cast<int>(loans_.size()));
    CGauge1.SetPosition(0);
    Form1->Table3.First();

    if (loans_.empty()) {
        ui::MessageBox(this, "Nebyly nalezeny žádné výpůjčky k archivaci!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    BitBtn2.Hide();
    Timer1.SetEnabled(true);
}

void TForm5::Timer1Timer(ui::TObject*)
{
    if (!Running())
        return;
    // The box and the date are read at every tick, so a change applies to the loans still to come.
    std::optional<data::TDateTime> upTo;
    if (!CheckBox1.Checked()) {
        try {
            upTo = sys::StrToDate(Edit1.Text());
        } catch (const std::exception&) {
            StopRun();
            ShowBadDate(this);
            return;
        }
    }
    try {
        // The batch is sized by the time of its work and of its commit, which is mostly the disk's.
        const auto start = std::chrono::steady_clock::now();
        std::chrono::steady_clock::duration work{};
        const std::size_t count = std::min(static_cast<std::size_t>(batch_.Next()), loans_.size() - next_);
        archived_ += maintenance::ArchiveLoans(loans_, next_, count, upTo, &work);
        next_ += count;
        batch_.Took(static_cast<int>(count), work, std::chrono::steady_clock::now() - start - work);
    } catch (...) {
        // The failed batch was rolled back whole; the run stops here and the error shows once.
        StopRun();
        throw;
    }
    CGauge1.SetPosition(static_cast<int>(next_));
    ui::ShowProgressCaption(*this, kTitle, CGauge1);
    if (next_ >= loans_.size()) {
        Timer1.SetEnabled(false);
        if (Form1 != nullptr) {
            Form1->Query3.Close();
            Form1->Query3.Open();
        }
        FinishArchiving();
    }
}

void TForm5::FinishArchiving()
{
    CGauge1.SetPosition(CGauge1.Max());
    SetCaption(std::string(kTitle) + " - 100% dokončeno");
    ui::MessageBox(this, "Archivace výpůjček byla úspěšně dokončena.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}

void TForm5::StopRun()
{
    Timer1.SetEnabled(false);
    BitBtn2.Show();
    if (Form1 != nullptr) {
        Form1->Query3.Close();
        Form1->Query3.Open();
    }
}

void TForm5::BitBtn3Click(ui::TObject*)
{
    Close();
}

void TForm5::BitBtn4Click(ui::TObject*)
{
    ui::Application.HelpJump("DATABAZE");
}

void TForm5::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key == '\r') {
        Key = 0;
        SelectNext(ActiveControl());
    }
}

void TForm5::FormClose(ui::TObject*, ui::TCloseAction&)
{
    // Closing stops a run under way; what was archived so far stays archived.
    if (Running())
        StopRun();
    if (Form1 == nullptr)
        return;
    Form1->Table1.SetFiltered(true);
    Form1->Table2.SetFiltered(true);
    // The loans pages show the open loans again.
    Form1->Table3.SetFiltered(false);
    Form1->Table3.SetFilter("VracenoB='False'");
    Form1->Table3.SetFiltered(true);
}
