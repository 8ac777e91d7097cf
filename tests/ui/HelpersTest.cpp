// The helpers windows share: number fields, focus colours, the busy label, progress captions.

#include "UiTest.h"

#include "platform/ui/Text.h"

#include "platform/ui/BusyLabel.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/IntegerField.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/ProgressCaption.h"
#include "platform/ui/TabbedNotebook.h"

#include <QLineEdit>

#include <optional>
#include <string>

namespace {

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
};

class StrToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntTest, AcceptsSignAndDigitsWithinThirtyTwoBits)
{
    EXPECT_EQ(ui::StrToIntOpt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntTest,
    ::testing::Values(IntCase{"0", 0}, IntCase{"1990", 1990}, IntCase{"-5", -5}, IntCase{"+5", 5}, IntCase{"007", 7},
                      IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", -2147483647 - 1},
                      IntCase{"2147483648", std::nullopt}, IntCase{"99999999999999999999", std::nullopt},
                      IntCase{"", std::nullopt}, IntCase{"-", std::nullopt}, IntCase{"12a", std::nullopt},
                      IntCase{" 12", std::nullopt}, IntCase{"1 2", std::nullopt}, IntCase{"1,5", std::nullopt}));

class IntegerFieldTest : public ui_test::UiTest {
protected:
    ui::TForm form{"Form10"};
    ui::TEdit year{&form};
    ui::TEdit pages{&form};
    std::int32_t lastValue = 0; // one per window, shared by its number fields
    void SetUp() override
    {
        UiTest::SetUp();
        ui::MakeIntegerField(year, lastValue);
        ui::MakeIntegerField(pages, lastValue);
        ShowActive(form);
    }
};

TEST_F(IntegerFieldTest, ALetterFallsBackToTheLastValidValueOfAnyNumberField)
{
    pages.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("1990"));
    EXPECT_EQ(lastValue, 1990);
    year.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("x"));
    EXPECT_EQ(year.Text(), "1990");
    EXPECT_EQ(year.SelStart(), 0);
}

TEST_F(IntegerFieldTest, CaretGoesOnePlaceBeforeWhereItWas)
{
    year.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("12"));
    year.SetSelStart(1);
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("a")); // "1a2" -> "12"
    EXPECT_EQ(year.Text(), "12");
    EXPECT_EQ(year.SelStart(), 1);
}

TEST_F(IntegerFieldTest, AnEmptyTextStaysEmpty)
{
    year.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(year.Text(), "");
    EXPECT_EQ(lastValue, 7);
}

class FocusColorsTest : public ui_test::UiTest {
protected:
    ui::TForm form{"Form1"};
    ui::TEdit edit{&form};
    ui::TEdit readOnly{&form};
    ui::TComboBox combo{&form, ui::TComboBoxStyle::csDropDown};
    ui::TEdit other{&form};
};

TEST_F(FocusColorsTest, FocusedInputIsYellowWithBlueTextAndWhiteWithBlackWhenLeft)
{
    readOnly.SetReadOnly(true);
    readOnly.SetColor(ui::clBtnFace);
    ui::EnableFocusColors({&edit, &readOnly, &combo});
    int windowEnters = 0;
    edit.OnEnter = [&](ui::TObject*) { ++windowEnters; }; // the window's own handler still runs
    ShowActive(form);

    edit.SetFocus();
    EXPECT_EQ(edit.Color(), ui::clInfoBk);
    EXPECT_EQ(edit.FontColor(), ui::clBlue);
    EXPECT_EQ(windowEnters, 1);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(0, 0, 255));

    readOnly.SetFocus();
    EXPECT_EQ(edit.Color(), ui::clWhite);
    EXPECT_EQ(edit.FontColor(), ui::clBlack);
    EXPECT_EQ(readOnly.Color(), ui::clBtnFace);
}

// Two required fields left empty: both show red, the focus ends in the last one marked, and a
// field is painted normally again once the user has been back in it.
TEST_F(FocusColorsTest, MissingFieldsStayRedUntilTheUserReturnsToThem)
{
    ui::EnableFocusColors({&edit, &other});
    ShowActive(form);
    ui::MarkMissing(edit);
    ui::MarkMissing(other);
    EXPECT_TRUE(other.Focused());
    EXPECT_EQ(edit.Color(), ui::clRed);
    EXPECT_EQ(other.Color(), ui::clRed);
    edit.SetFocus();
    EXPECT_EQ(edit.Color(), ui::clInfoBk);
    EXPECT_EQ(other.Color(), ui::clRed);
    other.SetFocus();
    EXPECT_EQ(edit.Color(), ui::clWhite);
}

TEST_F(FocusColorsTest, ComboBoxDropsItsTextSelectionWhenLeft)
{
    ui::EnableFocusColors(form);
    combo.SetItems({"Beletrie"});
    combo.SetItemIndex(0);
    ShowActive(form);
    combo.SetFocus();
    combo.lineEdit()->selectAll();
    EXPECT_GT(combo.SelLength(), 0);
    EXPECT_EQ(combo.Color(), ui::clInfoBk);
    other.SetFocus();
    EXPECT_EQ(combo.SelLength(), 0);
    EXPECT_EQ(combo.Color(), ui::clWhite);
}

TEST_F(FocusColorsTest, EnterAndExitRunOnceEachWhenFocusMovesThroughAComboBox)
{
    std::string log;
    combo.OnEnter = [&](ui::TObject*) { log += "enter;"; };
    combo.OnExit = [&](ui::TObject*) { log += "exit;"; };
    ShowActive(form);
    combo.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), ui::Q("abc"));
    other.SetFocus();
    EXPECT_EQ(log, "enter;exit;");
}

TEST_F(FocusColorsTest, ActivatingAnotherWindowDoesNotLeaveTheField)
{
    std::string log;
    edit.OnExit = [&](ui::TObject*) { log += "exit;"; };
    ShowActive(form);
    edit.SetFocus();
    ui::TForm second("Form2");
    ui::TEdit secondEdit(&second);
    ShowActive(second);
    secondEdit.SetFocus();
    EXPECT_EQ(log, "");
    second.Hide();
}

TEST(ProgressCaptionTest, PercentIsPositionTimesHundredDividedByMaxRoundedDown)
{
    EXPECT_EQ(ui::ProgressCaption("Záloha dat", 9, 9), "Záloha dat - 100% dokončeno");
    EXPECT_EQ(ui::ProgressCaption("Archivace", 2, 3), "Archivace - 66% dokončeno");
    EXPECT_EQ(ui::ProgressCaption("Export", 0, 0), "Export - 0% dokončeno");
    EXPECT_EQ(ui::ProgressCaption("Import", 50000, 100000), "Import - 50% dokončeno");
}

TEST(ProgressBarTest, PositionStaysWithinTheRange)
{
    ui::TProgressBar bar;
    bar.SetMax(10);
    bar.SetPosition(12);
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position(), 0);
}

class BusyLabelTest : public ui_test::UiTest {};

TEST_F(BusyLabelTest, TabSetHiddenWhileBusyAndShownAgainAlsoAfterAnError)
{
    ui::TForm form("Form1");
    ui::TLabel busy(&form, "Čekejte prosím...");
    ui::TTabbedNotebook tabs(&form, {"Knihy"});
    form.Show();
    try {
        ui::BusyScope scope(tabs, busy);
        EXPECT_FALSE(tabs.Visible());
        EXPECT_TRUE(busy.Visible());
        throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(tabs.Visible());
}

} // namespace
