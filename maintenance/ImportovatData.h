#pragma once
// Restore: the nine table files are replaced by a backup set from a folder of the librarian's
// choice (see BackupSet.h). Every backup file is checked before any table file is touched; the
// replacement is journalled and undone when the tables cannot be opened afterwards. Shown
// modally from the main window.

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ProgressBar.h"

class TForm8 : public ui::TForm {
public:
    TForm8();

    // Tag of the window after a restore that was rolled back.
    static constexpr int kRolledBack = 55;

    ui::TLabel Label1{this, "Cesta obnovení"};
    ui::TEdit Edit1{this};
    ui::TBitBtn BitBtn1{this, "Hledat..."};
    ui::TLabel Label2{this, "Průběh obnovení:"};
    // Steps done; the recomputation of days lent moves it too.
    ui::TProgressBar ProgressBar1{this};
    ui::TBitBtn BitBtn4{this, "Nápověda"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TBitBtn BitBtn3{this, "Storno"};
    // Hidden and unused.
    ui::TDirectoryListBox DirectoryListBox1{this};
    ui::TFileListBox FileListBox1{this};
    ui::TListBox ListBox1{this};
    ui::TEdit Edit2{this};

    void FormShow(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void Edit1Enter(ui::TObject* Sender);
    void Edit1Exit(ui::TObject* Sender);
    void FormKeyPress(ui::TObject* Sender, char& Key);

private:
    void FinishRestore();
    // The main window on its first page, its lending desk filled from the tables now in place.
    void RefreshMainWindow();
};

extern TForm8* Form8;
