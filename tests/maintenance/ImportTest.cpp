// The dBase import window, driven as a librarian does, over files written by independent peers
// (python3-dbf, ogr2ogr); the tables on disk are checked afterwards.

#include "TransferSupport.h"

#include "app/Hlavni.h"
#include "maintenance/ImportDatabaze.h"
#include "platform/data/TableSchema.h"

#include <QTest>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace transfertest;
using apptest::AppendRow;

namespace {

const char* const kTitle = "Import databáze";
const char* const kQuestion = "Importem databáze se smažou všechny původní záznamy databáze.\nChcete přesto pokračovat?";

fs::path SchemaFolder()
{
    return fs::path(std::getenv("LENDAR_SOURCE_DIR")) / "install" / "tables";
}

class ImportTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (!HavePythonModule("dbf"))
            GTEST_SKIP() << "python3-dbf is not installed";
        // The empty templates, as the installation lays them out.
        fs::create_directories(folder_ / "Empty");
        for (const auto& entry : fs::directory_iterator(SchemaFolder()))
            if (entry.path().extension() == ".schema") {
                const data::TableSchema schema = data::ReadSchemaFile(entry.path());
                data::WriteTableFile(folder_ / "Empty" / schema.fileName, schema);
            }
        source_ = (folder_ / "zdroj.dbf").string();
    }

    void Start()
    {
        StartProgram();
        Form1->Edit13.SetText(folder_.string());
    }

    // Writes the source file with python3-dbf: `fields` in its notation, rows as Python tuples.
    void MakeDbf(const std::string& fields, const std::vector<std::string>& rows, const std::string& codepage = "cp852",
                 const std::vector<int>& deleted = {}, const std::string& path = "")
    {
        std::string script = "import dbf, sys\nt = dbf.Table(sys.argv[1], '" + fields + "', dbf_type='db3', codepage='" +
                             codepage + "')\nt.open(dbf.READ_WRITE)\n";
        for (const std::string& row : rows)
            script += "t.append(" + row + ")\n";
        for (const int index : deleted)
            script += "dbf.delete(t[" + std::to_string(index) + "])\n";
        script += "t.close()\n";
        const std::string file = (folder_ / "make.py").string();
        WriteBytes(file, script);
        std::string output;
        ASSERT_EQ(RunCommand("/usr/bin/python3 " + file + " '" + (path.empty() ? source_ : path) + "'", &output), 0) << output;
    }

    // Opens the window from the main window's handler, chooses, presses OK and answers Yes.
    void Import(int item, const std::string& path, bool backup = false)
    {
        dialogs_->ExpectModal(*frmImport, std::function<void(TfrmImport&)>([&](TfrmImport& window) {
                                  window.ComboBox1.SetItemIndex(item);
                                  window.Edit1.SetText(path);
                                  window.CheckBox1.SetChecked(backup);
                                  QTest::mouseClick(&window.Button3, Qt::LeftButton);
                                  RunUntil([&] { return !window.Importing(); });
                              }),
                              ui::mrCancel);
        Form1->Importdatabze1Click(nullptr);
    }

    void ExpectQuestion(int answer = ui::IDYES) { dialogs_->Expect(kQuestion, kTitle, answer); }
    void ExpectDone() { dialogs_->Expect("Import databáze byl úspěšně dokončen.", kTitle); }

    std::string source_;
};

const char* const kReaderFields = "Jmeno C(60); Trida C(10); Kategorie C(40); Poznamka C(80); Stav C(15)";

TEST_F(ImportTest, ReadersFromCp852WithADeletedRecord)
{
    MakeDbf(kReaderFields,
            {"('Žluťoučký Kůň', '5.A', 'Žák', 'Čte; \"rád\"', 'Aktivní')", "('Smazaný', '1.A', '', '', 'Aktivní')",
             "('Dvořák Petr', '9.B', 'Učitel', '', 'Neaktivní')", "('Poslední', '', '', '', 'Aktivní')"},
            "cp852", {1});
    AddReader("Původní");
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(3, source_);
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno", "Trida", "Kategorie", "Poznamka", "Stav", "Aktivni"}),
              (Rows{{"Žluťoučký Kůň", "5.A", "Žák", "Čte; \"rád\"", "Aktivní", "True"},
                    {"Dvořák Petr", "9.B", "Učitel", "", "Neaktivní", "False"},
                    {"Poslední", "", "", "", "Aktivní", "True"}}));
    EXPECT_EQ(frmImport->Caption(), "Import databáze - 100% dokončeno");
    // The main window's readers list shows the imported readers.
    EXPECT_EQ(Form1->Query2.RecordCount(), 3);
}

TEST_F(ImportTest, BooksWithMemosInCp1250AndLoansFollowTheirBooks)
{
    MakeDbf("Kod C(20); Nazev C(100); Autor C(60); Kategorie C(30); Umisteni C(30); CenaX N(10,2); Signatura C(20); "
            "Nakladatel C(40); RokVydani N(4,0); PocetStran N(5,0); Ilustrator C(40); VekOd N(2,0); Anotace M; "
            "KlicSlova C(100); VyrazenoD C(20); VyrazenoT C(60); Vlastnosti C(20)",
            {"('A1', 'Babička', 'Němcová', 'Román', 'Sklad', 125.5, 'S-1', 'Odeon', 1995, 240, 'Aleš', 10, "
             "'Dlouhá anotace ' + 'ř' * 200, 'venkov', '', '', 'Půjčená')",
             "('B2', 'Krysař', 'Dyk', '', '', None, '', '', None, None, '', None, '', '', '1.2.2020', 'Roztrhaná', "
             "'Vyřazená')"},
            "cp1250");
    const auto reader = AddReader("Anna");
    const auto oldA1 = AddBook("A1", "Stará Babička", true);
    AddLoan(reader, oldA1, "1.9.2024");
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(5, source_);
    const Rows books = TableRows("Knihy.DB", {"Kod", "Nazev", "Autor", "CenaX", "Nakladatelstvi", "RokVydani", "VekOd",
                                              "Anotace", "VyrazenoDatum", "Vlastnosti", "Pujceno"});
    ASSERT_EQ(books.size(), 2u);
    std::string annotation = "Dlouhá anotace ";
    for (int i = 0; i < 200; ++i)
        annotation += "ř";
    EXPECT_EQ(books[0], (std::vector<std::string>{"A1", "Babička", "Němcová", "125,5", "Odeon", "1995", "10",
                                                  annotation.substr(0, annotation.size()), "", "Půjčená", "True"}));
    EXPECT_EQ(books[1], (std::vector<std::string>{"B2", "Krysař", "Dyk", "", "", "", "", "", "1.2.2020", "Vyřazená",
                                                  "False"}));
    // The open loan points at the imported book of its code.
    const auto imported = Book("A1");
    ASSERT_TRUE(imported.has_value());
    ASSERT_EQ(Loans().size(), 1u);
    EXPECT_EQ(Loans()[0].CisloKnihy, imported->Cislo);
}

TEST_F(ImportTest, LoansFollowTheReadersByNameToTheFirstOfTheName)
{
    MakeDbf(kReaderFields, {"('Bedřich', '6.B', '', '', 'Aktivní')", "('Anna', '5.A', '', '', 'Aktivní')",
                            "('Anna', '9.C', '', '', 'Neaktivní')"});
    const auto anna = AddReader("Anna");
    const auto bedrich = AddReader("Bedřich");
    const auto gone = AddReader("Cecílie");
    const auto book = AddBook("A1", "Babička", true);
    AddLoan(anna, book, "1.9.2024");
    AddLoan(bedrich, book, "2.8.2024", "12.8.2024", 10);
    AddLoan(gone, book, "3.8.2024", "13.8.2024", 10);
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(3, source_);
    const Rows readers = TableRows("Čtenáři.db", {"Cislo", "Jmeno", "Trida"});
    ASSERT_EQ(readers.size(), 3u);
    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 3u);
    // Returned loans follow as well; a reader the file does not have keeps the old number.
    EXPECT_EQ(std::to_string(loans[0].CisloCtenare), readers[1][0]); // the first Anna, of 5.A
    EXPECT_EQ(std::to_string(loans[1].CisloCtenare), readers[0][0]);
    EXPECT_EQ(loans[2].CisloCtenare, gone);
    EXPECT_EQ(loans[0].CisloKnihy, book);
}

TEST_F(ImportTest, BooksAreLentByTheirCodesOpenLoansAndTheLoansFollowTheFirstOfTheCode)
{
    const char* const fields = "Kod C(20); Nazev C(100); Autor C(60); Kategorie C(30); Umisteni C(30); CenaX N(10,2); "
                               "Signatura C(20); Nakladatel C(40); RokVydani N(4,0); PocetStran N(5,0); Ilustrator C(40); "
                               "VekOd N(2,0); Anotace C(100); KlicSlova C(100); VyrazenoD C(20); VyrazenoT C(60); "
                               "Vlastnosti C(20)";
    const auto row = [](const char* code, const char* title) {
        return std::string("('") + code + "', '" + title + "', '', '', '', None, '', '', None, None, '', None, '', '', "
               "'', '', '')";
    };
    MakeDbf(fields, {row("R1", "Vrácená"), row("L1", "Půjčená"), row("L1", "Druhá půjčená"), row("N1", "Nová")},
            "cp1250");
    const auto reader = AddReader("Anna");
    const auto lent = AddBook("L1", "Stará půjčená", true);
    const auto returned = AddBook("R1", "Stará vrácená");
    AddLoan(reader, lent, "1.9.2024");
    AddLoan(reader, returned, "2.8.2024", "12.8.2024", 10);
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(5, source_);
    EXPECT_EQ(TableRows("Knihy.DB", {"Kod", "Nazev", "Pujceno"}),
              (Rows{{"R1", "Vrácená", "False"}, {"L1", "Půjčená", "True"}, {"L1", "Druhá půjčená", "True"},
                    {"N1", "Nová", "False"}}));
    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 2u);
    EXPECT_EQ(loans[0].CisloKnihy, Book("L1")->Cislo);
    EXPECT_EQ(BookByNumber(loans[0].CisloKnihy)->Nazev, "Půjčená");
    EXPECT_EQ(BookByNumber(loans[1].CisloKnihy)->Nazev, "Vrácená");
    // The numbers are new ones: none of the old records' is given again.
    EXPECT_GT(loans[1].CisloKnihy, std::max(lent, returned));
}

TEST_F(ImportTest, CodeListsInFourPasses)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back("('" + std::string(i < 4 ? "Kategorie " + std::to_string(i) : "") + "', '" + std::to_string(i + 1) +
                       ".A', '" + (i < 5 ? "Typ " + std::to_string(i) : "") + "', '" +
                       (i < 3 ? "Místo " + std::to_string(i) : "") + "')");
    MakeDbf("KategCt C(30); Trida C(10); TypKnihy C(30); Umisteni C(30)", rows);
    AppendRow("Číselníky.db", {{"Nazev", "Stará"}});
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(2, source_);
    EXPECT_EQ(CountRecords("Číselníky.db"), 4);
    EXPECT_EQ(CountRecords("Číselníky02.db"), 12);
    EXPECT_EQ(CountRecords("Číselníky03.db"), 5);
    EXPECT_EQ(CountRecords("Číselníky04.db"), 3);
    EXPECT_EQ(TableRows("Číselníky04.db", {"Nazev"}), (Rows{{"Místo 0"}, {"Místo 1"}, {"Místo 2"}}));
    EXPECT_EQ(Form1->Table4.RecordCount(), 4);
}

TEST_F(ImportTest, LoansFindReadersByNameAndBooksByCode)
{
    MakeDbf("Ctenar C(60); KodKnihy C(20); Kniha C(100); Pujceno D; Vraceno D; Dnu N(5,0)",
            {"('Anna', 'A1', 'Babička', dbf.Date(2024, 9, 1), None, 14)",
             "('Bedřich', 'B2', 'Krysař', dbf.Date(2024, 8, 2), dbf.Date(2024, 8, 12), 10)",
             "('', '', '', dbf.Date(2024, 8, 3), dbf.Date(2024, 8, 4), 1)"});
    const auto anna = AddReader("Anna");
    const auto bedrich = AddReader("Bedřich");
    const auto a1 = AddBook("A1", "Babička");
    const auto b2 = AddBook("B2", "Krysař");
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(6, source_);
    const auto loans = Loans();
    ASSERT_EQ(loans.size(), 3u);
    EXPECT_EQ(loans[0].CisloCtenare, anna);
    EXPECT_EQ(loans[0].CisloKnihy, a1);
    EXPECT_EQ(loans[0].VracenoB, "False");
    EXPECT_EQ(loans[0].Pujceno, "1.9.2024");
    EXPECT_EQ(loans[1].CisloCtenare, bedrich);
    EXPECT_EQ(loans[1].CisloKnihy, b2);
    EXPECT_EQ(loans[1].VracenoB, "True");
    EXPECT_EQ(loans[1].Vraceno, "12.8.2024");
    EXPECT_EQ(loans[2].CisloCtenare, 0);
    // The lending desk shows the open loan with its reader and book.
    Form1->Table3.First();
    EXPECT_EQ(Form1->Table3.FieldByName("Ctenar").AsString(), "Anna");
}

TEST_F(ImportTest, AnUnknownReaderStopsTheImportAndKeepsTheTable)
{
    MakeDbf("Ctenar C(60); KodKnihy C(20); Kniha C(100); Pujceno D; Vraceno D; Dnu N(5,0)",
            {"('Anna', 'A1', 'Babička', dbf.Date(2024, 9, 1), None, 14)",
             "('Anna', 'A1', 'Babička', dbf.Date(2024, 9, 2), None, 13)",
             "('Nikdo', 'A1', 'Babička', dbf.Date(2024, 9, 3), None, 12)"});
    const auto anna = AddReader("Anna");
    const auto a1 = AddBook("A1", "Babička");
    AddLoan(anna, a1, "5.9.2024");
    const auto before = Loans();
    Start();
    ExpectQuestion();
    dialogs_->Expect("Import databáze byl přerušen: záznam č. 3 zdrojového souboru nelze přenést (čtenář Nikdo není "
                     "v databázi čtenářů). Databáze zůstala beze změny.",
                     kTitle);
    Import(6, source_);
    ASSERT_EQ(Loans().size(), before.size());
    EXPECT_EQ(Loans()[0].Pujceno, "5.9.2024");
}

TEST_F(ImportTest, ArchiveAndKeywords)
{
    MakeDbf("Ctenar C(60); KodKnihy C(20); Kniha C(100); Pujceno D; Vraceno D; Dnu N(5,0)",
            {"('Zaniklý čtenář', 'X9', 'Ztracená kniha', dbf.Date(2020, 1, 2), dbf.Date(2020, 1, 12), 10)"});
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(1, source_);
    EXPECT_EQ(TableRows("VýpůjčkyArchiv.db", {"Ctenar", "KodKnihy", "Kniha", "Pujceno", "Vraceno", "Dnu"}),
              (Rows{{"Zaniklý čtenář", "X9", "Ztracená kniha", "2.1.2020", "12.1.2020", "10"}}));

    const std::string keywords = (folder_ / "slova.dbf").string();
    MakeDbf("Nazev C(50)", {"('dobrodružství',)", "('pohádka',)"}, "cp852", {}, keywords);
    ExpectQuestion();
    ExpectDone();
    Import(4, keywords);
    EXPECT_EQ(TableRows("KlicovaSlova.DB", {"Nazev"}), (Rows{{"dobrodružství"}, {"pohádka"}}));
}

struct RefusalCase {
    const char* name;
    const char* fields;
    std::vector<std::string> rows;
    std::string message; // "%s" stands for the source path
    bool removeMemo = false;
};

class ImportRefusals : public ImportTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ImportRefusals, ReportedBeforeAnythingChanges)
{
    const RefusalCase& c = GetParam();
    MakeDbf(c.fields, c.rows);
    if (c.removeMemo)
        fs::remove(folder_ / "zdroj.dbt");
    AddReader("Původní");
    Start();
    std::string message = c.message;
    message.replace(message.find("%s"), 2, source_);
    if (const auto memo = message.find("%m"); memo != std::string::npos)
        message.replace(memo, 2, (folder_ / "zdroj.dbt").string());
    dialogs_->Expect(message, kTitle);
    Import(3, source_, true);
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Původní"}}));
    EXPECT_FALSE(fs::exists(folder_ / "Záloha"));
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ImportRefusals,
    ::testing::Values(
        RefusalCase{"MissingColumn", "Jmeno C(60); Trida C(10); Kategorie C(40); Stav C(15)", {"('A', '1', '', '')"},
                    "V souboru %s chybí sloupec Poznamka. Import nebyl proveden."},
        RefusalCase{"MemoFileMissing", "Jmeno C(60); Trida C(10); Kategorie C(40); Poznamka M; Stav C(15)",
                    {"('A', '1', '', 'pozn', '')"},
                    "K souboru %s chybí soubor s poznámkami (memo) %m. Import nebyl proveden.", true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ImportTest, BackupGoesIntoZalohaAndAFailedOneStopsTheImport)
{
    MakeDbf(kReaderFields, {"('Nový', '1.A', '', '', 'Aktivní')"});
    AddReader("Původní");
    const std::string before = ReadBytes((folder_ / "Čtenáři.db").string());
    Start();
    // A file where the folder should be: the backup cannot be made.
    WriteBytes((folder_ / "Záloha").string(), "x");
    dialogs_->Expect("Zálohu databáze se nepodařilo vytvořit (" + (folder_ / "Záloha").string() +
                         ": Not a directory). Import nebyl proveden.",
                     kTitle);
    Import(3, source_, true);
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Původní"}}));

    fs::remove(folder_ / "Záloha");
    ExpectQuestion();
    ExpectDone();
    Import(3, source_, true);
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Nový"}}));
    // The backup is a byte copy of the table file as it was before the import.
    EXPECT_EQ(ReadBytes((folder_ / "Záloha" / "Čtenáři.bak").string()), before);
}

TEST_F(ImportTest, AnsweringNoOrStornoLeavesTheTable)
{
    MakeDbf(kReaderFields, {"('Nový', '1.A', '', '', 'Aktivní')", "('Druhý', '1.A', '', '', 'Aktivní')"});
    AddReader("Původní");
    Start();
    ExpectQuestion(ui::IDNO);
    Import(3, source_);
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Původní"}}));

    ExpectQuestion();
    dialogs_->Expect("Import databáze byl přerušen. Databáze zůstala beze změny.", kTitle);
    dialogs_->ExpectModal(*frmImport, std::function<void(TfrmImport&)>([&](TfrmImport& window) {
                              window.ComboBox1.SetItemIndex(3);
                              window.Edit1.SetText(source_);
                              window.Button3.Click();
                              ASSERT_TRUE(window.Importing());
                              window.Button2.Click();
                          }),
                          ui::mrCancel);
    Form1->Importdatabze1Click(nullptr);
    EXPECT_FALSE(frmImport->Importing());
    EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Původní"}}));
    // Shown again, the window offers OK again.
    dialogs_->ExpectModal(*frmImport, std::function<void(TfrmImport&)>([](TfrmImport& window) {
                              EXPECT_TRUE(window.Button3.isVisible());
                              EXPECT_EQ(window.ComboBox1.ItemIndex(), 0);
                          }),
                          ui::mrCancel);
    Form1->Importdatabze1Click(nullptr);
}

TEST_F(ImportTest, EmptySourceEmptiesTheTable)
{
    MakeDbf(kReaderFields, {});
    AddReader("Původní");
    Start();
    ExpectQuestion();
    ExpectDone();
    Import(3, source_);
    EXPECT_EQ(CountRecords("Čtenáři.db"), 0);
}

// Files made by ogr2ogr: CP1250 named by the header's driver byte, UTF-8 and CP1250 named only by
// the .cpg file beside the table (as ogr2ogr writes it, and as "1250").
TEST_F(ImportTest, Ogr2ogrFilesWithCodePagesInTheHeaderOrInACpgFile)
{
    if (RunCommand("ogr2ogr --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gdal-bin is not installed";
    WriteBytes((folder_ / "src.csv").string(), "Nazev,Pocet\nŽluťoučký kůň,1\nřeřicha,2\n");
    WriteBytes((folder_ / "src.csvt").string(), "String(40),Integer(5)\n");
    Start();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"LDID/200", ""}, {"UTF-8", ""}, {"CP1250", ""}, {"CP1250", "1250\r\n"}};
    int n = 0;
    for (const auto& [encoding, cpg] : cases) {
        const fs::path out = folder_ / ("o" + std::to_string(++n));
        std::string output;
        ASSERT_EQ(RunCommand("ogr2ogr -f 'ESRI Shapefile' -lco ENCODING=" + encoding + " '" + out.string() + "' '" +
                                 (folder_ / "src.csv").string() + "'",
                             &output),
                  0)
            << output;
        const std::string dbf = (out / "src.dbf").string();
        if (!cpg.empty())
            WriteBytes((out / "src.cpg").string(), cpg);
        ExpectQuestion();
        ExpectDone();
        Import(4, dbf);
        EXPECT_EQ(TableRows("KlicovaSlova.DB", {"Nazev"}), (Rows{{"Žluťoučký kůň"}, {"řeřicha"}})) << encoding << cpg;
    }
}

// A process killed in the middle of an import leaves the table as it was.
TEST_F(ImportTest, KilledDuringTheImportLeavesTheTable)
{
    // Far more records than a few ticks import even on a fast machine, so the kill lands inside it.
    const std::string script = "import dbf, sys\nt = dbf.Table(sys.argv[1], '" + std::string(kReaderFields) +
                               "', dbf_type='db3', codepage='cp852')\nt.open(dbf.READ_WRITE)\n"
                               "for i in range(40000):\n    t.append(('Čtenář %d' % i, '1.A', '', '', 'Aktivní'))\n"
                               "t.close()\n";
    WriteBytes((folder_ / "make.py").string(), script);
    std::string output;
    ASSERT_EQ(RunCommand("/usr/bin/python3 " + (folder_ / "make.py").string() + " '" + source_ + "'", &output), 0)
        << output;
    AddReader("Původní");
    for (const int ticks : {1, 3}) {
        const pid_t pid = fork();
        if (pid == 0) {
            Start();
            frmImport->Show();
            frmImport->ComboBox1.SetItemIndex(3);
            frmImport->Edit1.SetText(source_);
            dialogs_->Expect(kQuestion, kTitle, ui::IDYES);
            frmImport->Button3.Click();
            for (int i = 0; i < ticks; ++i)
                frmImport->Timer1Timer(nullptr);
            ::kill(::getpid(), SIGKILL);
            _exit(1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(TableRows("Čtenáři.db", {"Jmeno"}), (Rows{{"Původní"}})) << ticks;
    }
}

} // namespace
