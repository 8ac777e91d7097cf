#pragma once
// Import of one of the library's tables from a dBase file: the table's records are replaced by
// the file's, many records per tick of the timer, with a progress bar and the percentage in the
// caption. The records are added through one prepared statement reused for all of them.
// Everything is written in one transaction, committed at the end, so a failure, Storno or a
// crash leaves the table as it was. The main window shows it modally from
// Importdatabze1Click, which no button or menu item runs.

#include "dbase/DBaseTable.h"
#include "maintenance/transfer/ImportPlan.h"
#include "maintenance/transfer/LookupTexts.h"
#include "maintenance/transfer/NewNumbers.h"
#include "platform/data/BulkAppend.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/ui/Ui.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TfrmImport : public ui::TForm {
public:
    TfrmImport();
    ~TfrmImport() override;

    ui::TLabel Label1{this, "Databáze k importu"};
    ui::TComboBox ComboBox1{this, ui::TComboBoxStyle::csDropDownList};
    ui::TCheckBox CheckBox1{this, "Zálohovat databázi"};
    ui::TLabel Label2{this, "Zdrojový soubor"};
    ui::TEdit Edit1{this};
    ui::TButton Button1{this, "Hledat..."};
    ui::TRadioGroup RadioGroup1{this, "Formát zdrojového souboru"};
    ui::TLabel Label4{this, "* Upozornění - databáze musí být v přesném formátu (viz. nápověda)."};
    ui::TLabel Label3{this, "Průběh importu"};
    ui::TProgressBar ProgressBar1{this};
    ui::TButton Button4{this, "Nápověda"};
    ui::TButton Button3{this, "OK"};
    ui::TButton Button2{this, "Storno"};
    ui::TOpenDialog OpenDialog1;
    ui::TTimer Timer1;
    data::TTable Table1;
    dbase::TDBaseTable Dbf1;

    void FormShow(ui::TObject* Sender);
    void Button3Click(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
    void Button2Click(ui::TObject* Sender);

    bool Importing() const { return transaction_ != nullptr; }

private:
    void FinishImport();
    // Ends a running import without keeping anything of it and shows why.
    void AbortImport(const std::string& message);
    // Copies one source record (or switches to the next code list); false when all is done.
    bool ImportRecord();
    void CopyRecord();
    // The fields of the current target table and the source columns they take.
    void BindFields();
    // Points the loans at the records the import gave new numbers (books by code, readers by name).
    void RepointLoans();
    // The main window's datasets over the chosen tables; closed during the import, reopened after.
    std::vector<data::TDataSet*> MainWindowDataSets() const;
    void CloseMainWindow();
    void RefreshMainWindow();
    std::vector<data::TDataSet*> closed_;

    std::unique_ptr<data::TTransaction> transaction_;
    int item_ = 0;
    std::int16_t pass_ = 0; // the code list being filled
    int progress_ = 0;
    std::string source_;
    std::unique_ptr<data::TBulkAppend> append_; // adds the records to the current target table
    std::vector<std::pair<int, data::TField*>> fields_; // target field (of append_), source column
    data::TField* codeListColumn_ = nullptr;
    // Readers: Aktivni from Stav; books: Pujceno from Kod (the target fields).
    int flag_ = -1;
    int flagKey_ = -1;
    int numberKey_ = -1; // the key the loans follow the new records by
    // Loans and archived loans: the reader's and book's numbers, found by name and code.
    int readerNumber_ = -1, bookNumber_ = -1, returnedFlag_ = -1;
    data::TField* readerName_ = nullptr;
    data::TField* bookCode_ = nullptr;
    data::TField* returned_ = nullptr;
    std::string value_, key_, reader_, code_;
    transfer::LookupTexts lookups_;
    // Books and readers: the loans follow the imported records to their new numbers (books by
    // code, readers by name); a book whose code had an open loan is lent.
    transfer::NewNumbers newNumbers_;
};

extern TfrmImport* frmImport;
