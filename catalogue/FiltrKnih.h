#pragma once
// The extended book filter: up to seventeen criteria on the books, joined all by AND or all by
// OR, turned into the main window's books query. The main window also drives it unshown: its sort
// buttons press OK, its saved-filter pick loads a saved filter into it and presses OK. The window
// keeps its contents between uses and clears itself only when it is shown. Saved filters are
// files "<name>.flt" in Data/Filters below the program folder.

#include "catalogue/BookFilterText.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"
#include "platform/ui/RadioGroup.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TForm10 : public ui::TForm {
public:
    TForm10();

    static constexpr const char* kNoSavedFilter = "– – – Vyberte uložený filtr ze seznamu – – –";

    ui::TLabel Label23{this, "Uložené filtry"};
    ui::TComboBox ComboBox9{this, ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn7{this, "Vymazat uložený filtr"};

    ui::TLabel Label1{this, "Kód knihy"};
    ui::TComboBox ComboBox8{this};
    ui::TLabel Label2{this, "Název knihy"};
    ui::TComboBox ComboBox1{this};
    ui::TLabel Label3{this, "Autor knihy"};
    ui::TComboBox ComboBox2{this};
    ui::TLabel Label4{this, "Typ knihy"};
    ui::TComboBox ComboBox3{this};
    ui::TLabel Label5{this, "Umístění"};
    ui::TComboBox ComboBox4{this};
    ui::TLabel Label6{this, "Ilustrátor"};
    ui::TComboBox ComboBox5{this};
    ui::TLabel Label7{this, "Nakladatelství"};
    ui::TComboBox ComboBox6{this};
    ui::TLabel Label8{this, "Signatura"};
    ui::TComboBox ComboBox7{this};

    ui::TLabel Label13{this, "Klíčová slova"};
    ui::TEdit Edit1{this};
    ui::TLabel Label22{this, "( jednotlivá slova oddělujte mezerou )"};
    ui::TLabel Label9{this, "Cena"};
    ui::TLabel Label14{this, "od"};
    ui::TEdit Edit2{this};
    ui::TLabel Label15{this, "do"};
    ui::TEdit Edit3{this};
    ui::TLabel Label10{this, "Rok vydání"};
    ui::TLabel Label16{this, "od"};
    ui::TEdit Edit4{this};
    ui::TLabel Label17{this, "do"};
    ui::TEdit Edit5{this};
    ui::TLabel Label11{this, "Počet stran"};
    ui::TLabel Label18{this, "od"};
    ui::TEdit Edit6{this};
    ui::TLabel Label19{this, "do"};
    ui::TEdit Edit7{this};
    ui::TLabel Label12{this, "Vhodné od"};
    ui::TLabel Label20{this, "od"};
    ui::TEdit Edit8{this};
    ui::TLabel Label21{this, "do"};
    ui::TEdit Edit9{this};

    ui::TRadioGroup RadioGroup1{this, "Podmínka"};

    ui::TBitBtn BitBtn10{this, "Vymazat formulář"};
    ui::TBitBtn BitBtn9{this, "Uložit filtr jako..."};
    ui::TBitBtn BitBtn8{this, "Uložit filtr"};
    ui::TBitBtn BitBtn2{this, "OK"};
    ui::TButton Button1{this, "Storno"};

    // Exact-match flags of the eight pick lists; hidden, set only by a loaded saved filter.
    ui::TCheckBox CheckBox1{this, "Přesná shoda"};
    ui::TCheckBox CheckBox2{this, "Přesná shoda"};
    ui::TCheckBox CheckBox3{this, "Přesná shoda"};
    ui::TCheckBox CheckBox4{this, "Přesná shoda"};
    ui::TCheckBox CheckBox5{this, "Přesná shoda"};
    ui::TCheckBox CheckBox6{this, "Přesná shoda"};
    ui::TCheckBox CheckBox7{this, "Přesná shoda"};
    ui::TCheckBox CheckBox8{this, "Přesná shoda"};
    // Hidden work areas: the saved filter files' folder and list, the text of one file.
    ui::TDirectoryListBox DirectoryListBox1{this};
    ui::TFileListBox FileListBox1{this};
    ui::TRichEdit RichEdit1{this};

    // ---- Handlers. ----
    void FormShow(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);  // apply
    void BitBtn10Click(ui::TObject* Sender); // clear the form
    void Button1Click(ui::TObject* Sender);
    void ComboBox9Click(ui::TObject* Sender); // load the named saved filter
    void BitBtn8Click(ui::TObject* Sender);   // save
    void BitBtn9Click(ui::TObject* Sender);   // save as
    void BitBtn7Click(ui::TObject* Sender);   // delete the saved filter
    // The eight pick lists share their handlers.
    void PickListEnter(ui::TObject* Sender);
    void PickListChange(ui::TObject* Sender);
    void PickListExit(ui::TObject* Sender);
    // The eight range edits accept integers only.
    void RangeKeyDown(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void RangeKeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);

    // ---- What the main window uses. ----
    // The criteria, flags and condition mode as the form holds them; setting fills the form.
    catalogue::BookFilter Criteria() const;
    void SetCriteria(const catalogue::BookFilter& filter);
    // Empties the seventeen texts, switches the flags off and selects "all conditions".
    void ClearCriteria();
    // Fills `target` with the first item and the names of the saved filters, first item selected.
    // Raises when the folder cannot be listed.
    void ListSavedFilters(ui::TComboBox& target);
    std::filesystem::path FiltersFolder() const;

    std::array<ui::TComboBox*, 8> PickLists();
    std::array<ui::TEdit*, 9> Edits();
    std::array<ui::TCheckBox*, 8> ExactFlags();

private:
    void SetUpLayout(); // FiltrKnihLayout.cpp
    void FillPickLists();
    // Saving (FiltrKnihSoubory.cpp).
    void SaveUnder(const std::string& name, bool askWhenSelected);
    bool WriteFilter(const std::string& name);
    void RefillMainList();

    std::int32_t LastIntValue = 0;
    std::string SavedComboText;
    std::string WorkText;
    ui::TEnterChain enterChain_;
};

extern TForm10* Form10;
