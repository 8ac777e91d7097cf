// The CSV export window, driven as a librarian does: each table with and without the main
// window's filter, read back by python's csv module and compared value by value.

#include "TransferSupport.h"

#include "app/Hlavni.h"
#include "maintenance/ExportDatabaze.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
using namespace transfertest;
using apptest::AppendRow;

namespace {

const char* const kTitle = "Export databáze";

class ExportTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        target_ = (folder_ / "vystup" / "export.csv").string();
        fs::create_directories(folder_ / "vystup");
    }

    // Readers, books, loans (one returned), archive, keywords and code lists of 3, 5, 1 and 2.
    void FillLibrary()
    {
        const auto anna = AddReader("Nováková; Anna", true, "5.A", "Píše \"tužkou\"\na perem", "Žák");
        const auto petr = AddReader("Petr Ωmega", false, "9.B", "", "Učitel");
        const auto b1 = AppendRow("Knihy.DB", {{"Kod", "A1"},           {"Nazev", "Babička"},
                                               {"Autor", "Němcová"},    {"Kategorie", "Román"},
                                               {"Umisteni", "Sklad"},   {"Pujceno", "True"},
                                               {"CenaX", "125,5"},      {"Signatura", "S-1"},
                                               {"Nakladatelstvi", "Odeon"}, {"RokVydani", "1995"},
                                               {"PocetStran", "240"},   {"Ilustrator", "Aleš"},
                                               {"VekOd", "10"},         {"Anotace", "Řádek 1\r\nŘádek 2"},
                                               {"KlicovaSlova", "venkov,\"stará doba\""},
                                               {"VyrazenoDatum", ""},   {"VyrazenoText", ""},
                                               {"Vlastnosti", "Půjčená"}});
        const auto b2 = AddBook("B2", "Krysař; \"legenda\"");
        AddLoan(anna, b1, "1.9.2024");
        AddLoan(petr, b2, "2.8.2024", "12.8.2024", 10);
        for (const auto& [reader, book, code, title] :
             {std::tuple{"Nováková; Anna", "1", "A1", "Babička"}, std::tuple{"Petr Ωmega", "2", "B2", "Krysař"}})
            AppendRow("VýpůjčkyArchiv.db", {{"CisloCtenare", book}, {"Ctenar", reader}, {"CisloKnihy", book},
                                            {"KodKnihy", code}, {"Kniha", title}, {"Pujceno", "1.6.2024"},
                                            {"Vraceno", "20.6.2024"}, {"Dnu", "19"}});
        AppendRow("KlicovaSlova.DB", {{"Nazev", "dobrodružství"}});
        AppendRow("KlicovaSlova.DB", {{"Nazev", "a;b"}});
        for (const char* name : {"Žák", "Učitel", "Host"})
            AppendRow("Číselníky.db", {{"Nazev", name}});
        for (const char* name : {"1.A", "2.A", "3.A", "4.A", "5.A"})
            AppendRow("Číselníky02.db", {{"Nazev", name}});
        AppendRow("Číselníky03.db", {{"Nazev", "Román"}});
        for (const char* name : {"Sklad", "Regál 2"})
            AppendRow("Číselníky04.db", {{"Nazev", name}});
    }

    void OpenWindow()
    {
        Form1->Export1.Click();
        ASSERT_TRUE(frmExport->isVisible());
    }

    // Chooses the table and the file, presses OK and lets the timer run to the end.
    void Export(int item, bool filter, const std::string& path)
    {
        OpenWindow();
        frmExport->ComboBox1.SetItemIndex(item);
        frmExport->CheckBox1.SetChecked(filter);
        frmExport->Edit2.SetFocus();
        frmExport->Edit2.SetText(path);
        QTest::mouseClick(&frmExport->BitBtn2, Qt::LeftButton);
        ASSERT_TRUE(RunUntil([] { return !frmExport->Exporting(); }));
    }

    void ExpectDone() { dialogs_->Expect("Export databáze byl úspěšně dokončen.", kTitle); }

    std::string target_;
};

struct TableCase {
    int item;
    bool filter;
    Rows expected; // header included
};

class ExportTables : public ExportTest, public ::testing::WithParamInterface<TableCase> {};

const std::vector<std::string> kLoanHeader = {"Čtenář", "Kód knihy", "Název knihy", "Půjčeno", "Vráceno", "Dnů"};
const std::vector<std::string> kOpenLoan = {"Nováková; Anna", "A1", "Babička", "1.9.2024", "", "14"};
const std::vector<std::string> kReturnedLoan = {"Petr ?mega", "B2", "Krysař; \"legenda\"", "2.8.2024", "12.8.2024", "10"};
const Rows kArchive = {kLoanHeader,
                       {"Nováková; Anna", "A1", "Babička", "1.6.2024", "20.6.2024", "19"},
                       {"Petr ?mega", "B2", "Krysař", "1.6.2024", "20.6.2024", "19"}};
const Rows kCodeLists = {{"Kategorie čtenářů", "Třída", "Typ knihy", "Umístění knihy"},
                         {"Žák", "1.A", "Román", "Sklad"},
                         {"Učitel", "2.A", "", "Regál 2"},
                         {"Host", "3.A", "", ""},
                         {"", "4.A", "", ""},
                         {"", "5.A", "", ""}};
const Rows kReaders = {{"Jméno", "Třída", "Kategorie", "Poznámka", "Stav"},
                       {"Nováková; Anna", "5.A", "Žák", "Píše \"tužkou\"\na perem", "Aktivní"},
                       {"Petr ?mega", "9.B", "Učitel", "", "Neaktivní"}};
const Rows kKeywords = {{"Klíčové slovo"}, {"dobrodružství"}, {"a;b"}};
const Rows kBooks = {
    {"Kód knihy", "Název knihy", "Autor", "Kategorie", "Umístění", "Cena", "Signatura", "Nakladatelství", "Rok vydání",
     "Počet stran", "Ilustrátor", "Vhodné od", "Anotace", "Klíčová slova", "Vyřazeno dne", "Poznámka k vyřazení",
     "Stav"},
    {"A1", "Babička", "Němcová", "Román", "Sklad", "125,5", "S-1", "Odeon", "1995", "240", "Aleš", "10",
     "Řádek 1\r\nŘádek 2", "venkov,\"stará doba\"", "", "", "Půjčená"},
    {"B2", "Krysař; \"legenda\"", "Autor B2", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}};

TEST_P(ExportTables, WritesEveryRowAsTheIndependentReaderSeesIt)
{
    const TableCase& c = GetParam();
    FillLibrary();
    StartProgram();
    ExpectDone();
    Export(c.item, c.filter, target_);
    EXPECT_FALSE(frmExport->isVisible());
    EXPECT_EQ(frmExport->Caption(), "Export databáze - 100% dokončeno");
    EXPECT_EQ(ReadCsvWithPython(target_), c.expected);
    const std::string bytes = ReadBytes(target_);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.back(), '\n');
    // Nothing but the finished file is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "vystup"), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTable, ExportTables,
    ::testing::Values(TableCase{1, false, kArchive}, TableCase{1, true, kArchive}, TableCase{2, false, kCodeLists},
                      TableCase{2, true, kCodeLists}, TableCase{3, false, kReaders}, TableCase{3, true, kReaders},
                      TableCase{4, false, kKeywords}, TableCase{4, true, kKeywords}, TableCase{5, false, kBooks},
                      TableCase{5, true, kBooks}, TableCase{6, false, Rows{kLoanHeader, kOpenLoan, kReturnedLoan}},
                      TableCase{6, true, Rows{kLoanHeader, kOpenLoan}}));

TEST_F(ExportTest, FileBytesAreCp1250WithLineFeedsAndTheExactHeader)
{
    AddReader("Žluťoučký kůň", true, "1.A", "", "Žák");
    StartProgram();
    ExpectDone();
    Export(3, false, target_);
    EXPECT_EQ(ReadBytes(target_), "Jm\xE9no;T\xF8\xED" "da;Kategorie;Pozn\xE1mka;Stav;\n"
                                  "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2;1.A;\x8E\xE1k;;Aktivn\xED;\n");
}

TEST_F(ExportTest, FilterNarrowsToWhatTheMainWindowShows)
{
    AddReader("Adam");
    AddReader("Bára");
    StartProgram();
    Form1->Query2.Close();
    Form1->Query2.SQL.Clear();
    Form1->Query2.SQL.Add("SELECT * FROM Čtenáři");
    Form1->Query2.SQL.Add("WHERE Jmeno LIKE \"B%\"");
    Form1->Query2.SQL.Add("ORDER BY Jmeno");
    Form1->Query2.Open();
    ExpectDone();
    Export(3, true, target_);
    const Rows rows = ReadCsvWithPython(target_);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], "Bára");
}

TEST_F(ExportTest, CodeListsProgressReachesTheMaximumExactly)
{
    FillLibrary();
    StartProgram();
    OpenWindow();
    frmExport->ComboBox1.SetItemIndex(2);
    frmExport->Edit2.SetText(target_);
    frmExport->BitBtn2.Click();
    EXPECT_EQ(frmExport->ProgressBar1.Max(), 11);
    std::vector<int> positions;
    while (frmExport->Exporting()) {
        // One row per step: the bar moves by the values of that row.
        dialogs_->Expect("Export databáze byl úspěšně dokončen.", kTitle);
        frmExport->Timer1Timer(nullptr);
        positions.push_back(frmExport->ProgressBar1.Position());
        if (frmExport->Exporting())
            dialogs_.reset(new ui::ScriptedDialogs()), dialogs_->OnFailure = [](const std::string& w) { ADD_FAILURE() << w; };
    }
    EXPECT_EQ(positions.back(), 11);
}

TEST_F(ExportTest, TypedExistingFileIsOverwrittenOnlyAfterYes)
{
    FillLibrary();
    StartProgram();
    WriteBytes(target_, "old");
    dialogs_->Expect("Soubor " + target_ + " již existuje.\nPřejete si jej přepsat?", kTitle, ui::IDNO);
    Export(4, false, target_);
    EXPECT_EQ(ReadBytes(target_), "old");
    EXPECT_EQ(dialogs_->LastMessage()->Flags & ui::MB_DEFMASK, ui::MB_DEFBUTTON2);
    EXPECT_TRUE(frmExport->BitBtn2.isVisible());

    dialogs_->Expect("Soubor " + target_ + " již existuje.\nPřejete si jej přepsat?", kTitle, ui::IDYES);
    ExpectDone();
    Export(4, false, target_);
    EXPECT_EQ(ReadBytes(target_), "Kl\xED\xE8ov\xE9 slovo;\ndobrodru\x9Estv\xED;\n\"a;b\";\n");
}

TEST_F(ExportTest, FilePickedInTheDialogIsOverwrittenWithoutAsking)
{
    FillLibrary();
    StartProgram();
    WriteBytes(target_, "old");
    OpenWindow();
    dialogs_->AnswerOpenFile(target_);
    frmExport->Button1.Click();
    EXPECT_EQ(frmExport->Edit2.Text(), target_);
    frmExport->ComboBox1.SetItemIndex(4);
    ExpectDone();
    frmExport->BitBtn2.Click();
    ASSERT_TRUE(RunUntil([] { return !frmExport->Exporting(); }));
    EXPECT_EQ(ReadCsvWithPython(target_).size(), 3u);
}

TEST_F(ExportTest, MissingFolderOneLevelDeepIsCreatedTwoLevelsAreRefused)
{
    FillLibrary();
    StartProgram();
    const std::string one = (folder_ / "nova" / "k.csv").string();
    ExpectDone();
    Export(4, false, one);
    EXPECT_TRUE(fs::exists(one));

    const std::string two = (folder_ / "a" / "b" / "k.csv").string();
    dialogs_->Expect("Soubor " + two + " nelze vytvořit (No such file or directory).", kTitle);
    Export(4, false, two);
    EXPECT_FALSE(fs::exists(folder_ / "a"));
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
}

TEST_F(ExportTest, RefusalsLeaveAnExistingTargetAlone)
{
    StartProgram();
    WriteBytes(target_, "old");
    OpenWindow();
    dialogs_->Expect("Není vybrána žádná databáze k exportu!", kTitle);
    frmExport->Edit2.SetText(target_);
    frmExport->BitBtn2.Click();
    dialogs_->Expect("Soubor " + target_ + " již existuje.\nPřejete si jej přepsat?", kTitle, ui::IDYES);
    dialogs_->Expect("Vybraná databáze neobsahuje žádný záznam!", "Databáze je prázdná");
    Export(5, false, target_);
    EXPECT_EQ(ReadBytes(target_), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "vystup"), fs::directory_iterator()), 1);
}

int writesLeft = 0;
std::size_t FailingWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    if (writesLeft-- <= 0) {
        errno = ENOSPC;
        return 0;
    }
    return std::fwrite(data, size, count, file);
}

TEST_F(ExportTest, FailedWriteStopsWithAnErrorAndKeepsTheOldFile)
{
    // More than a megabyte of rows, so the file is written while the export runs.
    {
        data::TTable keywords;
        keywords.TableName = "KlicovaSlova.DB";
        keywords.Open();
        data::TTransaction transaction;
        for (int i = 0; i < 3000; ++i) {
            keywords.Append();
            keywords.FieldByName("Nazev").SetAsString("slovo číslo " + std::to_string(i) + std::string(400, 'x'));
            keywords.Post();
        }
        transaction.Commit();
    }
    StartProgram();
    WriteBytes(target_, "old");
    writesLeft = 0;
    transfer::CsvFile::Writer = &FailingWrite;
    dialogs_->Expect("Soubor " + target_ + " již existuje.\nPřejete si jej přepsat?", kTitle, ui::IDYES);
    dialogs_->Expect("Při zápisu do souboru " + target_ +
                         " došlo k chybě (No space left on device). Export nebyl dokončen, soubor nebyl změněn.",
                     kTitle);
    Export(4, false, target_);
    transfer::CsvFile::Writer = &std::fwrite;
    EXPECT_EQ(ReadBytes(target_), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "vystup"), fs::directory_iterator()), 1);
    EXPECT_TRUE(frmExport->BitBtn2.isVisible());
}

TEST_F(ExportTest, ShowingTheWindowDuringAnExportOnlyBringsItForward)
{
    FillLibrary();
    StartProgram();
    OpenWindow();
    frmExport->ComboBox1.SetItemIndex(5);
    frmExport->Edit2.SetText(target_);
    frmExport->BitBtn2.Click();
    ASSERT_TRUE(frmExport->Exporting());
    frmExport->BitBtn3.Click(); // Storno hides the window; the export goes on
    EXPECT_FALSE(frmExport->isVisible());
    Form1->Export1.Click();
    EXPECT_TRUE(frmExport->isVisible());
    EXPECT_EQ(frmExport->ComboBox1.ItemIndex(), 5);
    EXPECT_FALSE(frmExport->BitBtn2.isVisible());
    ExpectDone();
    ASSERT_TRUE(RunUntil([] { return !frmExport->Exporting(); }));
    EXPECT_EQ(ReadCsvWithPython(target_), kBooks);
    // Shown again afterwards, the window starts afresh.
    Form1->Export1.Click();
    EXPECT_EQ(frmExport->ComboBox1.ItemIndex(), 0);
    EXPECT_TRUE(frmExport->BitBtn2.isVisible());
    EXPECT_EQ(frmExport->Caption(), kTitle);
}

} // namespace
