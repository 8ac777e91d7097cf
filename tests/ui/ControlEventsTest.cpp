// Event rules of the simple controls: which changes run which handler, by the user and by code.

#include "UiTest.h"

#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Memo.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/TabbedNotebook.h"
#include "platform/ui/Text.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UpDown.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTabBar>

#include <string>
#include <vector>

namespace {

using ui_test::UiTest;

class ControlEventsTest : public UiTest {
protected:
    ui::TForm form{"Form1"};
};

TEST_F(ControlEventsTest, EditChangeRunsForTypingAndCodeButNotForTheSameText)
{
    ui::TEdit edit(&form);
    std::vector<std::string> seen;
    edit.OnChange = [&](ui::TObject* sender) {
        EXPECT_EQ(sender, &edit);
        seen.push_back(edit.Text());
    };
    ShowActive(form);
    edit.SetFocus();

    edit.SetText("abc");
    edit.SetText("abc"); // the same text: no change
    QTest::keyClicks(&edit, ui::Q("d"));
    edit.Clear();
    edit.Clear();
    EXPECT_EQ(seen, (std::vector<std::string>{"abc", "abcd", ""}));
}

TEST_F(ControlEventsTest, EditTypingLimitDoesNotCutTextSetByCode)
{
    ui::TEdit edit(&form);
    edit.SetMaxLength(4);
    ShowActive(form);
    edit.SetFocus();
    QTest::keyClicks(&edit, ui::Q("123456"));
    EXPECT_EQ(edit.Text(), "1234");
    edit.SetText("Kniha s dlouhým kódem");
    EXPECT_EQ(edit.Text(), "Kniha s dlouhým kódem");
}

TEST_F(ControlEventsTest, EditCaretAndSelectionCountCharactersNotBytes)
{
    ui::TEdit edit(&form);
    edit.SetText("Čtenář");
    edit.SetSelStart(3);
    EXPECT_EQ(edit.SelStart(), 3);
    edit.SetSelLength(2);
    EXPECT_EQ(edit.SelLength(), 2);
    EXPECT_EQ(ui::S(edit.selectedText()), "ná");
}

TEST_F(ControlEventsTest, MemoChangeRunsOnceForCodeAndForTyping)
{
    ui::TMemo memo(&form);
    int changes = 0;
    memo.OnChange = [&](ui::TObject*) { ++changes; };
    memo.SetLines({"první", "druhý"});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(memo.Text(), "první\ndruhý");
    memo.SetText("první\ndruhý");
    EXPECT_EQ(changes, 1);
    ShowActive(form);
    memo.SetFocus();
    QTest::keyClicks(&memo, ui::Q("x"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(memo.Lines().size(), 2u);
}

TEST_F(ControlEventsTest, CheckBoxSetInCodeRunsClickOnlyWhenTheStateChanges)
{
    ui::TCheckBox box(&form, "Aktivní čtenář");
    int clicks = 0;
    box.OnClick = [&](ui::TObject* sender) {
        EXPECT_EQ(sender, &box);
        ++clicks;
    };
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetChecked(false);
    EXPECT_EQ(clicks, 2);

    ShowActive(form);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 3);
}

TEST_F(ControlEventsTest, CheckBoxHandlerSeesTheNewState)
{
    ui::TCheckBox box(&form);
    std::vector<bool> states;
    box.OnClick = [&](ui::TObject*) { states.push_back(box.Checked()); };
    box.SetChecked(true);
    box.SetChecked(false);
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
}

TEST_F(ControlEventsTest, RadioGroupRunsClickForUserAndCodeChanges)
{
    ui::TRadioGroup group(&form, "Řazení");
    group.SetItems({"Podle čtenáře", "Podle kódu knihy", "Podle názvu knihy"});
    std::vector<int> seen;
    group.OnClick = [&](ui::TObject*) { seen.push_back(group.ItemIndex()); };
    group.SetItemIndex(2);
    group.SetItemIndex(2);
    group.SetItemIndex(7); // out of range: none
    ShowActive(form);
    auto buttons = group.findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 3);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<int>{2, -1, 1}));
    EXPECT_EQ(group.ItemIndex(), 1);
}

TEST_F(ControlEventsTest, TabClickRunsClickAfterThePageChangedButCodeDoesNot)
{
    ui::TTabbedNotebook tabs(&form, {"Půjčovat a vracet", "Knihy", "Čtenáři"});
    tabs.SetBounds(0, 0, 400, 300);
    std::vector<int> pagesSeen;
    tabs.OnClick = [&](ui::TObject*) { pagesSeen.push_back(tabs.PageIndex()); };
    tabs.SetPageIndex(2);
    EXPECT_EQ(tabs.PageIndex(), 2);
    EXPECT_TRUE(pagesSeen.empty());

    ShowActive(form);
    const QRect tab = tabs.tabBar()->tabRect(1);
    QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(pagesSeen, std::vector<int>{1});

    tabs.SetPageIndex(9); // no such page: nothing
    EXPECT_EQ(tabs.PageIndex(), 1);
    tabs.ClickTab(0);
    EXPECT_EQ(pagesSeen, (std::vector<int>{1, 0}));
}

TEST_F(ControlEventsTest, UpDownWritesTheAssociateBeforeItsHandlersAndStopsAtItsRange)
{
    ui::TEdit days(&form);
    ui::TUpDown upDown(&form);
    upDown.SetMin(0);
    upDown.SetMax(2);
    upDown.SetAssociate(&days);
    upDown.SetPosition(1);
    EXPECT_EQ(days.Text(), "1");
    std::vector<std::string> seenInChanging;
    upDown.OnChanging = [&](ui::TObject*, bool&) { seenInChanging.push_back(days.Text()); };
    int clicks = 0;
    upDown.OnClick = [&](ui::TObject*, ui::TUDBtnType) { ++clicks; };

    upDown.ClickButton(ui::TUDBtnType::btNext);
    upDown.ClickButton(ui::TUDBtnType::btNext); // at the maximum, no wrap
    EXPECT_EQ(upDown.Position(), 2);
    EXPECT_EQ(seenInChanging, std::vector<std::string>{"2"});
    EXPECT_EQ(clicks, 2);

    upDown.OnChanging = [&](ui::TObject*, bool& allow) { allow = false; };
    upDown.ClickButton(ui::TUDBtnType::btPrev);
    EXPECT_EQ(upDown.Position(), 2);
    EXPECT_EQ(days.Text(), "2");
}

TEST_F(ControlEventsTest, TimerTicksWhileEnabledAndItsHandlerCanStopIt)
{
    ui::TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(1);
    int ticks = 0;
    timer.OnTimer = [&](ui::TObject*) {
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    QTest::qWait(20);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    for (int i = 0; i < 200 && ticks < 3; ++i)
        QTest::qWait(10);
    QTest::qWait(20);
    EXPECT_EQ(ticks, 3);
}

} // namespace
