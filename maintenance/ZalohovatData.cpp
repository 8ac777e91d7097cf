#include "maintenance/ZalohovatData.h"

#include "maintenance/BackupSet.h"
#include "platform/sys/DriveType.h"
#include "platform/ui/Dialogs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

TForm6* Form6 = nullptr;

namespace {

constexpr const char* kTitle = "Záloha dat";

} // namespace

TForm6::TForm6()
    : TBackupSetWindow("Form6", kTitle, "Cesta zálohování", "Průběh zálohování", 135, 101)
{
    PlaceBar(CGauge1, "CGauge1");
    ListBox1.Name = "ListBox1";
    ListBox1.Hide();
    Edit2.Name = "Edit2";
    Edit2.Hide();

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm6::FormShow(ui::TObject*)
{
    CGauge1.SetPosition(0);
    Edit1.Clear();
    BitBtn2.Show();
    SetCaption(kTitle);
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
    try {
        backup::WriteBackupSet(ProgramFolder(), folder, [this] { StepProgress(CGauge1); });
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
