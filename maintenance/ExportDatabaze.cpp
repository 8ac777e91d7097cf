#include "maintenance/ExportDatabaze.h"

#include "app/Hlavni.h"
#include "maintenance/transfer/LookupTexts.h"
#include "maintenance/transfer/TimeSlice.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TfrmExport* frmExport = nullptr;

namespace {

const char* const kTitle = "Export databáze";

enum Item { kNone, kArchive, kCodeLists, kReaders, kKeywords, kBooks, kLoans };

const char* const kLoanHeader = "Čtenář;Kód knihy;Název knihy;Půjčeno;Vráceno;Dnů;\n";

struct ItemInfo {
    const char* table;  // the table file Table1 reads without the filter
    const char* header;
    std::vector<std::string> fields;
};

const ItemInfo& Info(int item)
{
    static const std::vector<ItemInfo> items = {
        {"", "", {}},
        {"VýpůjčkyArchiv.db", kLoanHeader, {"Ctenar", "KodKnihy", "Kniha", "Pujceno", "Vraceno", "Dnu"}},
        {"", "Kategorie čtenářů;Třída;Typ knihy;Umístění knihy;\n", {"Nazev"}},
        {"Čtenáři.db", "Jméno;Třída;Kategorie;Poznámka;Stav;\n", {"Jmeno", "Trida", "Kategorie", "Poznamka", "Stav"}},
        {"KlicovaSlova.db", "Klíčové slovo;\n", {"Nazev"}},
        {"Knihy.db",
         "Kód knihy;Název knihy;Autor;Kategorie;Umístění;Cena;Signatura;Nakladatelství;Rok vydání;Počet stran;"
         "Ilustrátor;Vhodné od;Anotace;Klíčová slova;Vyřazeno dne;Poznámka k vyřazení;Stav;\n",
         {"Kod", "Nazev", "Autor", "Kategorie", "Umisteni", "CenaX", "Signatura", "Nakladatelstvi", "RokVydani",
          "PocetStran", "Ilustrator", "VekOd", "Anotace", "KlicovaSlova", "VyrazenoDatum", "VyrazenoText", "Vlastnosti"}},
        {"Výpůjčky.db", kLoanHeader, {"Ctenar", "KodKnihy", "Kniha", "Pujceno", "Vraceno", "Dnu"}},
    };
    return items.at(static_cast<std::size_t>(item));
}

// The loans table file holds the reader's and the book's numbers only: the names are looked up.
transfer::LookupTexts loanNames;

} // namespace

TfrmExport::TfrmExport()
    : ui::TForm("frmExport")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(427, 229);
    Position = ui::TPosition::poDesktopCenter;
    KeyPreview = true;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label1, "Label1"},   {&ComboBox1, "ComboBox1"},       {&CheckBox1, "CheckBox1"},
        {&Label2, "Label2"},   {&Edit2, "Edit2"},               {&Button1, "Button1"},
        {&RadioGroup1, "RadioGroup1"}, {&Label3, "Label3"},     {&ProgressBar1, "ProgressBar1"},
        {&Button2, "Button2"}, {&BitBtn2, "BitBtn2"},           {&BitBtn3, "BitBtn3"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;
    Timer1.Name = "Timer1";
    Table1.Name = "Table1";
    OpenDialog1.Name = "OpenDialog1";

    Label1.SetBounds(12, 10, 200, 16);
    ComboBox1.SetBounds(12, 28, 200, 24);
    CheckBox1.SetBounds(226, 30, 190, 20);
    Label2.SetBounds(12, 60, 200, 16);
    Edit2.SetBounds(12, 78, 310, 24);
    Button1.SetBounds(330, 77, 85, 26);
    RadioGroup1.SetBounds(12, 108, 403, 56);
    Label3.SetBounds(12, 168, 200, 16);
    ProgressBar1.SetBounds(12, 186, 403, 12);
    Button2.SetBounds(12, 200, 85, 26);
    BitBtn2.SetBounds(240, 200, 85, 26);
    BitBtn3.SetBounds(330, 200, 85, 26);

    ComboBox1.SetItems({"< Vyberte databázi >", "Archiv výpůjček", "Číselníky", "Čtenáři", "Klíčová slova", "Knihy",
                        "Výpůjčky"});
    ComboBox1.SetItemIndex(0);
    RadioGroup1.SetItems({"CSV (oddělený středníky)"});
    RadioGroup1.SetItemIndex(0);
    ProgressBar1.SetMax(100);
    BitBtn3.Cancel = true;
    Timer1.SetEnabled(false);
    Timer1.SetInterval(1);
    OpenDialog1.DefaultExt = "*.CSV";
    OpenDialog1.Filter = "Soubory CSV|*.CSV";
    OpenDialog1.Title = "Najít soubor";

    ui::EnableFocusColors({&Edit2, &ComboBox1});
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnKeyPress = [this](ui::TObject* s, char& key) { FormKeyPress(s, key); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    Button2.OnClick = [this](ui::TObject* s) { Button2Click(s); };
    Edit2.OnChange = [this](ui::TObject* s) { Edit2Change(s); };
    Timer1.OnTimer = [this](ui::TObject* s) { Timer1Timer(s); };
}

TfrmExport::~TfrmExport()
{
    Timer1.SetEnabled(false);
}

void TfrmExport::FormShow(ui::TObject*)
{
    // Showing the window while an export runs only brings it forward.
    if (Exporting()) {
        raise();
        activateWindow();
        return;
    }
    ComboBox1.SetItemIndex(0);
    Edit2.Clear();
    BitBtn2.Show();
    CheckBox1.SetChecked(false);
    ProgressBar1.SetPosition(0);
    SetCaption(kTitle);
}

void TfrmExport::Button1Click(ui::TObject*)
{
    if (!OpenDialog1.Execute())
        return;
    Edit2.SetText(OpenDialog1.FileName);
    pickedInDialog_ = true;
}

void TfrmExport::Edit2Change(ui::TObject*)
{
    pickedInDialog_ = false;
}

void TfrmExport::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    SelectNext(ActiveControl());
}

void TfrmExport::Button2Click(ui::TObject*)
{
    ui::Application.HelpJump("DATABAZE");
}

void TfrmExport::BitBtn3Click(ui::TObject*)
{
    // A running export goes on while the window is hidden.
    Close();
}

std::vector<data::TDataSet*> TfrmExport::SourceDataSets() const
{
    if (item_ == kCodeLists && Form1 != nullptr)
        return {&Form1->Table4, &Form1->Table5, &Form1->Table6, &Form1->Table7};
    if (source_ != nullptr)
        return {source_};
    return {};
}

void TfrmExport::BitBtn2Click(ui::TObject*)
{
    if (Exporting())
        return;
    const int item = ComboBox1.ItemIndex();
    if (item <= kNone) {
        ui::MessageBox(this, "Není vybrána žádná databáze k exportu!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    const std::string path = Edit2.Text();
    if (path.empty()) {
        ui::MessageBox(this, "Není zadán cílový soubor exportu!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    const fs::path target(path);
    std::error_code error;
    if (fs::exists(target, error) && !pickedInDialog_) {
        if (ui::MessageBox(this, "Soubor " + path + " již existuje.\nPřejete si jej přepsat?", kTitle,
                           ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2) != ui::IDYES)
            return;
    }
    // The existing file stays until the new one is complete: the export writes beside it first.
    try {
        if (fs::is_directory(target, error))
            throw transfer::ECsvWriteError("je to složka");
        const fs::path folder = target.parent_path();
        if (!folder.empty() && !fs::exists(folder, error) && !fs::create_directory(folder, error))
            throw transfer::ECsvWriteError(error ? error.message() : "složku nelze vytvořit");
        file_.Create(target);
    } catch (const transfer::ECsvWriteError& e) {
        ui::MessageBox(this, "Soubor " + path + " nelze vytvořit (" + e.what() + ").", kTitle,
                       ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    target_ = path;
    csv_ = RadioGroup1.ItemIndex() == 0;
    useFilter_ = CheckBox1.Checked();
    item_ = item;
    source_ = nullptr;
    fields_ = Info(item).fields;
    loanNames.Clear();

    const auto refuseEmpty = [this] {
        file_.Discard();
        ui::MessageBox(this, "Vybraná databáze neobsahuje žádný záznam!", "Databáze je prázdná",
                       ui::MB_OK | ui::MB_ICONWARNING);
    };
    int maximum = 0;
    try {
        if (item == kCodeLists) {
            for (data::TDataSet* list : SourceDataSets())
                maximum += list->RecordCount();
            if (maximum == 0) {
                refuseEmpty();
                return;
            }
            for (data::TDataSet* list : SourceDataSets())
                list->First();
        } else {
            if (useFilter_ && item != kKeywords && Form1 != nullptr) {
                data::TDataSet* sources[] = {nullptr, &Form1->Query3, nullptr, &Form1->Query2, nullptr,
                                             &Form1->Query1, &Form1->Table3};
                source_ = sources[item];
            } else {
                Table1.Close();
                Table1.TableName = Info(item).table;
                try {
                    Table1.Open();
                } catch (const std::exception&) {
                    file_.Discard();
                    ui::MessageBox(this, "Nebyl nalezen soubor s databází!", kTitle, ui::MB_OK | ui::MB_ICONERROR);
                    return;
                }
                source_ = &Table1;
                if (item == kLoans)
                    loanNames.Load();
            }
            maximum = source_->RecordCount();
            if (maximum == 0) {
                refuseEmpty();
                return;
            }
            source_->First();
            sourceFields_.clear();
            if (!(source_ == &Table1 && item == kLoans))
                for (const std::string& name : fields_)
                    sourceFields_.push_back(&source_->FieldByName(name));
        }
        file_.WriteLine(Info(item).header);
    } catch (...) {
        file_.Discard();
        throw;
    }
    ProgressBar1.SetMax(maximum);
    ProgressBar1.SetPosition(0);
    progress_ = 0;
    if (csv_) {
        BitBtn2.Hide();
        Timer1.SetEnabled(true);
    }
}

void TfrmExport::AdvanceProgress(int step)
{
    // The bar itself moves once per tick (ShowProgress).
    progress_ += step;
}

void TfrmExport::ShowProgress()
{
    ProgressBar1.SetPosition(progress_);
    ui::ShowProgressCaption(*this, kTitle, ProgressBar1);
}

bool TfrmExport::ExportRow()
{
    line_.clear();
    if (item_ == kCodeLists) {
        int values = 0;
        const auto lists = SourceDataSets();
        for (data::TDataSet* list : lists) {
            if (!list->Eof()) {
                list->FieldByName("Nazev").GetAsString(value_);
                ++values;
            } else {
                value_.clear();
            }
            transfer::AppendCsvValue(line_, value_);
        }
        if (values == 0)
            return false;
        line_ += '\n';
        file_.WriteLine(line_);
        for (data::TDataSet* list : lists)
            if (!list->Eof())
                list->Next();
        // Each value moves the bar by one, so the last row reaches the maximum exactly.
        AdvanceProgress(values);
        return true;
    }
    if (source_->Eof())
        return false;
    if (sourceFields_.empty()) {
        // Loans read from their table file: names looked up by the stored numbers.
        const std::string reader = Table1.FieldByName("CisloCtenare").AsString();
        const std::string book = Table1.FieldByName("CisloKnihy").AsString();
        transfer::AppendCsvValue(line_, loanNames.ReaderName(reader));
        transfer::AppendCsvValue(line_, loanNames.BookCode(book));
        transfer::AppendCsvValue(line_, loanNames.BookTitle(book));
        for (const char* name : {"Pujceno", "Vraceno", "Dnu"}) {
            Table1.FieldByName(name).GetAsString(value_);
            transfer::AppendCsvValue(line_, value_);
        }
    } else {
        for (data::TField* field : sourceFields_) {
            field->GetAsString(value_);
            transfer::AppendCsvValue(line_, value_);
        }
    }
    line_ += '\n';
    file_.WriteLine(line_);
    source_->Next();
    AdvanceProgress(1);
    return true;
}

void TfrmExport::Timer1Timer(ui::TObject*)
{
    if (!file_.IsOpen()) {
        Timer1.SetEnabled(false);
        return;
    }
    const auto dataSets = SourceDataSets();
    for (data::TDataSet* dataSet : dataSets)
        dataSet->DisableControls();
    bool more = false;
    std::string failure;
    try {
        more = transfer::RunTimeSlice([this] { return ExportRow(); });
    } catch (const std::exception& e) {
        failure = e.what();
    }
    for (data::TDataSet* dataSet : dataSets)
        dataSet->EnableControls();
    if (!failure.empty()) {
        AbortExport("Při zápisu do souboru " + target_ + " došlo k chybě (" + failure +
                    "). Export nebyl dokončen, soubor nebyl změněn.");
        return;
    }
    ShowProgress();
    if (!more) {
        Timer1.SetEnabled(false);
        FinishExport();
    }
}

void TfrmExport::AbortExport(const std::string& message)
{
    Timer1.SetEnabled(false);
    file_.Discard();
    loanNames.Clear();
    BitBtn2.Show();
    ProgressBar1.SetPosition(0);
    SetCaption(kTitle);
    ui::MessageBox(this, message, kTitle, ui::MB_OK | ui::MB_ICONERROR);
}

void TfrmExport::FinishExport()
{
    try {
        file_.Commit();
    } catch (const std::exception& e) {
        AbortExport("Při zápisu do souboru " + target_ + " došlo k chybě (" + e.what() +
                    "). Export nebyl dokončen, soubor nebyl změněn.");
        return;
    }
    loanNames.Clear();
    ProgressBar1.SetPosition(ProgressBar1.Max());
    SetCaption(std::string(kTitle) + " - 100% dokončeno");
    ui::MessageBox(this, "Export databáze byl úspěšně dokončen.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}
