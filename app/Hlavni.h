#pragma once
// The main window: tool bar, six tab pages over the library's tables, the lending desk, the
// current date and the main menu. Other windows reach its datasets and fields through the global
// instance Form1.

#include "app/PickListFill.h"
#include "app/SortButtons.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/data/Value.h"
#include "platform/ui/Ui.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TForm1 : public ui::TForm {
public:
    TForm1();
    ~TForm1() override;

    // ---- Datasets (declared before the data sources and controls that show them). ----
    data::TTable Table1; // readers, Čtenáři.db
    data::TTable Table2; // books, Knihy.DB
    data::TTable Table3; // loans, Výpůjčky.db, with looked-up reader and book
    data::TTable Table4; // reader categories, Číselníky.db
    data::TTable Table5; // school classes, Číselníky02.db
    data::TTable Table6; // book types, Číselníky03.db
    data::TTable Table7; // book locations, Číselníky04.db
    data::TQuery Query1; // books list
    data::TQuery Query2; // readers list
    data::TQuery Query3; // loan archive list

    ui::TDataSource DataSource1{&Query2};
    ui::TDataSource DataSource2{&Query1};
    ui::TDataSource DataSource3{&Table3};
    ui::TDataSource DataSource4{&Table4};
    ui::TDataSource DataSource5{&Table5};
    ui::TDataSource DataSource6{&Table6};
    ui::TDataSource DataSource7{&Query3};
    ui::TDataSource DataSource8{&Table7};

    // ---- Main menu. ----
    ui::TMainMenu MainMenu1{*this};
    ui::TMenuItem Soubor1{&MainMenu1.Items(), "Soubor"};
    ui::TMenuItem Zloha1{&Soubor1, "Záloha dat...", "Ctrl+Z"};
    ui::TMenuItem Import1{&Soubor1, "Obnovení dat...", "Ctrl+O"};
    ui::TMenuItem Archivovatvpjky1{&Soubor1, "Archivovat výpůjčky...", "Ctrl+A"};
    ui::TMenuItem N21{&Soubor1, "-"};
    ui::TMenuItem Export1{&Soubor1, "Export databáze...", "Ctrl+E"};
    ui::TMenuItem N22{&Soubor1, "-"};
    ui::TMenuItem Konec1{&Soubor1, "Konec", "Ctrl+X"};
    ui::TMenuItem Monosti1{&MainMenu1.Items(), "Možnosti"};
    ui::TMenuItem Nastavvenhesla1{&Monosti1, "Nastavení hesla...", "Ctrl+H"};
    ui::TMenuItem Databze1{&MainMenu1.Items(), "Databáze"};
    ui::TMenuItem Vpjky1{&Databze1, "Výpůjčky"};
    ui::TMenuItem Zobrazit1{&Vpjky1, "Zobrazit"};
    ui::TMenuItem Archivovatvpjky2{&Vpjky1, "Archivovat výpůjčky..."};
    ui::TMenuItem Knihy1{&Databze1, "Knihy"};
    ui::TMenuItem Zobrazit2{&Knihy1, "Zobrazit"};
    ui::TMenuItem Pidat1{&Knihy1, "Přidat..."};
    ui::TMenuItem Filtr2{&Knihy1, "Filtr..."};
    ui::TMenuItem teni1{&Databze1, "Čtenáři"};
    ui::TMenuItem Zobrazit3{&teni1, "Zobrazit"};
    ui::TMenuItem Pidat2{&teni1, "Přidat..."};
    ui::TMenuItem selnky1{&Databze1, "Číselníky"};
    ui::TMenuItem Zobrazit4{&selnky1, "Zobrazit"};
    ui::TMenuItem Klovslova1{&Databze1, "Klíčová slova"};
    ui::TMenuItem Zobrazit5{&Klovslova1, "Zobrazit"};
    ui::TMenuItem Archivvpjek1{&Databze1, "Archiv výpůjček"};
    ui::TMenuItem Zobrazit6{&Archivvpjek1, "Zobrazit"};
    ui::TMenuItem Filtr3{&Archivvpjek1, "Vyhledávání..."};
    ui::TMenuItem Vyprzdnitdatabzi1{&Archivvpjek1, "Vyprázdnit databázi"};
    ui::TMenuItem N23{&Databze1, "-"};
    ui::TMenuItem Vyprzdnitvechnydatabze1{&Databze1, "Vyprázdnit všechny databáze"};
    ui::TMenuItem Npovda1{&MainMenu1.Items(), "Nápověda"};
    ui::TMenuItem Obsah1{&Npovda1, "Obsah", "F1"};
    ui::TMenuItem N24{&Npovda1, "-"};
    ui::TMenuItem Orbelin1{&Npovda1, "Orbelin"};
    ui::TMenuItem Oaplikaci1{&Npovda1, "O aplikaci"};

    // ---- Tool bar. ----
    ui::TPanel Panel1{this};
    ui::TBitBtn BitBtn4{&Panel1, "Zálohovat data"};
    ui::TBitBtn BitBtn23{&Panel1, "Obnovit data"};
    ui::TBitBtn BitBtn29{&Panel1, "Nastavení hesla"};
    ui::TBitBtn BitBtn12{&Panel1, "Archivovat výpůjčky"};
    ui::TSpeedButton SpeedButton1{&Panel1, "Nápověda"};
    ui::TBitBtn BitBtn11{&Panel1, "Konec"};

    // The busy label lies beneath the tab set and shows while the tab set is hidden.
    ui::TLabel Label35{this, "Čekejte prosím..."};
    ui::TTabbedNotebook TabbedNotebook1{this, {"Půjčovat a vracet", "Knihy", "Čtenáři", "Přehled výpůjček",
                                               "Číselníky", "Archiv výpůjček"}};

    // Hidden fields other windows read: the program folder and two text scratch fields.
    ui::TEdit Edit13{this};
    ui::TEdit Edit3{this};
    ui::TEdit Edit14{this};
    ui::TTimer Timer2;
    ui::TTimer Timer3;

    // ---- Page 0: lending and returning. ----
    ui::TLabel Label1{TabbedNotebook1.Page(0), "Čtenář"};
    ui::TComboBox ComboBox1{TabbedNotebook1.Page(0)};
    ui::TBitBtn BitBtn9{TabbedNotebook1.Page(0)};
    // Hidden lists parallel to ComboBox1: reader number, class, note, category.
    ui::TComboBox ComboBox2{TabbedNotebook1.Page(0)};
    ui::TComboBox ComboBox3{TabbedNotebook1.Page(0)};
    ui::TComboBox ComboBox4{TabbedNotebook1.Page(0)};
    ui::TComboBox ComboBox5{TabbedNotebook1.Page(0)};
    ui::TLabel Label3{TabbedNotebook1.Page(0), "Třída"};
    ui::TLabel Label4{TabbedNotebook1.Page(0)};
    ui::TLabel Label5{TabbedNotebook1.Page(0)};
    ui::TLabel Label6{TabbedNotebook1.Page(0), "Kategorie"};
    ui::TLabel Label7{TabbedNotebook1.Page(0)};
    ui::TLabel Label2{TabbedNotebook1.Page(0), "Kód knihy"};
    ui::TEdit Edit1{TabbedNotebook1.Page(0)};
    ui::TLabel Label8{TabbedNotebook1.Page(0), "Název knihy"};
    ui::TComboBox cbKnihy{TabbedNotebook1.Page(0)};
    ui::TBitBtn BitBtn10{TabbedNotebook1.Page(0), "Půjčit"};
    ui::TDBGrid DBGrid3{TabbedNotebook1.Page(0), &DataSource3};
    ui::TButton Button2{TabbedNotebook1.Page(0), "Vrátit vybranou knihu"};
    ui::TLabel Label9{TabbedNotebook1.Page(0), "Aktuální datum:"};
    ui::TEdit Edit2{TabbedNotebook1.Page(0)};
    ui::TButton UpDown1{TabbedNotebook1.Page(0), "Změnit"};

    // ---- Page 1: books. ----
    ui::TLabel Label29{TabbedNotebook1.Page(1), "Rychlý filtr:"};
    ui::TEdit Edit5{TabbedNotebook1.Page(1)}; // quick filters on code, title, author, location
    ui::TEdit Edit6{TabbedNotebook1.Page(1)};
    ui::TEdit Edit7{TabbedNotebook1.Page(1)};
    ui::TEdit Edit9{TabbedNotebook1.Page(1)};
    ui::TComboBox ComboBox12{TabbedNotebook1.Page(1), ui::TComboBoxStyle::csDropDownList}; // state box
    ui::TDBGrid DBGrid2{TabbedNotebook1.Page(1), &DataSource2};
    // Sort buttons over the titles of the code, title, author and location columns.
    ui::TBitBtn BitBtn15{TabbedNotebook1.Page(1)};
    ui::TBitBtn BitBtn16{TabbedNotebook1.Page(1)};
    ui::TBitBtn BitBtn17{TabbedNotebook1.Page(1)};
    ui::TBitBtn BitBtn19{TabbedNotebook1.Page(1)};
    ui::TBitBtn BitBtn5{TabbedNotebook1.Page(1), "Přidat knihu"};
    ui::TBitBtn BitBtn6{TabbedNotebook1.Page(1), "Upravit knihu"};
    ui::TBitBtn BitBtn7{TabbedNotebook1.Page(1), "Odebrat knihu"};
    ui::TButton Button1{TabbedNotebook1.Page(1), "Vyřadit knihu"};
    ui::TLabel Label32{TabbedNotebook1.Page(1), "Filtry"};
    ui::TBitBtn BitBtn24{TabbedNotebook1.Page(1), "Rozšířený filtr"};
    ui::TBitBtn BitBtn26{TabbedNotebook1.Page(1), "Zrušit filtr"};
    ui::TComboBox ComboBox11{TabbedNotebook1.Page(1)}; // saved filters
    ui::TPopupMenu PopupMenu1;
    ui::TMenuItem Pidatknihu1{&PopupMenu1.Items(), "Přidat knihu", "Ctrl+Insert"};
    ui::TMenuItem Upravitknihu1{&PopupMenu1.Items(), "Upravit knihu", "Ctrl+O"};
    ui::TMenuItem Odebratknihu1{&PopupMenu1.Items(), "Odebrat knihu", "Ctrl+Delete"};
    ui::TMenuItem Vytvoitkopiizznamu1{&PopupMenu1.Items(), "Vytvořit kopii záznamu", "Ctrl+C"};
    ui::TMenuItem N1{&PopupMenu1.Items(), "-"};
    ui::TMenuItem Filtr1{&PopupMenu1.Items(), "Filtr...", "Ctrl+F"};
    ui::TGroupBox GroupBox2{TabbedNotebook1.Page(1), "Další údaje"};
    ui::TLabel Label40{&GroupBox2, "Typ"};
    ui::TDBEdit DBEdit12{&GroupBox2, &DataSource2, "Kategorie"};
    ui::TLabel Label41{&GroupBox2, "Ilustrátor"};
    ui::TDBEdit DBEdit4{&GroupBox2, &DataSource2, "Ilustrator"};
    ui::TLabel Label42{&GroupBox2, "Nakladatelství"};
    ui::TDBEdit DBEdit5{&GroupBox2, &DataSource2, "Nakladatelstvi"};
    ui::TLabel Label43{&GroupBox2, "Signatura"};
    ui::TDBEdit DBEdit6{&GroupBox2, &DataSource2, "Signatura"};
    ui::TLabel Label44{&GroupBox2, "Cena"};
    ui::TDBEdit DBEdit1{&GroupBox2, &DataSource2, "CenaX"};
    ui::TLabel Label45{&GroupBox2, "Rok vydání"};
    ui::TDBEdit DBEdit7{&GroupBox2, &DataSource2, "RokVydani"};
    ui::TLabel Label46{&GroupBox2, "Počet stran"};
    ui::TDBEdit DBEdit8{&GroupBox2, &DataSource2, "PocetStran"};
    ui::TLabel Label47{&GroupBox2, "Vhodné od"};
    ui::TDBEdit DBEdit9{&GroupBox2, &DataSource2, "VekOd"};
    ui::TLabel Label48{&GroupBox2, "Klíčová slova"};
    ui::TDBEdit DBEdit10{&GroupBox2, &DataSource2, "KlicovaSlova"};
    ui::TLabel Label49{&GroupBox2, "Anotace"};
    ui::TDBRichEdit DBRichEdit1{&GroupBox2, &DataSource2, "Anotace"};
    ui::TLabel Label50{&GroupBox2, "Vyřazeno dne"};
    ui::TDBEdit DBEdit11{&GroupBox2, &DataSource2, "VyrazenoDatum"};
    ui::TLabel Label51{&GroupBox2, "Poznámka k vyřazení"};
    ui::TDBMemo DBMemo1{&GroupBox2, &DataSource2, "VyrazenoText"};
    ui::TDBEdit DBEdit3{&GroupBox2, &DataSource2, "Pujceno"};

    // ---- Page 2: readers. ----
    ui::TLabel Label34{TabbedNotebook1.Page(2), "Rychlý filtr:"};
    ui::TEdit Edit10{TabbedNotebook1.Page(2)}; // quick filters on name, class, category
    ui::TEdit Edit11{TabbedNotebook1.Page(2)};
    ui::TEdit Edit12{TabbedNotebook1.Page(2)};
    ui::TCheckBox CheckBox8{TabbedNotebook1.Page(2), "Aktivní"};
    ui::TCheckBox CheckBox7{TabbedNotebook1.Page(2), "Neaktivní"};
    ui::TDBGrid DBGrid1{TabbedNotebook1.Page(2), &DataSource1};
    // Sort buttons over the titles of the name, class and category columns.
    ui::TBitBtn BitBtn20{TabbedNotebook1.Page(2)};
    ui::TBitBtn BitBtn21{TabbedNotebook1.Page(2)};
    ui::TBitBtn BitBtn22{TabbedNotebook1.Page(2)};
    ui::TBitBtn BitBtn1{TabbedNotebook1.Page(2), "Přidat čtenáře"};
    ui::TBitBtn BitBtn2{TabbedNotebook1.Page(2), "Upravit čtenáře"};
    ui::TBitBtn BitBtn3{TabbedNotebook1.Page(2), "Odebrat čtenáře"};
    ui::TBitBtn BitBtn18{TabbedNotebook1.Page(2), "Předchozí školní rok"};
    ui::TBitBtn BitBtn30{TabbedNotebook1.Page(2), "Další školní rok"};

    // ---- Page 3: loans overview (the same loans dataset as the lending desk). ----
    ui::TLabel Label10{TabbedNotebook1.Page(3), "Čtenář"};
    ui::TComboBox ComboBox6{TabbedNotebook1.Page(3)};
    ui::TLabel Label11{TabbedNotebook1.Page(3), "Kód knihy"};
    ui::TEdit Edit4{TabbedNotebook1.Page(3)};
    ui::TLabel Label12{TabbedNotebook1.Page(3), "Název knihy"};
    ui::TComboBox ComboBox7{TabbedNotebook1.Page(3)};
    ui::TGroupBox GroupBox1{TabbedNotebook1.Page(3), "Filtr"};
    ui::TCheckBox CheckBox3{&GroupBox1, "Pouze vrácené výpůjčky"};
    ui::TCheckBox CheckBox4{&GroupBox1, "Pouze nevrácené výpůjčky"};
    ui::TCheckBox CheckBox5{&GroupBox1, "Zobrazit pouze výpůjčky půjčené"};
    ui::TComboBox ComboBox8{&GroupBox1, ui::TComboBoxStyle::csDropDownList};
    ui::TLabel Label16{&GroupBox1, "než"};
    ui::TEdit Edit8{&GroupBox1};
    ui::TUpDown CSpinEdit1{&GroupBox1};
    ui::TLabel Label17{&GroupBox1, "dní"};
    ui::TDBGrid DBGrid4{TabbedNotebook1.Page(3), &DataSource3};
    // Hidden lists parallel to ComboBox6 and ComboBox7: reader numbers ("NIC" first) and book
    // numbers ("nic" first).
    ui::TComboBox ComboBox9{TabbedNotebook1.Page(3), ui::TComboBoxStyle::csDropDownList};
    ui::TComboBox ComboBox10{TabbedNotebook1.Page(3), ui::TComboBoxStyle::csDropDownList};
    ui::TBitBtn BitBtn13{TabbedNotebook1.Page(3), "Info o čtenáři"};
    ui::TBitBtn BitBtn14{TabbedNotebook1.Page(3), "Info o knize"};

    // ---- Page 4: code lists. ----
    ui::TLabel Label14{TabbedNotebook1.Page(4), "Kategorie čtenáře"};
    ui::TLabel Label15{TabbedNotebook1.Page(4), "Třída"};
    ui::TLabel Label18{TabbedNotebook1.Page(4), "Typ knihy"};
    ui::TLabel Label19{TabbedNotebook1.Page(4), "Umístění knihy"};
    ui::TDBGrid DBGrid5{TabbedNotebook1.Page(4), &DataSource4};
    ui::TDBNavigator DBNavigator1{TabbedNotebook1.Page(4), &DataSource4};
    ui::TDBGrid DBGrid6{TabbedNotebook1.Page(4), &DataSource5};
    ui::TDBNavigator DBNavigator2{TabbedNotebook1.Page(4), &DataSource5};
    ui::TDBGrid DBGrid7{TabbedNotebook1.Page(4), &DataSource6};
    ui::TDBNavigator DBNavigator3{TabbedNotebook1.Page(4), &DataSource6};
    ui::TDBGrid DBGrid9{TabbedNotebook1.Page(4), &DataSource8};
    ui::TDBNavigator DBNavigator5{TabbedNotebook1.Page(4), &DataSource8};

    // ---- Page 5: loan archive. ----
    ui::TLabel Label20{TabbedNotebook1.Page(5), "Při vyhledávání bylo nalezeno 0 záznamů."};
    ui::TRadioGroup RadioGroup1{TabbedNotebook1.Page(5), "Řazení"};
    ui::TCheckBox CheckBox6{TabbedNotebook1.Page(5), "Řadit inverzně"};
    ui::TDBGrid DBGrid8{TabbedNotebook1.Page(5), &DataSource7};
    ui::TDBNavigator DBNavigator4{TabbedNotebook1.Page(5), &DataSource7};
    ui::TBitBtn BitBtn8{TabbedNotebook1.Page(5), "Vyhledávání..."};

    // ---- State. ----
    data::TDateTime DaysDate{};  // the current date at the last recomputation of days lent
    std::string WorkText;        // text scratch
    // Sort states of the book and reader columns: 1 ascending, 0 descending, 2 not sorted.
    std::int16_t SortKod = 1, SortNazev = 2, SortAutor = 2, SortKategorie = 2, SortUmisteni = 2;
    std::int16_t SortJmeno = 1, SortTrida = 2, SortKategorieCtenare = 2;
    std::int32_t LastReaderIndex = 0; // last valid selection of the reader box
    // Set when a table or query could not be opened at start-up; the program is ending.
    bool OpenFailed = false;

    // ---- Start-up, pages, shut-down (Hlavni.cpp). ----
    void FormCreate(ui::TObject* Sender);
    void FormShow(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void FormKeyPress(ui::TObject* Sender, char& Key);
    void TabbedNotebook1Click(ui::TObject* Sender);
    void BitBtn11Click(ui::TObject* Sender);
    void SpeedButton1Click(ui::TObject* Sender);
    void Orbelin1Click(ui::TObject* Sender);
    void UpDown1Click(ui::TObject* Sender);
    void BitBtn29Click(ui::TObject* Sender);
    void SpeedButton11Click(ui::TObject* Sender);
    void Edit2Enter(ui::TObject* Sender);
    void Edit2Exit(ui::TObject* Sender);

    // ---- Page refresh and days lent (HlavniObnova.cpp). ----
    void Timer2Timer(ui::TObject* Sender);
    void Timer3Timer(ui::TObject* Sender);

    // ---- Books page: quick filter, state box, sorting (HlavniKnihy.cpp). ----
    // Rebuilds and reopens the books list under the books page's filter boxes.
    void Edit5Change(ui::TObject* Sender);
    void ComboBox12Change(ui::TObject* Sender);
    void BitBtn15Click(ui::TObject* Sender);
    void BitBtn16Click(ui::TObject* Sender);
    void BitBtn17Click(ui::TObject* Sender);
    void BitBtn19Click(ui::TObject* Sender);
    void DBGrid2TitleClick(ui::TObject* Sender, ui::TColumn& Column);
    // The books page's part of the page refresh, run when its tab is clicked.
    void RefreshBooksPage();
    // The book list's sort columns and the glyphs their buttons show.
    const app::SortButtons& BooksSort() const { return bookSort_; }

    // ---- Books page commands (HlavniKnihyPrikazy.cpp). ----
    void BitBtn5Click(ui::TObject* Sender);
    void BitBtn6Click(ui::TObject* Sender);
    void BitBtn7Click(ui::TObject* Sender);
    void Button1Click(ui::TObject* Sender);
    void DBEdit11Change(ui::TObject* Sender);
    void Vytvoitkopiizznamu1Click(ui::TObject* Sender);
    void Pidatknihu1Click(ui::TObject* Sender);
    void Upravitknihu1Click(ui::TObject* Sender);
    void Odebratknihu1Click(ui::TObject* Sender);
    void Pidat1Click(ui::TObject* Sender);

    // ---- Books page: extended and saved filters (HlavniKnihyFiltr.cpp). ----
    void BitBtn24Click(ui::TObject* Sender); // "Rozšířený filtr"
    void BitBtn26Click(ui::TObject* Sender); // "Zrušit filtr"
    void ComboBox11Click(ui::TObject* Sender);
    void Filtr1Click(ui::TObject* Sender);
    void Filtr2Click(ui::TObject* Sender);

    // ---- Lending desk (HlavniPujcovani.cpp). ----
    void ComboBox1Change(ui::TObject* Sender);
    void ComboBox1KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void Edit1Change(ui::TObject* Sender);
    void cbKnihyChange(ui::TObject* Sender);
    void BitBtn10Click(ui::TObject* Sender);
    void DBGrid3DblClick(ui::TObject* Sender);
    void Button2Click(ui::TObject* Sender);
    void BitBtn9Click(ui::TObject* Sender);

    // ---- Readers page (HlavniCtenari.cpp). ----
    // Rebuilds and reopens the readers list under the readers page's filter boxes.
    void Edit10Change(ui::TObject* Sender);
    void BitBtn20Click(ui::TObject* Sender);
    void BitBtn21Click(ui::TObject* Sender);
    void BitBtn22Click(ui::TObject* Sender);
    void CheckBox8Click(ui::TObject* Sender);
    void CheckBox7Click(ui::TObject* Sender);
    void CheckBox8KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void CheckBox7KeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    void BitBtn1Click(ui::TObject* Sender);
    void BitBtn2Click(ui::TObject* Sender);
    void BitBtn3Click(ui::TObject* Sender);
    // The readers page's part of the page refresh, run when its tab is clicked.
    void RefreshReadersPage();
    // The reader list's sort columns and the glyphs their buttons show.
    const app::SortButtons& ReadersSort() const { return readerSort_; }

    // ---- School-year roll-over (HlavniCtenariPrikazy.cpp). ----
    void BitBtn30Click(ui::TObject* Sender);
    void BitBtn18Click(ui::TObject* Sender);

    // ---- Backup and restore (HlavniZaloha.cpp). ----
    void BitBtn4Click(ui::TObject* Sender);
    void BitBtn23Click(ui::TObject* Sender);
    void Zloha1Click(ui::TObject* Sender);
    void Import1Click(ui::TObject* Sender);

    // ---- Menu (HlavniMenu.cpp). ----
    void Konec1Click(ui::TObject* Sender);
    void Nastavvenhesla1Click(ui::TObject* Sender);
    void Zobrazit1Click(ui::TObject* Sender);
    void Zobrazit2Click(ui::TObject* Sender);
    void Zobrazit3Click(ui::TObject* Sender);
    void Zobrazit4Click(ui::TObject* Sender);
    void Zobrazit5Click(ui::TObject* Sender);
    void Zobrazit6Click(ui::TObject* Sender);
    void Obsah1Click(ui::TObject* Sender);
    void Pidat2Click(ui::TObject* Sender);

    // ---- Archiving (HlavniArchivace.cpp). ----
    void BitBtn12Click(ui::TObject* Sender);
    void Archivovatvpjky1Click(ui::TObject* Sender);
    void Archivovatvpjky2Click(ui::TObject* Sender);

    // ---- Loans overview (HlavniPrehled.cpp). ----
    // Builds the loans filter from the overview's controls.
    void CSpinEdit1Changing(ui::TObject* Sender, bool& AllowChange);
    void CheckBox3Click(ui::TObject* Sender);
    void CheckBox4Click(ui::TObject* Sender);
    void CheckBox5Click(ui::TObject* Sender);
    void ComboBox8Change(ui::TObject* Sender);
    void ComboBox6Change(ui::TObject* Sender);
    void Edit4Change(ui::TObject* Sender);
    void ComboBox7Change(ui::TObject* Sender);
    void Edit8Change(ui::TObject* Sender);
    void BitBtn13Click(ui::TObject* Sender);
    void BitBtn14Click(ui::TObject* Sender);
    // Page Up / Page Down released on a check box inverts it.
    void CheckBoxKeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState Shift);
    // Refills the overview's pick lists and rebuilds the loans filter (the tab click's refresh).
    void RefreshOverviewPage();
    // Query2 over every reader by name, on the first one (the lending and overview pages' refresh).
    void ListAllReadersByName(); // HlavniObnova.cpp

    // ---- Code lists, loan archive and emptying (HlavniCiselniky.cpp). ----
    void DBNavigator1Click(ui::TObject* Sender, ui::TNavigateBtn Button);
    void RadioGroup1Click(ui::TObject* Sender);
    void BitBtn8Click(ui::TObject* Sender);
    void Filtr3Click(ui::TObject* Sender);
    void Vyprzdnitdatabzi1Click(ui::TObject* Sender);
    void Vyprzdnitvechnydatabze1Click(ui::TObject* Sender);

    // ---- Export and import of tables (HlavniPrenos.cpp). ----
    void Export1Click(ui::TObject* Sender);
    // Shows the dBase import modally; no button or menu item is bound to it.
    void Importdatabze1Click(ui::TObject* Sender);

private:
    // The day count of the overview: the day box's number, or the up-down's position when the
    // box holds no number of its range.
    int OverviewDays() const;
    // The book of the overview's code box: its title and number, or any book when none has it.
    void LookUpOverviewCode();
    // The overview's pick lists of names (in Czech order, "any" first) and the hidden lists of
    // their numbers, filled from the whole table unless they still hold its records.
    app::PickListFill overviewReaders_, overviewBooks_;
    void FillPickList(ui::TComboBox& visible, ui::TComboBox& hidden, const char* any, const char* none,
                      app::PickListFill& last, data::TTable& table, const char* nameField);
    // The desk's pick lists as last filled: the active readers (with their hidden lists) and the
    // titles that can be lent.
    app::PickListFill deskReaders_, deskTitles_;
    bool buildingLoansFilter_ = false; // the builder is running (its own changes do not re-enter)
    bool clearingCode_ = false;        // the title box clears the code box without a look-up
    data::TTable archive_;             // the loan archive's file, for emptying it
    void SetUpOverviewPage();  // controls and events of the overview (HlavniPrehledLayout.cpp)
    void SetUpCodeListPages(); // controls and events of the code lists and archive (HlavniCiselnikyLayout.cpp)

    // The books found by `filter` under the books list's current text, without moving the list
    // itself (which the books page shows); left open on the first of them.
    data::TDataSet& LookUpBooks(const std::string& filter);
    // The number of the reader the desk shows as chosen; none when the reader box's text is not
    // the selected reader's.
    std::optional<std::int64_t> SelectedReader() const;
    data::TQuery bookLookup_;

    void SetUpData();     // tables, queries, fields and grid columns (HlavniData.cpp)
    void SetUpLayout();   // positions and captions of the controls (HlavniLayout.cpp)
    void SetUpMenu();     // menu handlers (HlavniMenu.cpp)
    void SetUpHandlers(); // events of the controls (Hlavni.cpp)
    // Brings the lending desk back to rest after a failed command: tab set shown, books table
    // unfiltered, loans back to the open ones, focus on the code field.
    void RestoreDesk();
    // Books page (HlavniKnihy.cpp, HlavniKnihyLayout.cpp, HlavniKnihyPrikazy.cpp).
    void SetUpBooksLayout();
    void PlaceBooksColumnControls();
    void SetUpBooksPage();
    void SetUpBooksMenu(); // HlavniMenu.cpp
    void SetUpBooksFilters(); // HlavniKnihyFiltr.cpp
    // Fills ComboBox11 with the names of the saved filters (only its first item when the folder
    // cannot be listed).
    void ListSavedFilters();
    void SortBooks(std::size_t column, ui::TObject* Sender);
    void SetBooksStateFilter();
    // Puts Table2 on the highlighted book by its record number; false (after a warning titled
    // `title`) when the book is no longer there.
    bool PositionOnCurrentBook(const char* title);
    // The delete command of the books and readers pages (HlavniOdebrani.cpp): deletes the record
    // numbered `number` from `table` unless a loan, returned or not, names it in `loanField` (then
    // `refusal` is shown instead); "" deletes nothing. Afterwards the loans are back on the open
    // ones and the page's list is rebuilt through its quick-filter box, whatever happened; a
    // failure is shown then, never passed over.
    void DeleteUnlessLent(data::TTable& table, const std::string& number, const char* loanField,
                          const char* refusal, const char* refusalTitle, data::TQuery& list,
                          ui::TEdit& quickFilter, ui::TObject* Sender);
    app::SortButtons bookSort_;
    // Readers page (HlavniCtenari.cpp, HlavniCtenariLayout.cpp, HlavniCtenariPrikazy.cpp).
    void SetUpReadersLayout();
    void PlaceReadersColumnControls();
    void SetUpReadersPage();
    void SortReaders(std::size_t column, ui::TObject* Sender);
    void ActiveBoxClicked(ui::TCheckBox& clicked);
    // Runs a roll-over of Table1 with its filter off, then switches the filter on again and
    // reopens the readers list, whether the roll-over succeeded or not.
    void RollReaders(const std::function<void()>& rollOver);
    app::SortButtons readerSort_;
    // Sets up the progress bars that follow the recomputation of days lent.
    void DaysProgressStart(int count);
};

extern TForm1* Form1;
