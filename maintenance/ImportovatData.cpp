#include "maintenance/ImportovatData.h"

#include "app/Hlavni.h"
#include "maintenance/BackupSet.h"
#include "maintenance/Hledat.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/ProgressCaption.h"

#include <QCoreApplication>

#include <filesystem>

TForm8* Form8 = nullptr;

namespace {

constexpr const char* kTitle = "Obnovení dat";

} // namespace

TForm8::TForm8()
    : ui::TForm("Form8")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(443, 133);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetBounds(8, 8, 200, 16);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(8, 26, 328, 24);
    BitBtn1.Name = "BitBtn1";
    BitBtn1.SetBounds(344, 24, 91, 28);
    Label2.Name = "Label2";
    Label2.SetBounds(8, 58, 200, 16);
    ProgressBar1.Name = "ProgressBar1";
    ProgressBar1.SetMax(100);
    ProgressBar1.SetBounds(8, 76, 427, 18);
    BitBtn4.Name = "BitBtn4";
    BitBtn4.SetBounds(8, 100, 91, 28);
    BitBtn2.Name = "BitBtn2";
    BitBtn2.SetBounds(246, 100, 91, 28);
    BitBtn3.Name = "BitBtn3";
    BitBtn3.SetBounds(344, 100, 91, 28);
    DirectoryListBox1.Name = "DirectoryListBox1";
    DirectoryListBox1.Hide();
    FileListBox1.Name = "FileListBox1";
    FileListBox1.Hide();
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

void TForm8::FormShow(ui::TObject*)
{
    ProgressBar1.SetPosition(0);
    Edit1.Clear();
    BitBtn2.Show();
    SetCaption(kTitle);
    Tag = 0;
}

void TForm8::BitBtn1Click(ui::TObject*)
{
    if (Form18 != nullptr)
        Form18->ShowModal();
}

void TForm8::BitBtn4Click(ui::TObject*)
{
    ui::Application.HelpJump("DATABAZE");
}

void TForm8::BitBtn3Click(ui::TObject*)
{
    Close();
}

void TForm8::Edit1Enter(ui::TObject*)
{
    ui::PaintFocused(Edit1);
}

void TForm8::Edit1Exit(ui::TObject*)
{
    ui::PaintUnfocused(Edit1);
}

void TForm8::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}

void TForm8::BitBtn2Click(ui::TObject*)
{
    const std::string folder = Edit1.Text();
    // A backup set is read from any drive.
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        ui::MessageBox(this, "Adresář " + folder + " neexistuje!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    if (!backup::MissingBackupFiles(folder).empty()) {
        ui::MessageBox(this, "Nebyly nalezeny potřebné soubory!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }

    BitBtn2.Hide();
    ProgressBar1.SetMax(2 * static_cast<int>(backup::kBackupSet.size()));
    ProgressBar1.SetPosition(0);
    const std::filesystem::path programFolder =
        Form1 != nullptr ? std::filesystem::path(Form1->Edit13.Text()) : std::filesystem::current_path();
    backup::RestoreOutcome outcome = backup::RestoreOutcome::Restored;
    try {
        outcome = backup::RestoreBackupSet(programFolder, folder, [this] {
            ProgressBar1.StepBy(1);
            ui::ShowProgressCaption(*this, kTitle, ProgressBar1);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const backup::ERestoreCancelled& e) {
        // A step failed: what was done is undone and the old tables are open again.
        RefreshMainWindow();
        ui::MessageBox(this, e.what(), kTitle, ui::MB_OK | ui::MB_ICONERROR);
        Tag = kRolledBack;
        Close();
        return;
    } catch (const std::exception& e) {
        // Refused before anything was touched.
        ProgressBar1.SetPosition(0);
        SetCaption(kTitle);
        BitBtn2.Show();
        ui::MessageBox(this, e.what(), kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    if (outcome == backup::RestoreOutcome::RolledBack) {
        RefreshMainWindow();
        ui::MessageBox(this, std::string(backup::kRestoreCancelled), kTitle, ui::MB_OK | ui::MB_ICONERROR);
        Tag = kRolledBack;
        Close();
        return;
    }
    FinishRestore();
}

void TForm8::RefreshMainWindow()
{
    if (Form1 == nullptr)
        return;
    Form1->TabbedNotebook1.SetPageIndex(0);
    Form1->Timer2Timer(nullptr);
}

void TForm8::FinishRestore()
{
    ProgressBar1.SetPosition(ProgressBar1.Max());
    SetCaption(std::string(kTitle) + " - 100% dokončeno");
    RefreshMainWindow();
    ui::MessageBox(this, "Obnovení dat bylo úspěšně dokončeno.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}
