// The restore window as a librarian uses it: every backup file is found and checked before any
// table file is touched; the tables are replaced with the progress in the caption; a restore whose
// tables cannot be opened is undone; and the set-aside files of a restore cut short are put back
// when the program starts next.

#include "BackupSupport.h"
#include "sys/ChildProcess.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "catalogue/KlicovaSlova.h"
#include "maintenance/BackupSet.h"
#include "maintenance/Hledat.h"
#include "maintenance/ImportovatData.h"
#include "platform/data/TableReplacement.h"

#include <QTest>

#include <sqlite3.h>

#include <csignal>

namespace fs = std::filesystem;
using namespace backuptest;
using systest::RunInChild;

namespace {

class RestoreWindow : public BackupTest {
protected:
    // A backup of the library as set up, then a book and a keyword added after it.
    void StartWithBackup()
    {
        Start();
        backup::WriteBackupSet(folder_, backup_);
        backupBytes_ = BackupBytes(backup_);
        ChangeData("B1");
        AddReader("Svoboda Petr"); // in the tables only, not in the backup
        tablesBefore_ = TableBytes(folder_);
    }
    void RunRestore(const std::string& folder)
    {
        dialogs_->ExpectModal(*Form8, std::function<void(TForm8&)>([folder](TForm8& window) {
                                  window.Edit1.SetText(folder);
                                  window.BitBtn2.Click();
                              }),
                              ui::mrCancel);
        Form1->BitBtn23.Click();
    }
    void ExpectUntouched()
    {
        EXPECT_EQ(TableBytes(folder_), tablesBefore_);
        EXPECT_TRUE(Leftovers(folder_).empty());
        ExpectAllOpen();
    }
    std::map<std::string, std::string> backupBytes_, tablesBefore_;
};

TEST_F(RestoreWindow, TheBackupTakesThePlaceOfTheTables)
{
    StartWithBackup();
    ClickTab(1);
    dialogs_->Expect("Obnovení dat bylo úspěšně dokončeno.", "Obnovení dat", ui::IDOK);
    const std::vector<std::string> captions = CaptionsDuring(*Form8, [&] { RunRestore(backup_.string()); });

    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Owner, "Form8");
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONINFORMATION);
    const auto tables = TableBytes(folder_);
    for (const backup::SetMember& member : backup::kBackupSet)
        EXPECT_EQ(tables.at(std::string(member.table)), backupBytes_.at(std::string(member.backup))) << member.table;
    EXPECT_TRUE(Leftovers(folder_).empty());
    // 18 steps: 5 %, 11 %, ... 100 %, never past it.
    std::vector<std::string> expected;
    for (int step = 1; step <= 18; ++step)
        expected.push_back("Obnovení dat - " + std::to_string(step * 100 / 18) + "% dokončeno");
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(Form8->ProgressBar1.Position(), Form8->ProgressBar1.Max());
    EXPECT_EQ(Form8->Tag, 0);
    EXPECT_FALSE(Form8->isVisible());

    // The program shows the backup's data: the lending page refreshed in front, the keyword list
    // and the books list as the backup had them.
    ExpectAllOpen();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 0);
    EXPECT_EQ(Form1->ComboBox1.Count(), 2);
    EXPECT_EQ(Form1->ComboBox1.IndexOf("Svoboda Petr"), -1);
    EXPECT_EQ(Form9->Table1.RecordCount(), 0);
    // Of the backup's two books one is lent; the books list shows those on the shelf ("K půjčení").
    EXPECT_EQ(Form1->Query1.RecordCount(), 1);
    EXPECT_EQ(Form1->Query1.FieldByName("Kod").AsString(), "A2");
    EXPECT_EQ(Form1->Table3.RecordCount(), 1);
}

class MissingBackupFile : public RestoreWindow, public ::testing::WithParamInterface<int> {};

TEST_P(MissingBackupFile, IsRefusedBeforeAnyTableIsTouched)
{
    StartWithBackup();
    fs::remove(backup_ / std::string(backup::kBackupSet[static_cast<std::size_t>(GetParam())].backup));
    dialogs_->Expect("Nebyly nalezeny potřebné soubory!", "Obnovení dat", ui::IDOK);
    RunRestore(backup_.string());
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingBackupFile, ::testing::Range(0, 9));

TEST_F(RestoreWindow, AMissingFolderIsRefused)
{
    StartWithBackup();
    dialogs_->Expect("Adresář " + (folder_ / "nikde").string() + " neexistuje!", "Obnovení dat", ui::IDOK);
    RunRestore((folder_ / "nikde").string());
    dialogs_->Expect("Adresář  neexistuje!", "Obnovení dat", ui::IDOK);
    RunRestore("");
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    ExpectUntouched();
}

struct Damage {
    const char* name;
    const char* file;      // the backup file damaged
    std::function<void(const fs::path& folder, const fs::path& file)> apply;
    const char* mention;   // what the message names
};

class DamagedBackup : public RestoreWindow, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedBackup, IsRefusedBeforeAnyTableIsTouched)
{
    StartWithBackup();
    GetParam().apply(backup_, backup_ / GetParam().file);
    dialogs_->Answer(ui::IDOK);
    RunRestore(backup_.string());
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    const std::string text = dialogs_->Messages()[0].Text;
    EXPECT_NE(text.find(GetParam().mention), std::string::npos) << text;
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(dialogs_->Messages()[0].Caption, "Obnovení dat");
    ExpectUntouched();
    EXPECT_EQ(Form8->Caption(), "Obnovení dat");
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedBackup,
    ::testing::Values(
        Damage{"CutShort", "Knihy.bak",
               [](const fs::path&, const fs::path& file) {
                   const std::string bytes = ReadBytes(file);
                   WriteBytes(file, bytes.substr(0, bytes.size() - 1024));
               },
               "Knihy.bak"},
        Damage{"NotATable", "Klíčová slova.bak",
               [](const fs::path&, const fs::path& file) { WriteBytes(file, std::string(4096, '\0')); },
               "Klíčová slova.bak"},
        Damage{"AnotherTable", "Výpůjčky.bak",
               [](const fs::path& folder, const fs::path& file) { fs::copy_file(folder / "Čtenáři.bak", file, fs::copy_options::overwrite_existing); },
               "Výpůjčky.bak"},
        // Only the check of every page finds it: the structure of the table reads as it should.
        Damage{"PageOfRecordsScrambled", "Knihy.bak",
               [](const fs::path&, const fs::path& file) {
                   sqlite3* db = nullptr;
                   sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
                   sqlite3_stmt* root = nullptr;
                   sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name='Knihy'", -1, &root, nullptr);
                   const int page = sqlite3_step(root) == SQLITE_ROW ? sqlite3_column_int(root, 0) : 0;
                   sqlite3_finalize(root);
                   sqlite3_close(db);
                   ASSERT_GT(page, 1);
                   std::string bytes = ReadBytes(file);
                   const std::size_t start = static_cast<std::size_t>(page - 1) * 4096;
                   ASSERT_LE(start + 4096, bytes.size());
                   for (std::size_t i = start; i < start + 600; ++i)
                       bytes[i] = static_cast<char>(i * 7);
                   WriteBytes(file, bytes);
               },
               "Knihy.bak"},
        Damage{"InterruptedBackup", "Knihy.bak",
               [](const fs::path&, const fs::path& file) {
                   fs::path temporary = file;
                   temporary += ".tmp";
                   fs::copy_file(file, temporary);
               },
               "nebyla dokončena"}),
    [](const ::testing::TestParamInfo<Damage>& param) { return std::string(param.param.name); });

// The copies that are to replace the tables are made while the backup files are checked; one that
// cannot be made stops the restore before any table is touched, and none of them stays.
TEST_F(RestoreWindow, ACopyThatCannotBeMadeBesideTheTablesTouchesNothing)
{
    StartWithBackup();
    const fs::path blocked = folder_ / "Knihy.DB.lendar-new";
    fs::create_directory(blocked); // where the books' copy would go
    dialogs_->Answer(ui::IDOK);
    RunRestore(backup_.string());
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    const std::string text = dialogs_->Messages()[0].Text;
    EXPECT_NE(text.find("Knihy.DB.lendar-new"), std::string::npos) << text;
    EXPECT_NE(text.find("Data programu zůstala beze změny."), std::string::npos) << text;
    EXPECT_TRUE(fs::is_directory(blocked));
    fs::remove(blocked);
    ExpectUntouched();
    EXPECT_TRUE(Form8->BitBtn2.isVisibleTo(Form8));
}

// The folder box, help, "Storno" and Enter behave as in the backup window; the picker opened from
// here fills this box.
TEST_F(RestoreWindow, TheFolderBoxWorksAsInTheBackupWindow)
{
    Start();
    const fs::path chosen = backup_ / "vybraná";
    fs::create_directory(chosen);
    dialogs_->ExpectModal(*Form8, std::function<void(TForm8&)>([&](TForm8& window) {
                              window.BitBtn4.Click();
                              window.Edit1.SetFocus();
                              QTest::keyClick(&window.Edit1, Qt::Key_Return);
                              EXPECT_EQ(window.ActiveControl(), &window.BitBtn1);
                              dialogs_->ExpectModal(*Form18, std::function<void(TForm18&)>([&](TForm18& picker) {
                                                        picker.DirectoryListBox1.SetDirectory(chosen);
                                                        picker.BitBtn1.Click();
                                                    }),
                                                    ui::mrCancel);
                              window.BitBtn1.Click();
                              EXPECT_EQ(window.Edit1.Text(), chosen.string());
                              window.BitBtn3.Click();
                              EXPECT_EQ(window.ModalResult(), ui::mrCancel);
                          }));
    Form1->BitBtn23.Click();
    ASSERT_EQ(dialogs_->HelpRequests().size(), 1u);
    EXPECT_EQ(dialogs_->HelpRequests()[0].Topic, "DATABAZE");
    EXPECT_TRUE(dialogs_->Messages().empty());
    ExpectAllOpen();
}

TEST_F(RestoreWindow, TablesThatCannotBeOpenedAfterwardsAreRolledBack)
{
    StartWithBackup();
    ClickTab(2);
    // The books table fails to open once: over the restored files.
    int failures = 1;
    Form1->Table2.BeforeOpen = [&failures](data::TDataSet&) {
        if (failures-- > 0)
            throw data::EDatabaseError("nelze otevřít");
    };
    dialogs_->Expect(std::string(backup::kRestoreCancelled), "Obnovení dat", ui::IDOK);
    RunRestore(backup_.string());
    Form1->Table2.BeforeOpen = nullptr;
    EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(dialogs_->LastMessage()->Owner, "Form8");
    EXPECT_EQ(Form8->Tag, TForm8::kRolledBack);
    EXPECT_FALSE(Form8->isVisible());
    ExpectUntouched();
    // Reopened over the old tables, lending page refreshed in front.
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 0);
    EXPECT_NE(Form1->ComboBox1.IndexOf("Svoboda Petr"), -1);
    EXPECT_EQ(Form9->Table1.RecordCount(), 1);
    EXPECT_LE(Form8->ProgressBar1.Position(), Form8->ProgressBar1.Max());
}

TEST_F(RestoreWindow, TheSetAsideFilesOfAnInterruptedRestoreBlockTheNext)
{
    StartWithBackup();
    WriteBytes(folder_ / "Knihy.backup", "zbytek");
    dialogs_->Answer(ui::IDOK);
    RunRestore(backup_.string());
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_NE(dialogs_->Messages()[0].Text.find("Knihy.backup"), std::string::npos) << dialogs_->Messages()[0].Text;
    fs::remove(folder_ / "Knihy.backup");
    ExpectUntouched();
}

// A restore killed after the books were replaced: the next start puts the old tables back and
// says so.
TEST_F(RestoreWindow, TheNextStartPutsBackTheTablesOfARestoreCutShort)
{
    backup::WriteBackupSet(folder_, backup_);
    backupBytes_ = BackupBytes(backup_);
    AddBook("B1", "Po záloze");
    AddReader("Svoboda Petr");
    tablesBefore_ = TableBytes(folder_);
    const int status = RunInChild([this] {
        backup::RestoreBackupSet(folder_, backup_, {}, [](const std::string& step) {
            if (step == "nahrazeno Knihy.DB")
                raise(SIGKILL);
        });
        return 0;
    });
    ASSERT_EQ(status, 128 + SIGKILL);
    EXPECT_EQ(Fingerprint(ReadBytes(folder_ / "Knihy.DB")), backupBytes_.at("Knihy.bak"));
    EXPECT_FALSE(Leftovers(folder_).empty());

    dialogs_->Expect("Obnovení dat při minulém běhu programu nebylo dokončeno. Tabulky byly vráceny do stavu, v jakém "
                     "byly před ním.",
                     "Obnovení dat", ui::IDOK);
    Start();
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONWARNING);
    // The start recomputes the days of the loans; every other table is as before the restore.
    auto tables = TableBytes(folder_);
    tables.erase("Výpůjčky.db");
    tablesBefore_.erase("Výpůjčky.db");
    EXPECT_EQ(tables, tablesBefore_);
    EXPECT_EQ(Form1->Table3.RecordCount(), 1);
    EXPECT_TRUE(Leftovers(folder_).empty());
    ClickTab(0);
    EXPECT_NE(Form1->ComboBox1.IndexOf("Svoboda Petr"), -1);
}

} // namespace
