#include "maintenance/ImportDatabaze.h"

#include "app/Hlavni.h"
#include "catalogue/KlicovaSlova.h"
#include "maintenance/transfer/TimeSlice.h"
#include "platform/sys/ProgramFolder.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace transfer;

TfrmImport* frmImport = nullptr;

namespace {

const char* const kTitle = "Import databáze";

fs::path ProgramFolder()
{
    if (Form1 != nullptr && !Form1->Edit13.Text().empty())
        return Form1->Edit13.Text();
    return sys::ProgramFolder();
}

} // namespace

TfrmImport::TfrmImport()
    : ui::TForm("frmImport")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(427, 245);
    Position = ui::TPosition::poDesktopCenter;

    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label1, "Label1"},   {&ComboBox1, "ComboBox1"},       {&CheckBox1, "CheckBox1"}, {&Label2, "Label2"},
        {&Edit1, "Edit1"},     {&Button1, "Button1"},           {&RadioGroup1, "RadioGroup1"},
        {&Label4, "Label4"},   {&Label3, "Label3"},             {&ProgressBar1, "ProgressBar1"},
        {&Button4, "Button4"}, {&Button3, "Button3"},           {&Button2, "Button2"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;
    OpenDialog1.Name = "OpenDialog1";
    Timer1.Name = "Timer1";
    Table1.Name = "Table1";
    Table1.Exclusive = true;
    Dbf1.Name = "Dbf1";

    Label1.SetBounds(12, 10, 200, 16);
    ComboBox1.SetBounds(12, 28, 200, 24);
    CheckBox1.SetBounds(226, 30, 190, 20);
    Label2.SetBounds(12, 60, 200, 16);
    Edit1.SetBounds(12, 78, 310, 24);
    Button1.SetBounds(330, 77, 85, 26);
    RadioGroup1.SetBounds(12, 108, 403, 56);
    Label4.SetFontSize(11);
    Label4.SetBounds(12, 167, 403, 14);
    Label3.SetBounds(12, 184, 200, 16);
    ProgressBar1.SetBounds(12, 202, 403, 12);
    Button4.SetBounds(12, 216, 85, 26);
    Button3.SetBounds(240, 216, 85, 26);
    Button2.SetBounds(330, 216, 85, 26);

    ComboBox1.SetItems({"< Vyberte databázi >", "Archiv výpůjček", "Číselníky", "Čtenáři", "Klíčová slova", "Knihy",
                        "Výpůjčky"});
    ComboBox1.SetItemIndex(0);
    RadioGroup1.SetItems({"DBF databáze*"});
    RadioGroup1.SetItemIndex(0);
    ProgressBar1.SetMax(100);
    Button2.Cancel = true;
    Timer1.SetEnabled(false);
    Timer1.SetInterval(1);
    OpenDialog1.DefaultExt = "*.dbf";
    OpenDialog1.Filter = "Databázové soubory (*.dbf)|*.dbf";
    OpenDialog1.FileMustExist = true;
    Dbf1.ReadOnly = true;

    ui::EnableFocusColors({&Edit1, &ComboBox1});
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject*, ui::TCloseAction&) {
        // Closing the window by its frame during an import stops the import as Storno does.
        if (Importing())
            AbortImport("Import databáze byl přerušen. Databáze zůstala beze změny.");
    };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    Button2.OnClick = [this](ui::TObject* s) { Button2Click(s); };
    Button3.OnClick = [this](ui::TObject* s) { Button3Click(s); };
    Timer1.OnTimer = [this](ui::TObject* s) { Timer1Timer(s); };
}

TfrmImport::~TfrmImport()
{
    Timer1.SetEnabled(false);
    transaction_.reset();
}

void TfrmImport::FormShow(ui::TObject*)
{
    ComboBox1.SetItemIndex(0);
    Edit1.Clear();
    CheckBox1.SetChecked(false);
    ProgressBar1.SetPosition(0);
    Button3.Show();
    SetCaption(kTitle);
}

void TfrmImport::Button1Click(ui::TObject*)
{
    if (OpenDialog1.Execute())
        Edit1.SetText(OpenDialog1.FileName);
}

void TfrmImport::Button2Click(ui::TObject*)
{
    if (Importing())
        AbortImport("Import databáze byl přerušen. Databáze zůstala beze změny.");
    Close();
}

void TfrmImport::Button3Click(ui::TObject*)
{
    if (Importing())
        return;
    const auto fail = [this](const std::string& message) {
        Dbf1.Close();
        ui::MessageBox(this, message, kTitle, ui::MB_OK | ui::MB_ICONERROR);
    };
    const int choice = ComboBox1.ItemIndex();
    if (choice <= kNoTable) {
        fail("Není vybrána žádná databáze k importu!");
        return;
    }
    source_ = Edit1.Text();
    std::error_code error;
    if (source_.empty() || !fs::is_regular_file(source_, error)) {
        fail("Zdrojový soubor neexistuje!");
        return;
    }
    const ImportItem& item = ImportItemOf(choice);

    // Everything that could stop the import is checked before anything is changed.
    Dbf1.Close();
    Dbf1.FileName = source_;
    Dbf1.ReadOnly = true;
    try {
        Dbf1.Open();
    } catch (const std::exception& e) {
        fail("Soubor " + source_ + " nelze číst jako databázi dBase (" + e.what() + "). Import nebyl proveden.");
        return;
    }
    std::string problem = CheckSource(Dbf1, source_, item);
    if (problem.empty())
        problem = CheckTemplates(ProgramFolder(), item);
    if (!problem.empty()) {
        fail(problem);
        return;
    }
    if (CheckBox1.Checked()) {
        const std::string failure = BackUp(ProgramFolder(), item);
        if (!failure.empty()) {
            fail("Zálohu databáze se nepodařilo vytvořit (" + failure + "). Import nebyl proveden.");
            return;
        }
    }
    if (ui::MessageBox(this,
                       "Importem databáze se smažou všechny původní záznamy databáze.\nChcete přesto pokračovat?",
                       kTitle, ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES) {
        Dbf1.Close();
        return;
    }

    item_ = choice;
    pass_ = 0;
    try {
        lookups_.Clear();
        newNumbers_.Clear();
        if (item_ == kLoans || item_ == kArchive)
            lookups_.Load();
        if (item_ == kBooks || item_ == kReaders) {
            const bool books = item_ == kBooks;
            data::TTable old;
            old.TableName = item.targets.front().table;
            old.ReadOnly = true;
            old.Open();
            newNumbers_.ReadOld(old, books ? "Kod" : "Jmeno");
            old.Close();
            if (books) {
                data::TTable loans;
                loans.TableName = "Výpůjčky.db";
                loans.ReadOnly = true;
                loans.Open();
                // A book whose code has an open loan is lent.
                const auto open = loans.ReadTexts({"CisloKnihy"}, "VracenoB='False'");
                for (const std::string& number : open[0])
                    if (!number.empty())
                        newNumbers_.Mark(std::stoll(number));
            }
        }
        CloseMainWindow();
        transaction_ = std::make_unique<data::TTransaction>();
        // Every table of the choice is emptied inside the transaction; the templates in Empty
        // were checked to have the same structure, so the emptied tables are what they hold.
        for (const ImportTarget& target : item.targets) {
            Table1.Close();
            Table1.TableName = target.table;
            Table1.Open();
            Table1.EmptyTable();
        }
        Table1.Close();
        Table1.TableName = item.targets.front().table;
        Table1.Open();
        BindFields();
        Dbf1.First();
    } catch (const std::exception&) {
        append_.reset();
        transaction_.reset();
        Table1.Close();
        RefreshMainWindow();
        fail("Nebyl nalezen soubor s databází!");
        return;
    }
    const int count = Dbf1.RecordCount();
    ProgressBar1.SetPosition(0);
    progress_ = 0;
    ProgressBar1.SetMax(item_ == kCodeLists ? count * 4 : count);
    Button3.Hide();
    Timer1.SetEnabled(true);
}

void TfrmImport::BindFields()
{
    fields_.clear();
    codeListColumn_ = nullptr;
    flag_ = flagKey_ = numberKey_ = readerNumber_ = bookNumber_ = returnedFlag_ = -1;
    readerName_ = bookCode_ = returned_ = nullptr;
    append_ = std::make_unique<data::TBulkAppend>(Table1);
    const ImportItem& item = ImportItemOf(item_);
    if (item_ == kCodeLists) {
        codeListColumn_ = &Dbf1.FieldByName(item.mapping.at(static_cast<std::size_t>(pass_)).second);
        fields_.emplace_back(append_->FieldIndex("Nazev"), codeListColumn_);
        return;
    }
    if (item_ == kReaders) {
        flag_ = append_->FieldIndex("Aktivni");
        flagKey_ = append_->FieldIndex("Stav");
        numberKey_ = append_->FieldIndex("Jmeno");
    } else if (item_ == kBooks) {
        flag_ = append_->FieldIndex("Pujceno");
        flagKey_ = append_->FieldIndex("Kod");
        numberKey_ = flagKey_;
    } else if (item_ == kLoans || item_ == kArchive) {
        readerNumber_ = append_->FieldIndex("CisloCtenare");
        bookNumber_ = append_->FieldIndex("CisloKnihy");
        readerName_ = &Dbf1.FieldByName("Ctenar");
        bookCode_ = &Dbf1.FieldByName("KodKnihy");
        if (item_ == kLoans) {
            returnedFlag_ = append_->FieldIndex("VracenoB");
            returned_ = &Dbf1.FieldByName("Vraceno");
        }
    }
    for (const auto& [target, column] : item.mapping) {
        // The loans table holds numbers in place of the names: they are looked up per record.
        if (item_ == kLoans && (target == "Ctenar" || target == "KodKnihy" || target == "Kniha"))
            continue;
        fields_.emplace_back(append_->FieldIndex(target), &Dbf1.FieldByName(column));
    }
}

bool TfrmImport::ImportRecord()
{
    if (Dbf1.Eof()) {
        if (item_ != kCodeLists || pass_ >= 3)
            return false;
        // The next code list takes the next column of the same file.
        ++pass_;
        append_.reset();
        Table1.Close();
        Table1.TableName = ImportItemOf(item_).targets.at(static_cast<std::size_t>(pass_)).table;
        Table1.Open();
        Dbf1.First();
        BindFields();
        return true;
    }
    CopyRecord();
    Dbf1.Next();
    ++progress_; // the bar moves once per tick
    return true;
}

void TfrmImport::CopyRecord()
{
    if (codeListColumn_ != nullptr) {
        // The lists differ in length: the shorter columns end in empty cells, which add nothing.
        codeListColumn_->GetAsString(value_);
        if (value_.empty())
            return;
    }
    for (const auto& [target, source] : fields_) {
        source->GetAsString(value_);
        append_->SetText(target, value_);
    }
    switch (item_) {
    case kLoans:
    case kArchive: {
        readerName_->GetAsString(reader_);
        bookCode_->GetAsString(code_);
        const auto readerNumber = lookups_.ReaderNumber(reader_);
        const auto bookNumber = lookups_.BookNumber(code_);
        if (item_ == kLoans) {
            // An empty name or code is a loan whose reader or book no longer exists; any other
            // must be found, or the loan would point at nobody.
            if (!reader_.empty() && !readerNumber)
                throw data::EDatabaseError("čtenář " + reader_ + " není v databázi čtenářů");
            if (!code_.empty() && !bookNumber)
                throw data::EDatabaseError("kniha s kódem " + code_ + " není v databázi knih");
            returned_->GetAsString(value_);
            append_->SetText(returnedFlag_, value_.empty() ? "False" : "True");
        }
        if (readerNumber)
            append_->SetInteger(readerNumber_, *readerNumber);
        if (bookNumber)
            append_->SetInteger(bookNumber_, *bookNumber);
        break;
    }
    case kReaders:
        append_->SetText(flag_, append_->Text(flagKey_) == "Aktivní" ? "True" : "False");
        break;
    case kBooks:
        append_->SetText(flag_, newNumbers_.Marked(append_->Text(flagKey_)) ? "True" : "False");
        break;
    default:
        break;
    }
    if (numberKey_ >= 0) {
        // The key as stored: the loans of the record it replaces follow it by that.
        key_.assign(append_->Text(numberKey_));
        const std::int64_t number = append_->Append();
        newNumbers_.Imported(key_, number);
        return;
    }
    append_->Append();
}

void TfrmImport::Timer1Timer(ui::TObject*)
{
    if (!Importing()) {
        Timer1.SetEnabled(false);
        return;
    }
    bool more = false;
    try {
        more = RunTimeSlice([this] { return ImportRecord(); });
    } catch (const std::exception& e) {
        const int record = Dbf1.Active() ? Dbf1.RecNo() : 0;
        AbortImport("Import databáze byl přerušen: záznam č. " + std::to_string(record) +
                    " zdrojového souboru nelze přenést (" + e.what() + "). Databáze zůstala beze změny.");
        return;
    }
    ProgressBar1.SetPosition(progress_);
    ui::ShowProgressCaption(*this, kTitle, ProgressBar1);
    if (!more) {
        Timer1.SetEnabled(false);
        FinishImport();
    }
}

void TfrmImport::RepointLoans()
{
    if (item_ != kBooks && item_ != kReaders)
        return;
    data::TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    loans.RenumberField(item_ == kBooks ? "CisloKnihy" : "CisloCtenare",
                        [this](std::int64_t old) { return newNumbers_.Of(old); });
    loans.Close();
}

void TfrmImport::AbortImport(const std::string& message)
{
    Timer1.SetEnabled(false);
    append_.reset();
    Table1.Close();
    Dbf1.Close();
    if (transaction_ != nullptr) {
        transaction_->Rollback();
        transaction_.reset();
    }
    lookups_.Clear();
    newNumbers_.Clear();
    RefreshMainWindow();
    Button3.Show();
    ProgressBar1.SetPosition(0);
    SetCaption(kTitle);
    ui::MessageBox(this, message, kTitle, ui::MB_OK | ui::MB_ICONERROR);
}

void TfrmImport::FinishImport()
{
    try {
        append_.reset();
        Table1.Close();
        Dbf1.Close();
        RepointLoans();
        transaction_->Commit();
        transaction_.reset();
    } catch (const std::exception& e) {
        AbortImport(std::string("Import databáze se nepodařilo dokončit (") + e.what() +
                    "). Databáze zůstala beze změny.");
        return;
    }
    lookups_.Clear();
    newNumbers_.Clear();
    RefreshMainWindow();
    ProgressBar1.SetPosition(ProgressBar1.Max());
    SetCaption(std::string(kTitle) + " - 100% dokončeno");
    ui::MessageBox(this, "Import databáze byl úspěšně dokončen.", kTitle, ui::MB_OK | ui::MB_ICONINFORMATION);
    Close();
}

std::vector<data::TDataSet*> TfrmImport::MainWindowDataSets() const
{
    if (Form1 == nullptr)
        return {};
    switch (item_) {
    case kArchive: return {&Form1->Query3};
    case kCodeLists: return {&Form1->Table4, &Form1->Table5, &Form1->Table6, &Form1->Table7};
    case kReaders: return {&Form1->Table3, &Form1->Table1, &Form1->Query2};
    case kBooks: return {&Form1->Table3, &Form1->Table2, &Form1->Query1};
    case kLoans: return {&Form1->Table3};
    case kKeywords:
        if (Form9 != nullptr)
            return {&Form9->Table1};
        return {};
    default: return {};
    }
}

void TfrmImport::CloseMainWindow()
{
    // The window is modal: the main window's lists over the table are closed while it is being
    // filled (so they do not re-read a growing table at every repaint) and reopened afterwards.
    closed_.clear();
    for (data::TDataSet* dataSet : MainWindowDataSets())
        if (dataSet->Active()) {
            dataSet->Close();
            closed_.push_back(dataSet);
        }
}

void TfrmImport::RefreshMainWindow()
{
    // Reopened in the reverse order of closing: the readers and books before the loans that look them up.
    for (auto it = closed_.rbegin(); it != closed_.rend(); ++it) {
        try {
            (*it)->Open();
        } catch (const std::exception&) {
            // A list that cannot be reopened stays closed; the page refresh tries again.
        }
    }
    closed_.clear();
}
