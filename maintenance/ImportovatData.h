#pragma once
// Restore: the nine table files are replaced by a backup set from a folder of the librarian's
// choice (see BackupSet.h). Every backup file is checked before any table file is touched; the
// replacement is journalled and undone when the tables cannot be opened afterwards. Shown
// modally from the main window.

#include "maintenance/BackupSetWindow.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/ListBox.h"

class TForm8 : public TBackupSetWindow {
public:
    TForm8();

    // Tag of the window after a restore that was rolled back.
    static constexpr int kRolledBack = 55;

    // Steps done; the recomputation of days lent moves it too.
    ui::TProgressBar ProgressBar1{this};
    // Hidden and unused.
    ui::TDirectoryListBox DirectoryListBox1{this};
    ui::TFileListBox FileListBox1{this};
    ui::TListBox ListBox1{this};
    ui::TEdit Edit2{this};

    void FormShow(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);

private:
    void FinishRestore();
    // The main window on its first page, its lending desk filled from the tables now in place.
    void RefreshMainWindow();
};

extern TForm8* Form8;
