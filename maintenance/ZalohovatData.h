#pragma once
// Backup: the nine table files are copied into a folder of the librarian's choice, each under its
// backup name (see BackupSet.h). The folder must lie on a fixed disk; a missing one is made after
// asking. Shown modally from the main window.

#include "maintenance/BackupSetWindow.h"
#include "platform/ui/ListBox.h"

class TForm6 : public TBackupSetWindow {
public:
    TForm6();

    // Files done; the recomputation of days lent moves it too.
    ui::TProgressBar CGauge1{this};
    // Hidden and unused.
    ui::TListBox ListBox1{this};
    ui::TEdit Edit2{this};

    void FormShow(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);

private:
    void BackupTables(const std::string& folder);
    void FinishBackup();
};

extern TForm6* Form6;
