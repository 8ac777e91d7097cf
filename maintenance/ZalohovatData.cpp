#include "maintenance/ZalohovatData.h"

#include "app/Hlavni.h"
#include "maintenance/BackupSet.h"
#include "maintenance/Hledat.h"
#include "platform/sys/DriveType.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/ProgressCaption.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

TForm6* Form6 = nullptr;

namespace {

constexpr const char* kTitle = "Záloha dat";

} // namespace

TForm6::TForm6()
    : ui::TForm("Form6")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(443, 135);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetBounds(8, 8, 200, 16);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(8, 26, 328, 24);
    BitBtn1.Name = "BitBtn1";
    BitBtn1.SetBounds(344, 24, 91, 28);
    Label2.Name = "Label2";
    Label2.SetBounds(8, 58, 200, 16);
    CGauge1.Name = "CGauge1";
    CGauge1.SetMax(100);
    CGauge1.SetBounds(8, 76, 427, 18);
    BitBtn4.Name = "BitBtn4";
    BitBtn4.SetBounds(8, 101, 91, 28);
    BitBtn2.Name = "BitBtn2";
    BitBtn2.SetBounds(246, 101, 91, 28);
    BitBtn3.Name = "BitBtn3";
    BitBtn3.SetBounds(344, 101, 91, 28);
    ListBox1.Name = "ListBox1";
    ListBox1.Hide();
    Edit2.Name = "Edit2";
    Edit2.Hide();
    SetTabOrder({&Edit1, &BitBtn1, &BitBtn4, &BitBtn2, &BitBtn3});

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnKeyPress = [this](ui::TObject* s, char& k) { FormKeyPress(s, k); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    Edit1.OnEnter = [this](ui::TObject* s) { Edit1Enter(s); };
    Edit1.OnExit = [this](ui::TObject* s) { Edit1Exit(s); };
}

void TForm6::FormShow(ui::TObject*)
{
    CGauge1.SetPosition(0);
    Edit1.Clear();
    BitBtn2.Show();
    SetCaption(kTitle);
}

void TForm6::BitBtn1Click(ui::TObject*)
{
    if (Form18 != nullptr)
        Form18->ShowModal();
}

void TForm6::BitBtn4Click(ui::TObject*)
{
    ui::Application.HelpJump("DATABAZE");
}

void TForm6::BitBtn3Click(ui::TObject*)
{
    Close();
}

void TForm6::Edit1Enter(ui::TObject*)
{
    ui::PaintFocused(Edit1);
}

void TForm6::Edit1Exit(ui::TObject*)
{
    ui::PaintUnfocused(Edit1);
}

void TForm6::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}

void TForm6::BitBtn2Click(ui::TObject*)
{
    const std::string folder = Edit1.Text();
    // Only a fixed disk takes a backup: a removable, network, optical or memory drive is refused.
    if (sys::DriveTypeOf(folder) != sys::DriveType::Fixed) {
        ui::MessageBox(this, "Zadaná cesta se nenachází na pevném disku!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        if (ui::MessageBox(this, "Adresář " + folder + " neexistuje.\nPřejete si jej vytvořit?", kTitle,
                           ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
            return;
        if (::mkdir(folder.c_str(), 0777) != 0) {
            ui::MessageBox(this, "Adresář " + folder + " se nepodařilo vytvořit: " + std::strerror(errno) + ".",
                           kTitle, ui::MB_OK | ui::MB_ICONERROR);
            return;
        }
    }
    BackupTables(folder);
}

void TForm6::BackupTables(const std::string& folder)
{
    BitBtn2.Hide();
    CGauge1.SetMax(static_cast<int>(backup::kBackupSet.size()));
    CGauge1.SetPosition(0);
    const std::filesystem::path programFolder =
        Form1 != nullptr ? std::filesystem::path(Form1->Edit13.Text()) : std::filesystem::current_path();
    try {
        backup::WriteBackupSet(programFolder, folder, [this] {
            CGauge1.StepBy(1);
            ui::ShowProgressCaption(*this, kTitle, CGauge1);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const std::exception& e) {
        // Nothing is reported as done: the old backup files (if any) stay as they were.
        CGauge1.SetPosition(0);
        SetCaption(kTitle);
        BitBtn2.Show();
        ui::MessageBox(this, e.what(), kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    FinishBackup();
}

void TForm6::FinishBackup()
{
    CGauge1.SetPosition(CGauge1.Max());
    SetCaption(std::string(kTitle) + " - 100% dokončeno");
    ui::MessageBox(this, "Záloha dat byla úspěšně dokončena.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}
