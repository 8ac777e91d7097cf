// The start-up password prompt in the program as it starts: the windows are created as the entry
// creates them, the prompt is shown, and the librarian types, presses OK or Storno.

#include "AppFixture.h"
#include "app/Hlavni.h"
#include "app/NabihaciDialog.h"
#include "app/ZadaniHesla.h"
#include "app/password/PasswordHash.h"
#include "password_support.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QTest>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const char* const kWrongPassword = "Zadali jste špatné heslo!";

class PasswordPrompt : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        store_.emplace(); // a store of its own, which may be made read-only
    }
    void TearDown() override {
        store_.reset();
        AppTest::TearDown();
    }

    // Starts as the entry does: every window created, then the prompt shown; gives the prompt
    // the time of its first paint.
    void Start() {
        CreateProgramWindows();
        ASSERT_NE(Form15, nullptr);
        ASSERT_EQ(ui::Application.MainForm, Form15);
        ASSERT_FALSE(Form1->isVisible());
        Form15->Show();
        (void)QTest::qWaitFor([] { return Form1->isVisible(); }, 300);
    }
    bool MainWindowUp() const { return Form1->isVisible() && !Form15->isVisible(); }
    bool PromptWaiting() const { return Form15->isVisible() && !Form1->isVisible(); }

    static void Type(const std::string& text) {
        Form15->Edit1.SetFocus();
        pwtest::TypeKeys(Form15->Edit1, text);
    }
    static void Retype(const std::string& text) {
        Form15->Edit1.Clear();
        Type(text);
    }

    pwtest::PasswordStore& Store() { return *store_; }

private:
    std::optional<pwtest::PasswordStore> store_;
};

TEST_F(PasswordPrompt, WithoutAStoredPasswordTheMainWindowComesUpAtOnce) {
    Start();
    EXPECT_TRUE(MainWindowUp());
    EXPECT_FALSE(Form13->isVisible());
    EXPECT_FALSE(Form13->Label1.isHidden());
    EXPECT_FALSE(ui::Application.Terminated());
    EXPECT_TRUE(dialogs_->Messages().empty());
    // The main window's start recorded the program folder, not a password.
    EXPECT_FALSE(Store().Stored());
}

TEST_F(PasswordPrompt, WrongPasswordIsRefusedAsOftenAsTypedThenTheRightOneOpensTheProgram) {
    Store().Store(*password::Hash("Knihovna"));
    Start();
    ASSERT_TRUE(PromptWaiting());
    EXPECT_EQ(Form15->Caption(), "Zadejte heslo");
    EXPECT_EQ(Form15->Label1.Caption(), "Zadejte prosím heslo pro spuštění programu:");
    EXPECT_EQ(ui::S(Form15->Edit1.displayText()), "");

    for (const std::string& wrong : {std::string(), std::string("knihovn"), std::string("Knihovna ")}) {
        dialogs_->Expect(kWrongPassword, "Zadání hesla");
        Retype(wrong);
        QTest::mouseClick(&Form15->BitBtn1, Qt::LeftButton);
        EXPECT_TRUE(PromptWaiting()) << wrong;
        EXPECT_EQ(Form15->Edit1.Text(), wrong); // the typed text stays for another try
    }
    ASSERT_EQ(dialogs_->Messages().size(), 3u);
    for (const auto& m : dialogs_->Messages()) {
        EXPECT_EQ(m.Icon(), ui::MB_ICONERROR);
        EXPECT_EQ(m.Buttons(), ui::MB_OK);
        EXPECT_EQ(m.Owner, "Form15");
    }

    Retype("KNIHOVNA");
    EXPECT_EQ(Form15->Edit1.Color(), ui::clInfoBk);
    EXPECT_EQ(Form15->Edit1.FontColor(), ui::clBlue);
    EXPECT_EQ(ui::S(Form15->Edit1.displayText()), "********");
    QTest::keyClick(&Form15->Edit1, Qt::Key_Return); // Enter presses OK
    EXPECT_TRUE(MainWindowUp());
    EXPECT_FALSE(Form13->Label1.isHidden());
    EXPECT_EQ(dialogs_->Messages().size(), 3u);
}

TEST_F(PasswordPrompt, StornoEndsTheProgramWithoutTheMainWindow) {
    Store().Store(*password::Hash("tajne"));
    Start();
    ASSERT_TRUE(PromptWaiting());
    Type("tajne");
    QTest::mouseClick(&Form15->BitBtn2, Qt::LeftButton);
    EXPECT_TRUE(ui::Application.Terminated());
    EXPECT_FALSE(Form15->isVisible());
    EXPECT_FALSE(Form13->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(PasswordPrompt, AReadOnlyStoreWithoutAPasswordStillLetsTheProgramStart) {
    Store().ReadOnly(); // not even the key exists, and it cannot be created
    dialogs_->Expect("Nepodařilo se zapsat data do systémového registru!", "Chyba při zápisu do registru");
    Start();
    EXPECT_TRUE(MainWindowUp());
    EXPECT_FALSE(ui::Application.Terminated());
}

TEST_F(PasswordPrompt, AReadOnlyStoreStillAsksForTheStoredPassword) {
    Store().Store(*password::Hash("tajne"));
    Store().ReadOnly();
    dialogs_->Expect("Nepodařilo se zapsat data do systémového registru!", "Chyba při zápisu do registru");
    Start();
    ASSERT_TRUE(PromptWaiting());
    dialogs_->Expect(kWrongPassword, "Zadání hesla");
    Type("spatne");
    QTest::mouseClick(&Form15->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(PromptWaiting());
    Retype("tajne");
    QTest::mouseClick(&Form15->BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(MainWindowUp());
}

TEST_F(PasswordPrompt, AStoreThatCannotBeReadKeepsTheProgramLocked) {
    Store().Damage();
    dialogs_->Expect("Nepodařilo se zapsat data do systémového registru!", "Chyba při zápisu do registru");
    Start();
    ASSERT_TRUE(PromptWaiting());
    for (const char* typed : {"", "tajne"}) {
        Retype(typed);
        QTest::mouseClick(&Form15->BitBtn1, Qt::LeftButton);
        EXPECT_TRUE(PromptWaiting());
    }
    EXPECT_EQ(dialogs_->Messages().size(), 1u);
    QTest::mouseClick(&Form15->BitBtn2, Qt::LeftButton);
    EXPECT_TRUE(ui::Application.Terminated());
}

} // namespace
