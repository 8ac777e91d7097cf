// The discard dialog: the date it offers, the dates it refuses, and what it writes to the book.

#include "BookDialogFixture.h"

#include "catalogue/VyrazeniKnihy.h"

using namespace booktest;

namespace {

const char* const kBadDate = "Zadané datum je ve špatném formátu!";

class DiscardDialog : public BookDialogTest {
protected:
    void SetUp() override
    {
        BookDialogTest::SetUp();
        babicka_ = AddBook("K001", "Babička");
        AddBook("K002", "Krakatit");
    }
    // Opens the dialog as the books page does: the books table on the book by its code.
    void Discard(const std::string& code, const std::function<void(TForm17&)>& action,
                 ui::TModalResult closeWith = ui::mrCancel)
    {
        Form1->Table2.SetFiltered(false);
        Form1->Table2.SetFilter("Kod='" + code + "'");
        Form1->Table2.SetFiltered(true);
        dialogs_->ExpectModal(*Form17, action, closeWith);
        Form17->ShowModal();
    }
    std::int64_t babicka_ = 0;
};

TEST_F(DiscardDialog, OffersTheClockDateAndWritesTheDiscard)
{
    StartProgram();
    // The program's current date is another day; the dialog takes the computer's.
    Form1->Edit2.SetText("1.1.2024");
    const auto before = Stored("K001");
    Discard("K001", [](TForm17& d) {
        EXPECT_EQ(d.Caption(), "Vyřazení knihy");
        EXPECT_EQ(d.Edit1.Text(), "15.9.2024");
        EXPECT_EQ(d.Memo1.Text(), "");
        EXPECT_TRUE(d.Edit1.hasFocus());
        EXPECT_EQ(d.Edit1.Color(), ui::clInfoBk);
        // Enter in the date goes on to the note.
        QTest::keyClick(&d.Edit1, Qt::Key_Return);
        EXPECT_TRUE(d.Memo1.hasFocus());
        EXPECT_EQ(d.Edit1.Color(), ui::clWhite);
        d.Memo1.SetText("Poškozená vazba\nvylitý čaj");
        d.Edit1.SetText("10.9.2024");
        QTest::mouseClick(&d.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(d.ModalResult(), ui::mrOk);
    });
    EXPECT_TRUE(dialogs_->Messages().empty());
    auto after = Stored("K001");
    EXPECT_EQ(after.at("VyrazenoDatum"), "10.9.2024");
    EXPECT_EQ(after.at("VyrazenoText"), "Poškozená vazba\nvylitý čaj");
    EXPECT_EQ(after.at("Vlastnosti"), "Vyřazená");
    for (const char* field : {"VyrazenoDatum", "VyrazenoText", "Vlastnosti"})
        after[field] = before.at(field);
    EXPECT_EQ(after, before);
    EXPECT_EQ(Stored("K002").at("Vlastnosti"), "");
    // The books list, read again, shows the new state.
    Form1->Query1.First();
    EXPECT_EQ(Form1->Query1.FieldByName("Vlastnosti").AsString(), "Vyřazená");
}

TEST_F(DiscardDialog, TodayButtonPutsTheClockDateAndMovesToTheNote)
{
    StartProgram();
    Discard("K001", [](TForm17& d) {
        d.Edit1.SetText("");
        d.Button1.Click();
        EXPECT_EQ(d.Edit1.Text(), "15.9.2024");
        EXPECT_TRUE(d.Memo1.hasFocus());
        d.BitBtn2.Click();
    });
    EXPECT_EQ(Stored("K001").at("Vlastnosti"), "");
    EXPECT_EQ(Stored("K001").at("VyrazenoDatum"), "");
}

class DiscardBadDate : public DiscardDialog, public ::testing::WithParamInterface<const char*> {};

// Only the form the program writes dates in is taken.
TEST_P(DiscardBadDate, IsRefusedAndNothingIsWritten)
{
    StartProgram();
    dialogs_->Expect(kBadDate, "Špatný formát datumu");
    Discard("K001", [](TForm17& d) {
        d.Edit1.SetText(GetParam());
        d.BitBtn1.Click();
        EXPECT_EQ(d.ModalResult(), ui::mrNone);
        EXPECT_EQ(d.Edit1.Text(), GetParam());
    });
    EXPECT_EQ(dialogs_->Messages().at(0).Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(Stored("K001").at("Vlastnosti"), "");
    EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
}

INSTANTIATE_TEST_SUITE_P(Dates, DiscardBadDate,
                         ::testing::Values("", "01.09.2024", "1.9.24", "31.2.2024", "zítra", " 1.9.2024",
                                           "1.9.2024 10:00", "1/9/2024"));

TEST_F(DiscardDialog, AFailedSaveIsShownAsSuchAndCancelled)
{
    StartProgram();
    Form1->Table2.BeforePost = [](data::TDataSet&) { throw data::EDatabaseError("Disk je plný."); };
    Discard("K001", [this](TForm17& d) {
        d.Memo1.SetText("ztracená");
        dialogs_->Answer(ui::IDOK);
        d.BitBtn1.Click();
        ASSERT_EQ(dialogs_->Messages().size(), 1u);
        // Not the date warning: the librarian is told what really failed.
        EXPECT_EQ(dialogs_->Messages()[0].Text, "Vyřazení knihy se nepodařilo uložit.\nDisk je plný.");
        EXPECT_EQ(dialogs_->Messages()[0].Icon(), ui::MB_ICONERROR);
        EXPECT_EQ(d.ModalResult(), ui::mrNone);
        EXPECT_EQ(d.Memo1.Text(), "ztracená");
        EXPECT_EQ(Form1->Table2.State(), data::TDataSetState::dsBrowse);
    });
    Form1->Table2.BeforePost = nullptr;
    EXPECT_EQ(Stored("K001").at("Vlastnosti"), "");
    // The record left no edit behind for a later filter change to save.
    Form1->Table2.SetFiltered(false);
    EXPECT_EQ(Stored("K001").at("VyrazenoText"), "");
}

TEST_F(DiscardDialog, ABookThatIsGoneIsNotMadeUp)
{
    StartProgram();
    dialogs_->Expect("Kniha, která se má vyřadit, již v databázi není.");
    Discard("NIC", [](TForm17& d) {
        d.BitBtn1.Click();
        EXPECT_EQ(d.ModalResult(), ui::mrNone);
    });
    EXPECT_EQ(CountRecords("Knihy.DB"), 2);
}

TEST_F(DiscardDialog, ANoteTooLongForItsFieldIsRefused)
{
    StartProgram();
    dialogs_->Expect("Poznámka k vyřazení je příliš dlouhá: pojme nejvýše 255 znaků.");
    Discard("K001", [](TForm17& d) {
        d.Memo1.SetText(std::string(200, 'a') + "\n" + std::string(60, 'b'));
        d.BitBtn1.Click();
        EXPECT_EQ(d.ModalResult(), ui::mrNone);
    });
    EXPECT_EQ(Stored("K001").at("VyrazenoText"), "");
}

} // namespace
