#pragma once
// Export of one of the library's tables to a text file of semicolon-separated values, row by row
// on the timer with a progress bar and the percentage in the caption. Not modal: the main window
// shows it from its menu, and an export goes on while the window is hidden.

#include "maintenance/transfer/CsvFile.h"
#include "platform/data/Table.h"
#include "platform/ui/Ui.h"

#include <string>
#include <vector>

class TfrmExport : public ui::TForm {
public:
    TfrmExport();
    ~TfrmExport() override;

    ui::TLabel Label1{this, "Databáze k exportu"};
    ui::TComboBox ComboBox1{this, ui::TComboBoxStyle::csDropDownList};
    ui::TCheckBox CheckBox1{this, "Použít aktuální filtr"};
    ui::TLabel Label2{this, "Cílový soubor exportu"};
    ui::TEdit Edit2{this};
    ui::TButton Button1{this, "Hledat..."};
    ui::TRadioGroup RadioGroup1{this, "Formát cílového souboru"};
    ui::TLabel Label3{this, "Průběh exportu"};
    ui::TProgressBar ProgressBar1{this};
    ui::TButton Button2{this, "Nápověda"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TBitBtn BitBtn3{this, "Storno"};
    ui::TTimer Timer1;
    data::TTable Table1;
    ui::TOpenDialog OpenDialog1;

    void FormShow(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
    void Edit2Change(ui::TObject* Sender);
    void FormKeyPress(ui::TObject* Sender, char& Key);
    void Button2Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);

    // True while an export runs (its timer on, the target file open).
    bool Exporting() const { return Timer1.Enabled(); }

private:
    void FinishExport();
    // Stops a running export after a failure: the timer off, the unfinished file removed, the
    // message shown, OK offered again.
    void AbortExport(const std::string& message);
    // Writes the rows of one tick; false when the source is at its end.
    bool ExportRow();
    void AdvanceProgress(int step);
    void ShowProgress();
    std::vector<data::TDataSet*> SourceDataSets() const;

    transfer::CsvFile file_;   // the open target file
    std::string target_;       // its chosen path
    bool pickedInDialog_ = false;
    bool csv_ = true;
    bool useFilter_ = false;
    std::string line_;
    int progress_ = 0;
    std::string value_;
    int item_ = 0;
    data::TDataSet* source_ = nullptr;
    std::vector<std::string> fields_;
    std::vector<data::TField*> sourceFields_;
};

extern TfrmExport* frmExport;
