// The scripted dialog service and the application's error display.

#include "DialogsScope.h"
#include "UiTest.h"

#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class DialogsTest : public ui_test::UiTest {};

TEST_F(DialogsTest, MessagesAreRecordedAndAnsweredInOrder)
{
    ui_test::DialogsScope dialogs;
    ui::TForm owner("Form1");
    dialogs.Expect("Opravdu chcete ukončit program Pernoka?", "Ukončení programu", ui::IDNO);
    dialogs.Answer(ui::IDYES);
    EXPECT_EQ(ui::MessageBox(&owner, "Opravdu chcete ukončit program Pernoka?", "Ukončení programu",
                             ui::MB_YESNO | ui::MB_ICONQUESTION),
              ui::IDNO);
    EXPECT_EQ(ui::Application.MessageBox("Smazat?", "Potvrzení", ui::MB_YESNOCANCEL | ui::MB_ICONWARNING), ui::IDYES);
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const auto& first = dialogs.Messages()[0];
    EXPECT_EQ(first.Owner, "Form1");
    EXPECT_EQ(first.Icon(), ui::MB_ICONQUESTION);
    EXPECT_EQ(first.Buttons(), ui::MB_YESNO);
    EXPECT_EQ(dialogs.Messages()[1].Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(dialogs.Messages()[1].Owner, "");
}

struct Unexpected {
    int buttons;
    int safeAnswer;
};

class UnexpectedMessageTest : public DialogsTest, public ::testing::WithParamInterface<Unexpected> {};

TEST_P(UnexpectedMessageTest, IsAFailureAnsweredSafely)
{
    ui::ScriptedDialogs dialogs;
    std::vector<std::string> failures;
    dialogs.OnFailure = [&](const std::string& what) { failures.push_back(what); };
    EXPECT_EQ(ui::MessageBox(nullptr, "Smazat všechny záznamy?", "Pozor", GetParam().buttons), GetParam().safeAnswer);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Smazat všechny záznamy?"), std::string::npos);
    EXPECT_EQ(dialogs.Messages().size(), 1u); // still recorded
}

INSTANTIATE_TEST_SUITE_P(Buttons, UnexpectedMessageTest,
                         ::testing::Values(Unexpected{ui::MB_OK, ui::IDOK}, Unexpected{ui::MB_YESNO, ui::IDNO},
                                           Unexpected{ui::MB_YESNOCANCEL, ui::IDCANCEL},
                                           Unexpected{ui::MB_OKCANCEL, ui::IDCANCEL}));

TEST_F(DialogsTest, AMessageOtherThanTheExpectedOneIsAFailure)
{
    ui::ScriptedDialogs dialogs;
    std::vector<std::string> failures;
    dialogs.OnFailure = [&](const std::string& what) { failures.push_back(what); };
    dialogs.Expect("Kniha s tímto kódem již existuje!", ui::IDOK);
    EXPECT_EQ(ui::MessageBox(nullptr, "Smazat knihu?", "Smazání", ui::MB_YESNO), ui::IDNO);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Kniha s tímto kódem již existuje!"), std::string::npos);
}

TEST_F(DialogsTest, AnswersLeftUnusedAreAFailureAndNothingLeaksIntoTheNextScript)
{
    std::vector<std::string> failures;
    {
        ui::ScriptedDialogs dialogs;
        dialogs.OnFailure = [&](const std::string& what) { failures.push_back(what); };
        dialogs.Answer(ui::IDYES);
        dialogs.AnswerInput("Nový typ");
        dialogs.ExpectModal("Form9");
    }
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("input box"), std::string::npos);
    EXPECT_NE(failures[0].find("Form9"), std::string::npos);
    // The real service is back; a new script starts empty.
    ui::ScriptedDialogs next;
    EXPECT_EQ(&ui::Dialogs(), &next);
    EXPECT_TRUE(next.Unused().empty());
}

TEST_F(DialogsTest, InputBoxesAndFileDialogsAreScripted)
{
    ui_test::DialogsScope dialogs;
    dialogs.AnswerInput("Sci-fi");
    dialogs.CancelInput();
    dialogs.AnswerOpenFile("/tmp/ctenari.dbf");
    std::string value = "puvodni";
    EXPECT_TRUE(ui::InputQuery("Zadejte název", "Zadejte prosím název nového typu knihy:", value));
    EXPECT_EQ(value, "Sci-fi");
    EXPECT_EQ(ui::InputBox("Zadejte název filtru", "Zadejte prosím název filtru:", "výchozí"), "výchozí");
    ui::TOpenDialog open;
    open.Filter = "Databázové soubory (*.dbf)|*.dbf";
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/tmp/ctenari.dbf");
    ASSERT_EQ(dialogs.Inputs().size(), 2u);
    EXPECT_EQ(dialogs.Inputs()[0].Prompt, "Zadejte prosím název nového typu knihy:");
    EXPECT_EQ(dialogs.OpenFiles()[0].Filter, "Databázové soubory (*.dbf)|*.dbf");
}

TEST_F(DialogsTest, HelpRequestsAreRecorded)
{
    ui_test::DialogsScope dialogs;
    ui::Application.HelpFile = "/opt/Pernoka/Data/Help/Nápověda.hlp";
    ui::Application.HelpJump("DATABAZE");
    ASSERT_EQ(dialogs.HelpRequests().size(), 1u);
    EXPECT_EQ(dialogs.HelpRequests()[0].Topic, "DATABAZE");
    EXPECT_EQ(dialogs.HelpRequests()[0].File, "/opt/Pernoka/Data/Help/Nápověda.hlp");
}

TEST_F(DialogsTest, AnErrorEscapingAUserClickIsShownAndTheProgramGoesOn)
{
    ui_test::DialogsScope dialogs;
    ui::Application.Title = "Orbelin Pernoka";
    ui::TForm form("Form1");
    ui::TButton button(&form, "Půjčit");
    int clicks = 0;
    button.OnClick = [&](ui::TObject*) {
        if (++clicks == 1)
            throw std::runtime_error("Table2: Neplatný filtr.");
    };
    dialogs.Expect("Table2: Neplatný filtr.", "Orbelin Pernoka", ui::IDOK);
    ShowActive(form);
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].Icon(), ui::MB_ICONERROR);
    EXPECT_EQ(dialogs.Messages()[0].Buttons(), ui::MB_OK);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
}

TEST_F(DialogsTest, ANonStandardErrorShowsAnEmptyMessage)
{
    ui_test::DialogsScope dialogs;
    dialogs.Expect("", ui::IDOK);
    EXPECT_FALSE(ui::Application.RunHandler([] { throw 42; }));
}

TEST_F(DialogsTest, AnErrorInAHandlerRunByCodeReachesTheCallingHandler)
{
    ui_test::DialogsScope dialogs;
    ui::TForm form("Form3");
    ui::TEdit edit(&form);
    edit.OnChange = [](ui::TObject*) { throw std::runtime_error("inner"); };
    ui::TButton ok(&form, "OK");
    bool caughtByCaller = false;
    ok.OnClick = [&](ui::TObject*) {
        try {
            edit.SetText("x");
        } catch (const std::runtime_error&) {
            caughtByCaller = true;
        }
    };
    ShowActive(form);
    QTest::mouseClick(&ok, Qt::LeftButton);
    EXPECT_TRUE(caughtByCaller);
    EXPECT_TRUE(dialogs.Messages().empty());
}

} // namespace
