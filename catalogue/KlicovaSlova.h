#pragma once
// The keyword list: the table of keywords, kept in place in a grid. In view mode (from the main
// menu) only "Zavřít" shows; in pick mode (from the book dialog) "OK" adds the current keyword to
// the book dialog's keyword list and "Storno" closes. Every close returns it to view mode.

#include "platform/data/Table.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DataSource.h"
#include "platform/ui/Form.h"

class TForm9 : public ui::TForm {
public:
    TForm9();

    // The keyword table, open from the creation of the window on (backup and restore close it and
    // open it again).
    data::TTable Table1;
    ui::TDataSource DataSource1{&Table1};
    ui::TDBNavigator DBNavigator1{this, &DataSource1};
    ui::TDBGrid DBGrid1{this, &DataSource1};
    ui::TBitBtn BitBtn3{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};
    ui::TBitBtn BitBtn1{this, "Zavřít"};

    // The two modes, set before the window is shown modally.
    void SetViewMode();
    void SetPickMode();

    void BitBtn3Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void FormCloseQuery(ui::TObject* Sender, bool& CanClose);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();
};

extern TForm9* Form9;
