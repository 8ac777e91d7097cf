// The main window: start-up, the pages, the menu, the Enter key, help, the about box, shut-down.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "maintenance/ImportDatabaze.h"
#include "app/ZadaniHesla.h"
#include "app/ZmenitDatum.h"
#include "app/NabihaciDialog.h"
#include "app/OAplikaci.h"
#include "platform/sys/Registry.h"
#include "platform/sys/ShellFake.h"
#include "platform/ui/Application.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <fstream>

namespace fs = std::filesystem;
using namespace apptest;

namespace {

const char* const kOpenFailed = "Nepodařilo se otevřít databáze. Aplikace Orbelin Pernoka bude nyní ukončena.";

class MainWindowTest : public AppTest {};

TEST_F(MainWindowTest, StartsOnTheLoansOverviewWithTheTablesOpen)
{
    AddReader("Novák Jan");
    StartProgram();
    EXPECT_EQ(Form1->Caption(), "Orbelin Pernoka 2.1 CZ Standard Edition");
    EXPECT_EQ(Form1->ClientWidth(), 890);
    EXPECT_EQ(Form1->ClientHeight(), 610);
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 3);
    EXPECT_EQ(Form1->TabbedNotebook1.PageCount(), 6);
    EXPECT_EQ(Form1->TabbedNotebook1.PageCaption(0), "Půjčovat a vracet");
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_FALSE(Form13->isVisible());
    for (data::TDataSet* dataSet : {static_cast<data::TDataSet*>(&Form1->Table1), static_cast<data::TDataSet*>(&Form1->Table7),
                                    static_cast<data::TDataSet*>(&Form1->Query2), static_cast<data::TDataSet*>(&Form1->Query3)})
        EXPECT_TRUE(dataSet->Active()) << dataSet->Name;
    EXPECT_EQ(Form1->DBGrid1.RowCount(), 1);
    EXPECT_EQ(Form1->SortKod, 1);
    EXPECT_EQ(Form1->SortNazev, 2);
    EXPECT_EQ(Form1->SortJmeno, 1);

    // The program folder is the folder of the running program, recorded for the launcher.
    EXPECT_FALSE(Form1->Edit13.Text().empty());
    EXPECT_NE(Form1->Edit13.Text().back(), '/');
    sys::RegistryKey key;
    ASSERT_TRUE(key.Open(false));
    EXPECT_EQ(key.ReadString("Path"), Form1->Edit13.Text());
    EXPECT_EQ(ui::Application.HelpFile, Form1->Edit13.Text() + "/Data/Help/Nápověda.html");
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(MainWindowTest, UnwritableSettingsAreReportedAndStartGoesOn)
{
    fs::create_directory(folder_ / "blocked");
    setenv("LENDAR_REGISTRY", (folder_ / "blocked").c_str(), 1); // a folder is no settings file
    dialogs_->Expect("Nepodařilo se zapsat data do systémového registru!", "Chyba při zápisu do registru");
    StartProgram();
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONERROR);
    EXPECT_FALSE(ui::Application.Terminated());
}

// A missing table ends the program with one message, whether a list fails as the window is made
// or a table fails when it is shown.
class MissingTableTest : public AppTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingTableTest, EndsWithTheOpenMessage)
{
    fs::remove(folder_ / GetParam());
    dialogs_->Expect(kOpenFailed, "Chyba");
    CreateProgramWindows();
    if (!Form1->OpenFailed)
        Form1->Show();
    EXPECT_TRUE(Form1->OpenFailed);
    EXPECT_TRUE(ui::Application.Terminated());
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
}

INSTANTIATE_TEST_SUITE_P(Files, MissingTableTest,
                         ::testing::Values("Čtenáři.db", "Knihy.DB", "VýpůjčkyArchiv.db", "Výpůjčky.db", "Číselníky04.db"));

TEST_F(MainWindowTest, MenuChoosesAPageWithoutTheRefresh)
{
    AddReader("Novák Jan");
    StartProgram();
    Form1->Zobrazit4.Click();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 4);
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    Form1->Zobrazit1.Click();
    EXPECT_EQ(Form1->TabbedNotebook1.PageIndex(), 0);
    // No refresh ran: the reader list is still empty.
    EXPECT_EQ(Form1->ComboBox1.Count(), 0);
    ClickTab(4);
    ClickTab(0);
    EXPECT_EQ(Form1->ComboBox1.Count(), 1);
}

struct ExitCase {
    int answer;
    bool ends;
};

class ExitQuestionTest : public AppTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitQuestionTest, AsksBeforeEnding)
{
    StartProgram();
    dialogs_->Expect("Opravdu chcete ukončit program Pernoka?", "Ukončení programu", GetParam().answer);
    Form1->Konec1.Click();
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONQUESTION);
    EXPECT_EQ(dialogs_->Messages().at(0).Buttons(), ui::MB_YESNO);
    EXPECT_EQ(ui::Application.Terminated(), GetParam().ends);
    EXPECT_TRUE(Form1->Table3.Active());
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitQuestionTest, ::testing::Values(ExitCase{ui::IDYES, true}, ExitCase{ui::IDNO, false}));

// The window's menu shortcuts come before a text field's own key bindings (Ctrl+X is "Konec",
// not "cut"), whichever field has the focus; F1 and Ctrl+H likewise.
TEST_F(MainWindowTest, MenuShortcutsWorkWithATextFieldFocused)
{
    AddReader("Novák Jan");
    StartProgram();
    ClickTab(0);
    QApplication::setActiveWindow(Form1);
    for (ui::TControl* field : {static_cast<ui::TControl*>(&Form1->Edit1), static_cast<ui::TControl*>(&Form1->ComboBox1),
                                static_cast<ui::TControl*>(&Form1->cbKnihy)}) {
        field->SetFocus();
        ASSERT_TRUE(field->Focused()) << field->Name;
        dialogs_->Expect("Opravdu chcete ukončit program Pernoka?", "Ukončení programu", ui::IDNO);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::ControlModifier);
    }
    EXPECT_EQ(dialogs_->Messages().size(), 3u);
    Form1->Edit1.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("K1"));
    Form1->Edit1.selectAll();
    dialogs_->Expect("Opravdu chcete ukončit program Pernoka?", "Ukončení programu", ui::IDNO);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Form1->Edit1.Text(), "K1") << "the field must not have cut its text";
    EXPECT_FALSE(ui::Application.Terminated());
}

TEST_F(MainWindowTest, MenuSeparatorsCarryNoText)
{
    StartProgram();
    for (ui::TMenuItem* separator : {&Form1->N21, &Form1->N22, &Form1->N23, &Form1->N24}) {
        ASSERT_NE(separator->Action(), nullptr);
        EXPECT_TRUE(separator->Action()->isSeparator());
        // A separator's text would be drawn as a section heading.
        EXPECT_TRUE(separator->Action()->text().isEmpty());
    }
}

TEST_F(MainWindowTest, EnterMovesToTheNextFieldAtTheDesk)
{
    AddReader("Novák Jan");
    AddBook("K001", "Babička");
    StartProgram();
    ClickTab(0);
    QApplication::setActiveWindow(Form1);
    Form1->Edit1.SetFocus();
    Form1->Edit1.SetText("K001");
    ASSERT_TRUE(Form1->BitBtn10.Enabled());
    Form1->Edit1.SimulateKey(ui::VK_RETURN, '\r');
    EXPECT_TRUE(Form1->cbKnihy.Focused());
    Form1->cbKnihy.SimulateKey(ui::VK_RETURN, '\r');
    EXPECT_TRUE(Form1->BitBtn10.Focused());
    EXPECT_TRUE(Loans().empty());
}

TEST_F(MainWindowTest, FocusedDeskFieldsAreHighlighted)
{
    StartProgram();
    ClickTab(0);
    QApplication::setActiveWindow(Form1);
    Form1->Edit1.SetFocus();
    EXPECT_EQ(Form1->Edit1.Color(), ui::clInfoBk);
    EXPECT_EQ(Form1->Edit1.FontColor(), ui::clBlue);
    Form1->ComboBox1.SetFocus();
    EXPECT_EQ(Form1->Edit1.Color(), ui::clWhite);
    EXPECT_EQ(Form1->Edit1.FontColor(), ui::clBlack);
    EXPECT_EQ(Form1->ComboBox1.Color(), ui::clInfoBk);
}

TEST_F(MainWindowTest, HelpOpensTheShippedDocument)
{
    StartProgram();
    fs::create_directories(folder_ / "Data" / "Help");
    std::ofstream(folder_ / "Data" / "Help" / "Nápověda.html") << "<html></html>";
    Form1->Edit13.SetText(folder_.string());
    Form1->Obsah1.Click();
    ASSERT_EQ(dialogs_->HelpRequests().size(), 1u);
    EXPECT_EQ(dialogs_->HelpRequests()[0].File, (folder_ / "Data" / "Help" / "Nápověda.html").string());
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(MainWindowTest, MissingHelpIsReported)
{
    StartProgram();
    Form1->Edit13.SetText(folder_.string());
    dialogs_->Expect("Nepodařilo se najít soubor nápovědy!", "Nápověda nenalezena");
    Form1->SpeedButton1.Click();
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONWARNING);
    EXPECT_TRUE(dialogs_->HelpRequests().empty());
}

TEST(ShippedHelp, HasTheDatabaseTopic)
{
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream file(fs::path(source) / "install" / "Data" / "Help" / "Nápověda.html");
    ASSERT_TRUE(file);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("id=\"DATABAZE\""), std::string::npos);
    EXPECT_NE(text.find("charset=\"utf-8\""), std::string::npos);
}

TEST_F(MainWindowTest, AboutBoxOpensTheMakersPage)
{
    StartProgram();
    sys::ShellFake shell;
    sys::ScopedShell scope(shell);
    dialogs_->ExpectModal(*Form16, std::function<void(TForm16&)>([](TForm16& about) {
        about.Label4.OnMouseEnter(&about.Label4);
        EXPECT_TRUE(about.Label4.font().underline());
        about.Label4.OnMouseLeave(&about.Label4);
        EXPECT_FALSE(about.Label4.font().underline());
        QTest::mouseClick(&about.Label4, Qt::LeftButton);
        about.Button1.Click();
    }));
    Form1->Oaplikaci1.Click();
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].kind, sys::ShellFake::Kind::OpenUrl);
    EXPECT_EQ(shell.calls[0].target, kMakerWebAddress);
}

TEST_F(MainWindowTest, PasswordSettingsOpenFromTheToolBarAndTheMenu)
{
    StartProgram();
    dialogs_->ExpectModal("Form14", {}, ui::mrCancel);
    dialogs_->ExpectModal("Form14", {}, ui::mrCancel);
    QTest::mouseClick(&Form1->BitBtn29, Qt::LeftButton);
    Form1->Nastavvenhesla1.Click();
    EXPECT_EQ(dialogs_->ModalsShown(), (std::vector<std::string>{"Form14", "Form14"}));
}

TEST_F(MainWindowTest, FailedRecomputationRestoresTheDeskAndIsShown)
{
    AddLoan(AddReader("Novák Jan"), AddBook("K001", "Babička", true), DayText(-2));
    StartProgram();
    Form1->Table3.SetFilter("VracenoB='True'");
    Form1->Edit2.SetText("nesmysl");
    dialogs_->Answer(ui::IDOK);
    AsUser([] { Form1->Timer3Timer(nullptr); });
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(Form1->Table3.Filter(), "VracenoB='False'");
    EXPECT_TRUE(Form1->Table3.Filtered());
    EXPECT_TRUE(Form1->TabbedNotebook1.Visible());
    EXPECT_EQ(Loans().at(0).Dnu, 2);
}

TEST_F(MainWindowTest, WindowsAreCreatedInTheirOrder)
{
    CreateProgramWindows();
    EXPECT_EQ(ui::Application.MainForm, Form15);
    EXPECT_EQ(Form12->Caption(), "Změnit aktuální datum");
    EXPECT_EQ(frmImport->Caption(), "Import databáze");
    EXPECT_FALSE(Form1->isVisible());
}

} // namespace
