#pragma once
// Backup: the nine table files are copied into a folder of the librarian's choice, each under its
// backup name (see BackupSet.h). The folder must lie on a fixed disk; a missing one is made after
// asking. Shown modally from the main window.

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ProgressBar.h"

class TForm6 : public ui::TForm {
public:
    TForm6();

    ui::TLabel Label1{this, "Cesta zálohování"};
    ui::TEdit Edit1{this};
    ui::TBitBtn BitBtn1{this, "Hledat..."};
    ui::TLabel Label2{this, "Průběh zálohování"};
    // Files done; the recomputation of days lent moves it too.
    ui::TProgressBar CGauge1{this};
    ui::TBitBtn BitBtn4{this, "Nápověda"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TBitBtn BitBtn3{this, "Storno"};
    // Hidden and unused.
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
    void BackupTables(const std::string& folder);
    void FinishBackup();
};

extern TForm6* Form6;
