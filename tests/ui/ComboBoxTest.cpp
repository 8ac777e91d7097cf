// Combo boxes: the change handler runs only for the user's changes; selection, text and items
// behave as the window code expects.

#include "UiTest.h"

#include "platform/ui/Text.h"

#include "platform/ui/ComboBox.h"

#include <QLineEdit>

#include <string>
#include <vector>

namespace {

using ui::TComboBoxStyle;

class ComboBoxTest : public ui_test::UiTest, public ::testing::WithParamInterface<TComboBoxStyle> {
protected:
    ui::TForm form{"Form1"};
};

TEST_P(ComboBoxTest, CodeNeverRunsTheChangeHandler)
{
    ui::TComboBox box(&form, GetParam());
    int changes = 0;
    box.OnChange = [&](ui::TObject*) { ++changes; };
    box.SetItems({"Alois", "Božena", "Cyril"});
    box.SetItemIndex(1);
    box.SetText("Cyril");
    box.AddItem("Dana");
    box.DeleteItem(0);
    box.SetItemIndex(-1);
    box.ClearItems();
    EXPECT_EQ(changes, 0);
}

TEST_P(ComboBoxTest, ChoosingWithTheKeyboardRunsTheHandlerWithTheNewIndex)
{
    ui::TComboBox box(&form, GetParam());
    box.SetItems({"Alois", "Božena", "Cyril"});
    box.SetItemIndex(0);
    std::vector<int> seen;
    box.OnChange = [&](ui::TObject*) { seen.push_back(box.ItemIndex()); };
    ShowActive(form);
    box.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(seen, std::vector<int>{1});
    EXPECT_EQ(box.Text(), "Božena");
}

TEST_P(ComboBoxTest, IndexOutOfRangeSelectsNothingAndClearsTheText)
{
    ui::TComboBox box(&form, GetParam());
    box.SetItems({"1.A", "2.B"});
    box.SetItemIndex(1);
    EXPECT_EQ(box.Text(), "2.B");
    box.SetItemIndex(2);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "");
    box.SetItemIndex(-5);
    EXPECT_EQ(box.ItemIndex(), -1);
}

TEST_P(ComboBoxTest, AddingAndDeletingKeepTheSelectedItem)
{
    ui::TComboBox box(&form, GetParam());
    box.SetItems({"a", "b", "c"});
    EXPECT_EQ(box.ItemIndex(), -1); // filling selects nothing
    box.SetItemIndex(1);
    box.InsertItem(0, "z");
    EXPECT_EQ(box.ItemIndex(), 2);
    EXPECT_EQ(box.Text(), "b");
    box.DeleteItem(0);
    EXPECT_EQ(box.ItemIndex(), 1);
    box.DeleteItem(1); // the selected one
    EXPECT_EQ(box.ItemIndex(), -1);
    box.DeleteItem(9); // out of range: nothing
    EXPECT_EQ(box.Count(), 2);
}

TEST_P(ComboBoxTest, EveryChangeOfTheListMovesItsRevision)
{
    ui::TComboBox box(&form, GetParam());
    std::vector<unsigned> seen{box.ItemsRevision()};
    const auto changed = [&] {
        const bool moved = box.ItemsRevision() != seen.back();
        seen.push_back(box.ItemsRevision());
        return moved;
    };
    box.SetItems({"a", "b", "c"});
    EXPECT_TRUE(changed());
    box.SetItemIndex(1);
    box.SetText("c");
    EXPECT_FALSE(changed()); // choosing is no change of the list
    box.AddItem("d");
    EXPECT_TRUE(changed());
    box.DeleteItem(0);
    EXPECT_TRUE(changed());
    box.DeleteItem(9);
    EXPECT_FALSE(changed());
    box.SetSorted(true);
    EXPECT_TRUE(changed());
    box.ClearItems();
    EXPECT_TRUE(changed());
}

INSTANTIATE_TEST_SUITE_P(Styles, ComboBoxTest,
                         ::testing::Values(TComboBoxStyle::csDropDown, TComboBoxStyle::csDropDownList));

class EditableComboTest : public ui_test::UiTest {
protected:
    ui::TForm form{"Form1"};
    ui::TComboBox box{&form, TComboBoxStyle::csDropDown};
};

TEST_F(EditableComboTest, TypingRunsTheHandlerAndDropsTheSelection)
{
    box.SetItems({"Novák Jan", "Nováková Eva"});
    box.SetItemIndex(0);
    std::vector<std::pair<std::string, int>> seen;
    box.OnChange = [&](ui::TObject*) { seen.emplace_back(box.Text(), box.ItemIndex()); };
    ShowActive(form);
    box.SetFocus();
    box.lineEdit()->end(false);
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("X"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::pair<std::string, int>{"Novák JanX", -1}));
    // Choosing an item again selects it.
    box.SetItemIndex(1);
    EXPECT_EQ(box.ItemIndex(), 1);
}

TEST_F(EditableComboTest, TextSetByCodeKeepsTheSelectionOnlyWhenItIsTheSelectedItem)
{
    box.SetItems({"Kniha", "Sešit"});
    box.SetItemIndex(1);
    box.SetText("Sešit");
    EXPECT_EQ(box.ItemIndex(), 1);
    box.SetText("Něco jiného");
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "Něco jiného");
}

TEST_F(EditableComboTest, EnterNeverAddsTheTypedTextAsAnItem)
{
    box.SetItems({"a"});
    ShowActive(form);
    box.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("nove"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(box.Items(), std::vector<std::string>{"a"});
}

// The typing rule of every pick list: the first item that begins with the typed text, letter case
// ignored, is selected and completed; deleting never completes; the rule can be switched off.
TEST_F(EditableComboTest, TypingSelectsTheFirstItemBeginningWithTheText)
{
    box.SetItems({"Dvořák Petr", "Novák Jan", "Nováková Eva", "Čapek Karel"});
    std::vector<std::pair<std::string, int>> seen;
    box.OnChange = [&](ui::TObject*) { seen.emplace_back(box.Text(), box.ItemIndex()); };
    ShowActive(form);
    box.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("nov"));
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, ui::Q("á"), Qt::NoModifier);
    EXPECT_EQ(seen.back(), (std::pair<std::string, int>{"Novák Jan", 1}));
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("ko"));
    EXPECT_EQ(seen.back(), (std::pair<std::string, int>{"Nováková Eva", 2}));
    EXPECT_EQ(seen.size(), 6u) << "one change per key";
    // Backspace takes the completion away and leaves the typed text, which names no item.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(seen.back(), (std::pair<std::string, int>{"Nováko", -1}));
    box.lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("x"));
    EXPECT_EQ(seen.back(), (std::pair<std::string, int>{"x", -1}));
}

TEST_F(EditableComboTest, WithoutCompletionTypingOnlyDropsTheSelection)
{
    box.SetItems({"Novák Jan"});
    box.SetAutoComplete(false);
    ShowActive(form);
    box.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("Nov"));
    EXPECT_EQ(box.Text(), "Nov");
    EXPECT_EQ(box.ItemIndex(), -1);
}

TEST_F(EditableComboTest, EnteringTheBoxSelectsItsText)
{
    box.SetItems({"Novák Jan", "Čapek Karel"});
    box.SetItemIndex(0);
    ShowActive(form);
    box.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("c"));
    EXPECT_EQ(box.Text(), "c") << "the name shown was replaced, not appended to";
}

TEST(ComboItemsTest, LargeListsFillSortAndMatch)
{
    ui::TComboBox box(nullptr, TComboBoxStyle::csDropDown);
    box.SetSorted(true);
    std::vector<std::string> items;
    for (int i = 50000; i > 0; --i)
        items.push_back("Kniha " + std::to_string(i));
    items.push_back("Čtení");
    items.push_back("Chaloupka");
    box.SetItems(items);
    ASSERT_EQ(box.Count(), 50002);
    EXPECT_EQ(box.Item(0), "Čtení");
    EXPECT_EQ(box.Item(1), "Chaloupka") << "ch after h, in Czech order";
    EXPECT_EQ(box.Item(box.IndexOf("kniha 49999")), "Kniha 49999");
    EXPECT_EQ(box.IndexOfPrefix("chal"), 1);
    EXPECT_EQ(box.IndexOfPrefix(""), -1);
    box.DeleteItem(0);
    EXPECT_EQ(box.IndexOfPrefix("chal"), 0) << "matching follows deleted items";
    EXPECT_EQ(box.AddItem("Čtení"), 0);
    EXPECT_EQ(box.IndexOf("ČTENÍ"), 0);
}

TEST(DropDownListTest, TextSelectsTheEqualItemIgnoringCaseOrNothing)
{
    ui::TComboBox box(nullptr, TComboBoxStyle::csDropDownList);
    box.SetItems({"Beletrie", "Učebnice"});
    box.SetText("UČEBNICE");
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Text(), "Učebnice");
    box.SetText("Encyklopedie");
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "");
}

TEST(SortedComboTest, ItemsGoInCzechOrder)
{
    ui::TComboBox box(nullptr, TComboBoxStyle::csDropDownList);
    box.SetSorted(true);
    for (const char* item : {"Dvořák", "Čapek", "Cibulka", "Hrabal", "Chalupa"})
        box.AddItem(item);
    EXPECT_EQ(box.Items(), (std::vector<std::string>{"Cibulka", "Čapek", "Dvořák", "Hrabal", "Chalupa"}));
    EXPECT_EQ(box.AddItem("Ch"), 4);
    EXPECT_EQ(box.IndexOf("čapek"), 1);
}

} // namespace
