// The backup window as a librarian uses it: the folder is asked for, checked for a fixed disk,
// made after a question, and the nine files are written with the progress in the caption; every
// failure says which file and reports nothing as done. The folder picker fills the folder box.

#include "BackupSupport.h"
#include "sys/TempFolder.h"

#include "app/Hlavni.h"
#include "catalogue/KlicovaSlova.h"
#include "maintenance/BackupSet.h"
#include "maintenance/Hledat.h"
#include "maintenance/ImportovatData.h"
#include "maintenance/ZalohovatData.h"

#include <QTest>

namespace fs = std::filesystem;
using namespace backuptest;
using systest::MemoryMountFolder;

namespace {

class BackupWindow : public BackupTest {
protected:
    // Opens the backup window from the tool bar, types `folder` and presses OK.
    void RunBackup(const std::string& folder)
    {
        dialogs_->ExpectModal(*Form6, std::function<void(TForm6&)>([folder](TForm6& window) {
                                  window.Edit1.SetText(folder);
                                  window.BitBtn2.Click();
                              }),
                              ui::mrCancel);
        Form1->BitBtn4.Click();
    }
    void ExpectNoBackupFiles(const fs::path& folder)
    {
        for (const auto& [name, bytes] : BackupBytes(folder))
            EXPECT_TRUE(bytes.empty()) << name;
    }
};

TEST_F(BackupWindow, ANewFolderIsMadeAfterYesAndGetsTheNineTables)
{
    Start();
    ClickTab(0);
    const fs::path target = backup_ / "Září 2024";
    dialogs_->Expect("Adresář " + target.string() + " neexistuje.\nPřejete si jej vytvořit?", "Záloha dat", ui::IDYES);
    dialogs_->Expect("Záloha dat byla úspěšně dokončena.", "Záloha dat", ui::IDOK);
    const std::vector<std::string> captions = CaptionsDuring(*Form6, [&] { RunBackup(target.string()); });

    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONQUESTION);
    EXPECT_EQ(dialogs_->Messages()[0].Buttons(), ui::MB_YESNO);
    EXPECT_EQ(dialogs_->Messages()[0].Owner, "Form6");
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONINFORMATION);
    const std::map<std::string, std::string> tables = TableBytes(folder_);
    for (const backup::SetMember& member : backup::kBackupSet)
        EXPECT_EQ(Fingerprint(ReadBytes(target / std::string(member.backup))), tables.at(std::string(member.table))) << member.backup;
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 9);
    // The bar went through 11 %, 22 %, ... 100 % and the window then closed.
    EXPECT_EQ(captions, (std::vector<std::string>{"Záloha dat - 11% dokončeno", "Záloha dat - 22% dokončeno",
                                                  "Záloha dat - 33% dokončeno", "Záloha dat - 44% dokončeno",
                                                  "Záloha dat - 55% dokončeno", "Záloha dat - 66% dokončeno",
                                                  "Záloha dat - 77% dokončeno", "Záloha dat - 88% dokončeno",
                                                  "Záloha dat - 100% dokončeno"}));
    EXPECT_FALSE(Form6->isVisible());
    ExpectAllOpen();
    EXPECT_EQ(Form1->Query1.RecordCount(), 2);
    EXPECT_EQ(Form1->ComboBox1.Count(), 2);
}

TEST_F(BackupWindow, NoLeavesTheDiskAsItWasAndTheTablesOpen)
{
    Start();
    const fs::path target = backup_ / "nová";
    dialogs_->Expect("Adresář " + target.string() + " neexistuje.\nPřejete si jej vytvořit?", "Záloha dat", ui::IDNO);
    RunBackup(target.string());
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_FALSE(fs::exists(target));
    ExpectAllOpen();
    EXPECT_EQ(Form6->Caption(), "Záloha dat");
}

// A folder not on a fixed disk is refused, existing or not: nothing is written there.
TEST_F(BackupWindow, AFolderOffTheFixedDiskIsRefused)
{
    Start();
    std::vector<std::string> refused = {""};
    const fs::path memory = MemoryMountFolder();
    fs::path made;
    if (!memory.empty()) {
        made = memory / ("lendar-zaloha-" + std::to_string(getpid()));
        fs::create_directory(made);
        refused.push_back(made.string());
        refused.push_back((memory / "neexistuje").string());
    }
    for (const std::string& folder : refused) {
        dialogs_->Expect("Zadaná cesta se nenachází na pevném disku!", "Záloha dat", ui::IDOK);
        RunBackup(folder);
        EXPECT_EQ(dialogs_->LastMessage()->Icon(), ui::MB_ICONERROR);
    }
    EXPECT_EQ(dialogs_->Messages().size(), refused.size());
    if (!memory.empty()) {
        EXPECT_TRUE(fs::is_empty(made));
        EXPECT_FALSE(fs::exists(memory / "neexistuje"));
        fs::remove_all(made);
    }
    ExpectAllOpen();
    if (memory.empty())
        GTEST_SKIP() << "no memory-backed mount on this machine; only the empty box was tried";
}

TEST_F(BackupWindow, AFolderThatCannotBeMadeIsSaidSoAndNothingIsReportedDone)
{
    Start();
    const fs::path target = backup_ / "chybí" / "záloha"; // only one level is made
    dialogs_->Expect("Adresář " + target.string() + " neexistuje.\nPřejete si jej vytvořit?", "Záloha dat", ui::IDYES);
    dialogs_->Answer(ui::IDOK);
    RunBackup(target.string());
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    EXPECT_EQ(dialogs_->Messages()[1].Text.rfind("Adresář " + target.string() + " se nepodařilo vytvořit", 0), 0u)
        << dialogs_->Messages()[1].Text;
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONERROR);
    EXPECT_FALSE(fs::exists(target.parent_path()));
    ExpectAllOpen();
}

// A file that cannot be written stops the run with its name; the old set stays whole.
TEST_F(BackupWindow, AFailedCopyKeepsTheOldSetAndNamesTheFile)
{
    Start();
    dialogs_->Expect("Záloha dat byla úspěšně dokončena.");
    RunBackup(backup_.string());
    const auto before = BackupBytes(backup_);
    ChangeData("B1");
    fs::create_directory(backup_ / "Knihy.bak.tmp"); // the place the new copy would take
    dialogs_->Answer(ui::IDOK);
    RunBackup(backup_.string());
    ASSERT_EQ(dialogs_->Messages().size(), 2u);
    const std::string text = dialogs_->Messages()[1].Text;
    EXPECT_NE(text.find("Knihy.bak"), std::string::npos) << text;
    EXPECT_NE(text.find("Záloha nebyla provedena."), std::string::npos) << text;
    EXPECT_EQ(dialogs_->Messages()[1].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(BackupBytes(backup_), before);
    EXPECT_EQ(Leftovers(backup_), (std::vector<std::string>{"Knihy.bak.tmp"}));
    EXPECT_TRUE(Form6->BitBtn2.isVisibleTo(Form6));
    ExpectAllOpen();
    EXPECT_EQ(Form9->Table1.RecordCount(), 1);
}

TEST_F(BackupWindow, ASecondBackupReplacesTheSetAndLeavesOtherFiles)
{
    Start();
    WriteBytes(backup_ / "poznámka.txt", "jiný soubor");
    dialogs_->Expect("Záloha dat byla úspěšně dokončena.");
    RunBackup(backup_.string());
    const auto first = BackupBytes(backup_);
    ChangeData("B1");
    dialogs_->Expect("Záloha dat byla úspěšně dokončena.");
    // The menu item opens the same window.
    dialogs_->ExpectModal(*Form6, std::function<void(TForm6&)>([this](TForm6& window) {
                              EXPECT_EQ(window.Edit1.Text(), ""); // emptied on showing
                              window.Edit1.SetText(backup_.string());
                              window.BitBtn2.Click();
                          }),
                          ui::mrCancel);
    Form1->Zloha1.Click();
    const auto second = BackupBytes(backup_);
    EXPECT_NE(second.at("Knihy.bak"), first.at("Knihy.bak"));
    EXPECT_NE(second.at("Klíčová slova.bak"), first.at("Klíčová slova.bak"));
    const auto tables = TableBytes(folder_);
    for (const backup::SetMember& member : backup::kBackupSet)
        EXPECT_EQ(second.at(std::string(member.backup)), tables.at(std::string(member.table)));
    EXPECT_EQ(ReadBytes(backup_ / "poznámka.txt"), "jiný soubor");
    EXPECT_TRUE(Leftovers(backup_).empty());
}

TEST_F(BackupWindow, HelpStornoAndEnter)
{
    Start();
    dialogs_->ExpectModal(*Form6, std::function<void(TForm6& window)>([](TForm6& window) {
                              window.BitBtn4.Click();
                              window.Edit1.SetFocus();
                              QTest::keyClick(&window.Edit1, Qt::Key_Return);
                              EXPECT_EQ(window.ActiveControl(), &window.BitBtn1);
                              window.BitBtn3.Click();
                              EXPECT_EQ(window.ModalResult(), ui::mrCancel);
                          }));
    Form1->BitBtn4.Click();
    ASSERT_EQ(dialogs_->HelpRequests().size(), 1u);
    EXPECT_EQ(dialogs_->HelpRequests()[0].Topic, "DATABAZE");
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(BackupWindow, ThePickerFillsTheFolderBoxesOfBothWindows)
{
    Start();
    const fs::path chosen = backup_ / "vybraná";
    fs::create_directory(chosen);
    dialogs_->ExpectModal(*Form6, std::function<void(TForm6&)>([&](TForm6& window) {
                              // Storno leaves the box as it was.
                              dialogs_->ExpectModal(*Form18, std::function<void(TForm18&)>([](TForm18& picker) {
                                                        picker.BitBtn2.Click();
                                                    }),
                                                    ui::mrCancel);
                              window.BitBtn1.Click();
                              EXPECT_EQ(window.Edit1.Text(), "");
                              dialogs_->ExpectModal(*Form18, std::function<void(TForm18&)>([&](TForm18& picker) {
                                                        // The first showing lists the current folder.
                                                        EXPECT_EQ(picker.DirectoryListBox1.Directory(),
                                                                  fs::current_path());
                                                        picker.DirectoryListBox1.SetDirectory(chosen);
                                                        picker.BitBtn1.Click();
                                                        EXPECT_EQ(picker.ModalResult(), ui::mrOk);
                                                    }),
                                                    ui::mrCancel);
                              window.BitBtn1.Click();
                              EXPECT_EQ(window.Edit1.Text(), chosen.string());
                              window.BitBtn3.Click();
                          }));
    Form1->BitBtn4.Click();
    EXPECT_EQ(Form8->Edit1.Text(), chosen.string());
    // The picker keeps its folder for the next showing.
    dialogs_->ExpectModal(*Form18, std::function<void(TForm18&)>([&](TForm18& picker) {
                              EXPECT_EQ(picker.DirectoryListBox1.Directory(), chosen);
                          }),
                          ui::mrCancel);
    Form18->ShowModal();
}

} // namespace
