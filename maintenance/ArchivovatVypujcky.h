#pragma once
// Archiving of returned loans: every returned loan, or those returned up to a day, moves from the
// loans table into the loan archive with the reader's name and the book's code and title it had.
// The run goes on timer ticks with a progress bar; each tick moves a batch of loans in one
// transaction, so a failure or a crash never loses a loan nor leaves it in both tables.

#include "platform/data/Table.h"
#include "platform/ui/BatchSize.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Timer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TForm5 : public ui::TForm {
public:
    TForm5();
    ~TForm5() override;

    ui::TLabel Label1{this, "Archivovat výpůjčky vrácené do:"};
    ui::TEdit Edit1{this};
    ui::TCheckBox CheckBox1{this, "Všechny"};
    ui::TLabel Label3{this, "Průběh archivace:"};
    ui::TProgressBar CGauge1{this};
    ui::TBitBtn BitBtn4{this, "Nápověda"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TBitBtn BitBtn3{this, "Storno"};
    // The loan archive, VýpůjčkyArchiv.db; closed until the window is first shown.
    data::TTable Table2;
    ui::TTimer Timer1;

    void FormShow(ui::TObject* Sender);
    void CheckBox1Click(ui::TObject* Sender);
    void CheckBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void BitBtn2Click(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void FormKeyPress(ui::TObject* Sender, char& Key);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);

    // Whether a run is under way (started by OK, not yet finished, failed or stopped).
    bool Running() const { return Timer1.Enabled(); }
    // Loans archived by the run under way or the last one.
    int Archived() const { return archived_; }

private:
    // Ends a finished run: full bar, 100 %, the success message, the window closed.
    void FinishArchiving();
    // Stops a run before its end (an error, or the window closed): the archive list shows what was
    // archived so far; OK is offered again.
    void StopRun();

    std::vector<std::int64_t> loans_; // the returned loans found when the run started
    std::size_t next_ = 0;            // the first loan not yet walked
    int archived_ = 0;
    ui::TBatchSize batch_;
};

extern TForm5* Form5;
