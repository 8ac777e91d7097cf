// The password settings window driven as a librarian would: tick the box, type the passwords,
// press OK or Storno, answer the messages; the key's file is checked afterwards.

#include "app/Nastaveni.h"
#include "app/password/PasswordHash.h"
#include "password_support.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/Text.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace {

const char* const kTitle = "Nastavení hesla";
const char* const kWriteFailed = "Nepodařilo se zapsat data do systémového registru!";

class PasswordSettings : public testing::Test {
protected:
    PasswordSettings() {
        dialogs.OnFailure = [](const std::string& what) { ADD_FAILURE() << what; };
    }

    // Shows the window modally; `user` works in it while it is shown. A window still open
    // afterwards is closed as by its close box.
    void Run(const std::function<void(TForm14&)>& user) {
        dialogs.ExpectModal(form, user, ui::mrCancel);
        form.ShowModal();
    }

    static void Type(ui::TEdit& edit, const std::string& text) {
        edit.SetFocus();
        pwtest::TypeKeys(edit, text);
    }
    static void SetTick(TForm14& f, bool ticked) {
        if (f.CheckBox1.Checked() != ticked)
            QTest::mouseClick(&f.CheckBox1, Qt::LeftButton, {}, QPoint(7, f.CheckBox1.Height() / 2));
        ASSERT_EQ(f.CheckBox1.Checked(), ticked);
    }
    // Sets the box, types the old password and, with the box ticked, the new one and its copy.
    static void FillIn(TForm14& f, bool tick, const std::string& old, const std::string& fresh, const std::string& copy) {
        SetTick(f, tick);
        Type(f.Edit1, old);
        if (tick) {
            Type(f.Edit2, fresh);
            Type(f.Edit3, copy);
        }
    }
    static void PressOk(TForm14& f) { QTest::mouseClick(&f.BitBtn5, Qt::LeftButton); }
    // Closing ends the modal run; the window disappears when the run returns.
    static bool Closed(const TForm14& f) { return f.ModalResult() != ui::mrNone; }

    pwtest::PasswordStore store;
    ui::ScriptedDialogs dialogs;
    TForm14 form;
};

TEST_F(PasswordSettings, ShowsWhetherAPasswordIsStoredAndStartsWithEmptyFields) {
    for (const bool stored : {true, false}) {
        if (stored) {
            store.Store(*password::Hash("tajne"));
        } else {
            sys::RegistryKey key(store.File());
            ASSERT_TRUE(key.Open(false));
            ASSERT_TRUE(key.DeleteValue(password::kRegistryValue));
        }
        Run([&](TForm14& f) {
            EXPECT_EQ(f.CheckBox1.Checked(), stored);
            EXPECT_EQ(f.Edit2.Enabled(), stored);
            EXPECT_EQ(f.Edit3.Enabled(), stored);
            EXPECT_EQ(f.Label2.Enabled(), stored);
            EXPECT_TRUE(f.Edit1.Enabled());
            EXPECT_TRUE(f.CheckBox1.Focused());
            EXPECT_EQ(f.Edit1.Text(), "");
            EXPECT_EQ(f.Edit2.Text(), "");
            EXPECT_EQ(f.Edit3.Text(), "");
            // Leave typed texts and a changed box behind for the next showing to reset.
            SetTick(f, !stored);
            Type(f.Edit1, "x");
            Type(f.Edit2, "y");
            Type(f.Edit3, "z");
        });
        EXPECT_TRUE(dialogs.Messages().empty());
    }
    EXPECT_EQ(form.Caption(), kTitle);
    EXPECT_GE(form.ClientWidth(), 275);
    EXPECT_EQ(form.ClientHeight(), 196);
}

struct Change {
    const char* name;
    std::optional<std::string> before; // password stored before
    bool tick;
    const char* old_;
    const char* new_;
    const char* copy;
    std::optional<std::string> after; // a password that must now be accepted; nothing: none stored
    const char* rejected;             // a password that must no longer be accepted
};

void PrintTo(const Change& c, std::ostream* os) {
    *os << c.name;
}

class PasswordChange : public PasswordSettings, public testing::WithParamInterface<Change> {};

TEST_P(PasswordChange, IsStoredAsAHashAndTheWindowCloses) {
    const Change& c = GetParam();
    if (c.before) store.Store(*password::Hash(*c.before));
    Run([&](TForm14& f) {
        FillIn(f, c.tick, c.old_, c.new_, c.copy);
        PressOk(f);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_FALSE(form.isVisible());
    const auto stored = store.Stored();
    if (!c.after) {
        EXPECT_FALSE(stored) << *stored;
    } else {
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->find(*c.after), std::string::npos) << *stored;
        EXPECT_TRUE(password::Verify(*stored, *c.after));
        EXPECT_FALSE(password::Verify(*stored, c.rejected));
    }
    if (c.before) {
        sys::RegistryKey key(store.File());
        ASSERT_TRUE(key.OpenForReading());
        EXPECT_EQ(key.ReadString("Path"), "/opt/Pernoka"); // other values are kept
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordChange,
                         testing::Values(Change{"FirstPasswordIgnoresTheOldField", std::nullopt, true,
                                                "cokoli", "Knihovna", "Knihovna", "KNIHOVNA", "cokoli"},
                                         Change{"ChangeWithTheOldPasswordInOtherCase", "tajne", true, "TaJnE",
                                                "nové heslo", "nové heslo", "NOVé HESLO", "tajne"},
                                         Change{"RemovedWithTheRightOldPassword", "tajne", false, "tajne", "",
                                                "", std::nullopt, ""},
                                         Change{"NothingStoredAndBoxCleared", std::nullopt, false, "cokoli",
                                                "", "", std::nullopt, ""}),
                         [](const auto& test) { return std::string(test.param.name); });

struct Refusal {
    const char* name;
    std::optional<std::string> before;
    bool tick;
    const char* old_;
    const char* new_;
    const char* copy;
    const char* message;
    int field; // 1, 2 or 3: the field that gets the focus
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class PasswordRefusal : public PasswordSettings, public testing::WithParamInterface<Refusal> {};

TEST_P(PasswordRefusal, WarnsFocusesTheFieldAndWritesNothing) {
    const Refusal& r = GetParam();
    if (r.before)
        store.Store(*password::Hash(*r.before));
    else
        store.StoreNoPassword();
    const std::string content = store.Content();
    dialogs.Expect(r.message, kTitle);
    Run([&](TForm14& f) {
        FillIn(f, r.tick, r.old_, r.new_, r.copy);
        PressOk(f);
        EXPECT_FALSE(Closed(f));
        ui::TEdit* const fields[] = {&f.Edit1, &f.Edit2, &f.Edit3};
        EXPECT_TRUE(fields[r.field - 1]->Focused());
        EXPECT_EQ(f.Edit1.Text(), r.old_);
        EXPECT_EQ(f.Edit3.Text(), r.tick ? r.copy : "");
        // Storno after the refusal changes nothing either.
        QTest::mouseClick(&f.BitBtn6, Qt::LeftButton);
        EXPECT_TRUE(Closed(f));
    });
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const auto& m = dialogs.Messages()[0];
    EXPECT_EQ(m.Icon(), ui::MB_ICONWARNING);
    EXPECT_EQ(m.Buttons(), ui::MB_OK);
    EXPECT_EQ(m.Owner, "Form14");
    EXPECT_EQ(store.Content(), content);
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordRefusal,
                         testing::Values(Refusal{"WrongOldPassword", "tajne", true, "tajná", "nove", "nove",
                                                 "Zadali jste špatné staré heslo!", 1},
                                         Refusal{"WrongOldPasswordComesBeforeAnEmptyNewOne", "tajne", true,
                                                 "", "", "", "Zadali jste špatné staré heslo!", 1},
                                         Refusal{"RemovingNeedsTheOldPassword", "tajne", false, "tajne2", "",
                                                 "", "Zadali jste špatné staré heslo!", 1},
                                         Refusal{"EmptyNewPassword", "tajne", true, "TAJNE", "", "",
                                                 "Nezadali jste nové heslo!", 2},
                                         Refusal{"EmptyNewPasswordWithACopy", std::nullopt, true, "x", "",
                                                 "abc", "Nezadali jste nové heslo!", 2},
                                         Refusal{"CopyDiffersInCase", "tajne", true, "tajne", "Nove", "nove",
                                                 "Zadané heslo se neshoduje s kopií!", 3},
                                         Refusal{"CopyDiffers", std::nullopt, true, "", "abc", "abd",
                                                 "Zadané heslo se neshoduje s kopií!", 3}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(PasswordSettings, AReadOnlyStoreShowsTheStateChecksTheOldPasswordAndReportsTheFailedWrite) {
    store.Store(*password::Hash("tajne"));
    const std::string content = store.Content();
    store.ReadOnly();
    dialogs.Expect("Zadali jste špatné staré heslo!", kTitle);
    dialogs.Expect(kWriteFailed, kTitle);
    Run([&](TForm14& f) {
        EXPECT_TRUE(f.CheckBox1.Checked());
        SetTick(f, false);
        Type(f.Edit1, "spatne");
        PressOk(f);
        EXPECT_FALSE(Closed(f));
        f.Edit1.Clear();
        Type(f.Edit1, "tajne");
        PressOk(f);
        EXPECT_TRUE(Closed(f));
    });
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[1].Icon(), ui::MB_ICONERROR);
    store.Writable();
    EXPECT_EQ(store.Content(), content);
}

TEST_F(PasswordSettings, AReadOnlyStoreWithoutAKeyTakesNoFirstPassword) {
    store.ReadOnly();
    dialogs.Expect(kWriteFailed, kTitle);
    Run([&](TForm14& f) {
        EXPECT_FALSE(f.CheckBox1.Checked());
        SetTick(f, true);
        Type(f.Edit2, "nove");
        Type(f.Edit3, "nove");
        PressOk(f);
        EXPECT_TRUE(Closed(f));
    });
    store.Writable();
    EXPECT_FALSE(std::filesystem::exists(store.File()));
}

TEST_F(PasswordSettings, AStoreThatCannotBeReadIsNeverWritten) {
    // The old password cannot be checked, so neither a new one nor a removal may go through.
    for (const bool tick : {true, false}) {
        store.Damage();
        const std::string content = store.Content();
        dialogs.Expect(kWriteFailed, kTitle);
        Run([&](TForm14& f) {
            FillIn(f, tick, "cokoli", "nove", "nove");
            PressOk(f);
            EXPECT_TRUE(Closed(f));
        });
        EXPECT_EQ(dialogs.LastMessage()->Icon(), ui::MB_ICONERROR);
        EXPECT_EQ(store.Content(), content);
    }
}

TEST_F(PasswordSettings, EnterWalksTheFieldsAndStopsOnOkWithoutPressingIt) {
    store.Store(*password::Hash("tajne"));
    Run([&](TForm14& f) {
        // The field with the focus is highlighted, the others are plain (white or the window colour,
        // which a field keeps until it is first entered).
        const auto highlighted = [&f](const ui::TEdit* focused) {
            for (const ui::TEdit* edit : {&f.Edit1, &f.Edit2, &f.Edit3}) {
                const bool on = edit == focused;
                const bool colours =
                    on ? edit->Color() == ui::clInfoBk && edit->FontColor() == ui::clBlue
                       : (edit->Color() == ui::clWhite || edit->Color() == ui::clWindow) &&
                             (edit->FontColor() == ui::clBlack || edit->FontColor() == ui::clWindowText);
                EXPECT_TRUE(edit->Focused() == on && colours) << edit->Name << " focused " << edit->Focused();
            }
        };
        ASSERT_TRUE(f.CheckBox1.Focused());
        QTest::keyClick(&f.CheckBox1, Qt::Key_Return);
        highlighted(&f.Edit1);
        QTest::keyClick(&f.Edit1, Qt::Key_Return);
        highlighted(&f.Edit2);
        QTest::keyClick(&f.Edit2, Qt::Key_Return);
        highlighted(&f.Edit3);
        QTest::keyClick(&f.Edit3, Qt::Key_Return);
        EXPECT_TRUE(f.BitBtn5.Focused());
        highlighted(nullptr);
        EXPECT_FALSE(Closed(f));
        EXPECT_TRUE(f.CheckBox1.Checked());
        // Page Down released on the box clears it; Enter in the old-password field then goes to OK.
        f.CheckBox1.SetFocus();
        QTest::keyClick(&f.CheckBox1, Qt::Key_PageDown);
        EXPECT_FALSE(f.CheckBox1.Checked());
        EXPECT_FALSE(f.Edit2.Enabled());
        f.Edit1.SetFocus();
        pwtest::TypeKeys(f.Edit1, "tajne");
        QTest::keyClick(&f.Edit1, Qt::Key_Return);
        EXPECT_TRUE(f.BitBtn5.Focused());
        EXPECT_FALSE(Closed(f));
        // A further Enter presses the focused OK.
        QTest::keyClick(&f.BitBtn5, Qt::Key_Return);
        EXPECT_TRUE(Closed(f));
    });
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_FALSE(store.Stored());
}

TEST_F(PasswordSettings, PageUpTicksTheBoxAndEnablesTheNewPasswordFields) {
    Run([&](TForm14& f) {
        ASSERT_FALSE(f.CheckBox1.Checked());
        QTest::keyClick(&f.CheckBox1, Qt::Key_PageUp);
        EXPECT_TRUE(f.CheckBox1.Checked());
        EXPECT_TRUE(f.Edit2.Enabled());
        EXPECT_TRUE(f.Edit3.Enabled());
        EXPECT_TRUE(f.Label3.Enabled());
    });
}

} // namespace
