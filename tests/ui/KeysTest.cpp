// Keys: the window's key preview, Enter on buttons, default and cancel buttons, Enter chains.

#include "UiTest.h"

#include "platform/ui/Text.h"

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EnterChain.h"
#include "platform/ui/Memo.h"

#include <string>
#include <vector>

namespace {

class KeysTest : public ui_test::UiTest {
protected:
    ui::TForm form{"Form4"};
    ui::TEdit edit1{&form};
    ui::TEdit edit2{&form};
    ui::TEdit edit3{&form};
    ui::TButton ok{&form, "OK"};

    void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    ui::TControl* Focused() { return ui::TControl::FromWidget(QApplication::focusWidget()); }
};

TEST_F(KeysTest, KeyPreviewLetsTheWindowConsumeEnterBeforeTheControl)
{
    form.KeyPreview = true;
    std::string order;
    form.OnKeyPress = [&](ui::TObject* sender, char& key) {
        EXPECT_EQ(sender, &form);
        order += "form;";
        if (key == '\r') {
            key = 0;
            form.SelectNext(form.ActiveControl(), true);
        }
    };
    edit1.OnKeyPress = [&](ui::TObject*, char& key) { order += std::string("edit:") + key + ";"; };
    int okClicks = 0;
    ok.OnClick = [&](ui::TObject*) { ++okClicks; };
    ShowActive(form);
    edit1.SetFocus();

    Enter();
    EXPECT_EQ(order, "form;");
    EXPECT_EQ(Focused(), &edit2);
    EXPECT_EQ(okClicks, 0);

    order.clear();
    edit1.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("a"));
    EXPECT_EQ(order, "form;edit:a;");
    EXPECT_EQ(edit1.Text(), "a");
}

TEST_F(KeysTest, WithoutKeyPreviewTheWindowSeesOnlyKeysTheControlLeavesUnused)
{
    std::string order;
    form.OnKeyPress = [&](ui::TObject*, char& key) {
        order += std::string("form:") + (key == '\r' ? "enter" : std::string(1, key)) + ";";
        if (key == '\r') {
            key = 0;
            form.SelectNext(form.ActiveControl(), true);
        }
    };
    edit1.OnKeyPress = [&](ui::TObject*, char& key) { order += key == '\r' ? "edit:enter;" : "edit;"; };
    ShowActive(form);
    edit1.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("ab"));
    Enter();
    EXPECT_EQ(order, "edit;edit;edit:enter;form:enter;");
    EXPECT_EQ(Focused(), &edit2);
    EXPECT_EQ(edit1.Text(), "ab");
}

TEST_F(KeysTest, ControlKeyPressCanConsumeOrReplaceACharacter)
{
    edit1.OnKeyPress = [](ui::TObject*, char& key) {
        if (key == 'x')
            key = 0;
        else if (key == 'a')
            key = 'b';
    };
    ShowActive(form);
    edit1.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("axc"));
    EXPECT_EQ(edit1.Text(), "bc");
}

TEST_F(KeysTest, KeyDownAndKeyUpReportVirtualKeys)
{
    std::vector<std::string> seen;
    edit1.OnKeyDown = [&](ui::TObject*, ui::Word& key, ui::TShiftState) { seen.push_back("down " + std::to_string(key)); };
    edit1.OnKeyUp = [&](ui::TObject*, ui::Word& key, ui::TShiftState) { seen.push_back("up " + std::to_string(key)); };
    ShowActive(form);
    edit1.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 33", "up 33", "down 65", "up 65"}));
}

TEST_F(KeysTest, EnterPressesTheFocusedButtonAndTheDefaultButton)
{
    int okClicks = 0;
    ok.OnClick = [&](ui::TObject*) { ++okClicks; };
    ShowActive(form);
    ok.SetFocus();
    Enter();
    EXPECT_EQ(okClicks, 1);

    // Enter in a field presses the default button; the field never sees the Enter.
    ok.Default = true;
    int editEnters = 0;
    edit1.OnKeyPress = [&](ui::TObject*, char& key) { editEnters += key == '\r'; };
    edit1.SetFocus();
    Enter();
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(editEnters, 0);

    // A disabled default button is not pressed.
    ok.SetEnabled(false);
    Enter();
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(editEnters, 1);
}

TEST_F(KeysTest, EscapePressesTheCancelButton)
{
    ui::TButton cancel(&form, "Storno");
    cancel.Cancel = true;
    int cancels = 0;
    cancel.OnClick = [&](ui::TObject*) { ++cancels; };
    ShowActive(form);
    edit2.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
}

TEST_F(KeysTest, EnterChainMovesOnSkipsWhatCannotTakeTheFocusAndStopsAtTheButton)
{
    ui::TEnterChain chain({&edit1, &edit2, &edit3}, &ok);
    int okClicks = 0;
    ok.OnClick = [&](ui::TObject*) { ++okClicks; };
    std::vector<int> enterSeenByEdit1;
    edit1.OnKeyPress = [&](ui::TObject*, char& key) { enterSeenByEdit1.push_back(key); };
    ShowActive(form);
    edit1.SetFocus();

    Enter();
    EXPECT_EQ(Focused(), &edit2);
    EXPECT_EQ(enterSeenByEdit1, std::vector<int>{'\r'}); // the window's own handler still runs

    edit3.SetEnabled(false);
    Enter();
    EXPECT_EQ(Focused(), &ok);
    EXPECT_EQ(okClicks, 0); // the button gets the focus, it is not pressed

    Enter(); // a further Enter presses the focused button
    EXPECT_EQ(okClicks, 1);
}

TEST_F(KeysTest, EnterChainLeavesTheEnterToAMemoUnlessItConsumesIt)
{
    ui::TMemo memo(&form);
    ui::TEnterChain chain({&memo}, &ok);
    ShowActive(form);
    memo.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("a"));
    Enter();
    EXPECT_EQ(Focused(), &ok);

    ui::TMemo memo2(&form);
    ui::TEnterChain consuming({&memo2}, &ok, true);
    memo2.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("a"));
    Enter();
    EXPECT_EQ(Focused(), &ok);
    EXPECT_EQ(memo2.Text(), "a");
}

TEST_F(KeysTest, EnterChainThroughAComboBox)
{
    ui::TComboBox combo(&form, ui::TComboBoxStyle::csDropDown);
    combo.SetItems({"a", "b"});
    ui::TEnterChain chain({&edit1, &combo, &edit2}, &ok);
    QWidget::setTabOrder(&edit1, &combo);
    ShowActive(form);
    edit1.SetFocus();
    Enter();
    EXPECT_EQ(Focused(), &combo);
    Enter();
    EXPECT_EQ(Focused(), &edit2);
}

TEST_F(KeysTest, SelectNextFollowsTabOrderAndSkipsDisabledControls)
{
    form.SetTabOrder({&edit3, &edit1, &ok, &edit2});
    edit1.SetEnabled(false);
    ShowActive(form);
    edit3.SetFocus();
    form.SelectNext(&edit3, true);
    EXPECT_EQ(Focused(), &ok);
    form.SelectNext(&ok, false);
    EXPECT_EQ(Focused(), &edit3);
}

TEST_F(KeysTest, PageUpReleasedOnACheckBoxCanToggleItThroughItsKeyUpHandler)
{
    ui::TCheckBox box(&form, "Požadovat heslo");
    int clicks = 0;
    box.OnClick = [&](ui::TObject*) { ++clicks; };
    box.OnKeyUp = [&](ui::TObject*, ui::Word& key, ui::TShiftState) {
        if (key == ui::VK_PRIOR || key == ui::VK_NEXT)
            box.SetChecked(!box.Checked());
    };
    ShowActive(form);
    box.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 1);
}

} // namespace
