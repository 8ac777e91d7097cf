#pragma once
// What the backup and restore windows share: the folder box with "Hledat..." (the folder picker
// writes its folder into the box), help, "Storno", the focus colours of the box and Enter moving
// on, the progress shown after each file, and the program folder whose tables are copied.
// TForm6 and TForm8 add their progress bar, their "OK" handler and what they do when shown.

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"

#include <filesystem>
#include <string>

class TBackupSetWindow : public ui::TForm {
public:
    // `buttonsTop`: where the row of buttons lies (the two windows differ by a pixel).
    TBackupSetWindow(const std::string& name, std::string title, const std::string& folderLabel,
                     const std::string& progressLabel, int clientHeight, int buttonsTop);

    ui::TLabel Label1;
    ui::TEdit Edit1{this};
    ui::TBitBtn BitBtn1{this, "Hledat..."};
    ui::TLabel Label2;
    ui::TBitBtn BitBtn4{this, "Nápověda"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TBitBtn BitBtn3{this, "Storno"};

    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void Edit1Enter(ui::TObject* Sender);
    void Edit1Exit(ui::TObject* Sender);
    void FormKeyPress(ui::TObject* Sender, char& Key);

protected:
    // The folder of the program's tables: the main window's, or the current one without it.
    static std::filesystem::path ProgramFolder();
    // One file done: the bar moves on, the caption shows the percentage, the window is repainted
    // (user input waits until the work ends).
    void StepProgress(ui::TProgressBar& bar);
    // The bar under the folder box.
    static void PlaceBar(ui::TProgressBar& bar, const std::string& name);

private:
    std::string title_;
};
