#include "maintenance/ImportovatData.h"

#include "app/Hlavni.h"
#include "maintenance/BackupSet.h"
#include "platform/ui/Dialogs.h"

#include <filesystem>

TForm8* Form8 = nullptr;

namespace {

constexpr const char* kTitle = "Obnovení dat";

} // namespace

TForm8::TForm8()
    : TBackupSetWindow("Form8", kTitle, "Cesta obnovení", "Průběh obnovení:", 133, 100)
{
    PlaceBar(ProgressBar1, "ProgressBar1");
    DirectoryListBox1.Name = "DirectoryListBox1";
    DirectoryListBox1.Hide();
    FileListBox1.Name = "FileListBox1";
    FileListBox1.Hide();
    ListBox1.Name = "ListBox1";
    ListBox1.Hide();
    Edit2.Name = "Edit2";
    Edit2.Hide();

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm8::FormShow(ui::TObject*)
{
    ProgressBar1.SetPosition(0);
    Edit1.Clear();
    BitBtn2.Show();
    SetCaption(kTitle);
    Tag = 0;
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
    backup::RestoreOutcome outcome = backup::RestoreOutcome::Restored;
    try {
        // The lending page is refreshed over the restored tables while the old files are freed.
        outcome = backup::RestoreBackupSet(
            ProgramFolder(), folder, [this] { StepProgress(ProgressBar1); }, {}, [this] { RefreshMainWindow(); });
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
    ui::MessageBox(this, "Obnovení dat bylo úspěšně dokončeno.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}
