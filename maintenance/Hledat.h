#pragma once
// The folder picker of backup and restore: a drive list over a folder list. "OK" writes the
// chosen folder into the folder boxes of both windows. One instance keeps its last drive and
// folder between showings; the first showing starts in the process's current folder.

#include "platform/ui/Button.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/Form.h"

class TForm18 : public ui::TForm {
public:
    TForm18();

    ui::TDirectoryListBox DirectoryListBox1{this};
    ui::TDriveComboBox DriveComboBox1{this};
    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    void FormShow(ui::TObject* Sender);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();
    bool shown_ = false;
};

extern TForm18* Form18;
