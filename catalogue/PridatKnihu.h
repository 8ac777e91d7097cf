#pragma once
// The book dialog: adds a book, edits one or shows one read-only. The mode is the caption:
// "Přidat knihu", "Upravit knihu" or "Info o knize". It works on the main window's books table
// (positioned on the book by the opener in edit and info mode) and its two code lists of book
// types and locations.

#include "platform/data/DataSet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"

#include <cstdint>
#include <optional>
#include <string>

class TForm4 : public ui::TForm {
public:
    TForm4();

    static constexpr const char* kAddCaption = "Přidat knihu";
    static constexpr const char* kEditCaption = "Upravit knihu";
    static constexpr const char* kInfoCaption = "Info o knize";
    // At most this many keywords per book.
    static constexpr int kMaxKeywords = 10;

    // Left column: what the book is.
    ui::TLabel Label1{this, "Kód knihy"};
    ui::TEdit Edit1{this};
    ui::TLabel Label2{this, "Název"};
    ui::TEdit Edit2{this};
    ui::TLabel Label3{this, "Autor"};
    ui::TEdit ComboBox4{this};
    ui::TLabel Label4{this, "Ilustrátor"};
    ui::TEdit ComboBox3{this};
    ui::TLabel Label5{this, "Nakladatelství"};
    ui::TEdit ComboBox5{this};
    ui::TLabel Label6{this, "Typ knihy"};
    ui::TComboBox ComboBox1{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn5{this};
    ui::TLabel Label7{this, "Umístění"};
    ui::TComboBox ComboBox2{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn6{this};
    ui::TLabel Label8{this, "Signatura"};
    ui::TEdit Edit7{this};

    // Middle column: numbers and the annotation.
    ui::TLabel Label9{this, "Pořizovací cena"};
    ui::TEdit Edit6{this};
    ui::TLabel Label10{this, "Kč"};
    ui::TLabel Label11{this, "Rok vydání"};
    ui::TEdit Edit3{this};
    ui::TLabel Label12{this, "Počet stran"};
    ui::TEdit Edit4{this};
    ui::TLabel Label13{this, "Vhodné od"};
    ui::TEdit Edit5{this};
    ui::TLabel Label14{this, "Anotace"};
    ui::TRichEdit Memo1{this};

    // Right column: keywords.
    ui::TLabel Label15{this, "Klíčová slova"};
    ui::TListBox ListBox1{this};
    ui::TBitBtn BitBtn3{this, "Přidat"};
    ui::TBitBtn BitBtn4{this, "Odebrat"};

    ui::TBitBtn BitBtn1{this, "OK"};
    ui::TBitBtn BitBtn2{this, "Storno"};

    // The texts of the two code-list boxes as last loaded or chosen; in info mode a box the user
    // types into gets its remembered text back.
    std::string SavedComboText1;
    std::string SavedComboText2;
    // The last valid number typed into any of the four number fields; kept for the whole run.
    std::int32_t LastIntValue = 0;

    // Puts the dialog into the read-only info state and sets its caption; the opener positions
    // the books table on the book first. Closing the dialog returns it to the add state.
    void SetInfoMode();

    void FormShow(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    void BitBtn4Click(ui::TObject* Sender);
    void BitBtn5Click(ui::TObject* Sender);
    void BitBtn6Click(ui::TObject* Sender);
    void Edit6Change(ui::TObject* Sender);
    void Edit6KeyDown(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit6KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit3KeyDown(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit3KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit4KeyDown(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit4KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit5KeyDown(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit5KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void ComboBox1Change(ui::TObject* Sender);
    void ComboBox2Change(ui::TObject* Sender);
    void Edit1Change(ui::TObject* Sender);
    void Edit2Change(ui::TObject* Sender);
    // Focus colours of the two code-list boxes, which follow them only in the add and edit state.
    void ComboBoxEnter(ui::TObject* Sender);
    void ComboBoxExit(ui::TObject* Sender);

private:
    void SetUpLayout(); // PridatKnihuLayout.cpp
    void SetUpHandlers();
    bool InfoMode() const { return Caption() == kInfoCaption; }
    void FillCodeList(ui::TComboBox& box, data::TDataSet& codes);
    void LoadBook();
    // Refusals of OK: each shows its message, marks or focuses the input and answers true.
    bool RefuseMissing();
    bool RefuseTooLong(const data::TDataSet& books);
    // Whether another book than `except` has this code, searched in the whole books table; leaves
    // the table's filtering off.
    bool CodeTaken(const std::string& code, std::optional<std::int64_t> except);
    void WriteBook(data::TDataSet& books, bool isNew);
    void SaveNew();
    void SaveEdited();
    void AddCode(ui::TComboBox& box, data::TDataSet& codes, const std::string& prompt);

    ui::TEnterChain enterChain_;
};

extern TForm4* Form4;
