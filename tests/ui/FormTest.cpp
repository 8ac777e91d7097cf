// Windows: showing, closing, modal runs through the dialog service, the main form ending the
// program.

#include "DialogsScope.h"
#include "UiTest.h"

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Menu.h"

#include <QMenuBar>
#include <QTimer>

#include <string>

namespace {

class FormTest : public ui_test::UiTest {};

class TForm12 : public ui::TForm {
public:
    TForm12() : ui::TForm("Form12")
    {
        SetCaption("Změnit aktuální datum");
        SetClientSize(282, 149);
        SetBorderStyle(ui::TFormBorderStyle::bsSingle);
        Edit1.SetBounds(8, 8, 120, 21);
        BitBtn1.ModalResult = ui::mrOk;
        BitBtn2.ModalResult = ui::mrCancel;
        OnShow = [this](ui::TObject*) { log += "show;"; };
        OnClose = [this](ui::TObject*, ui::TCloseAction&) { log += "close;"; };
    }
    std::string log;
    ui::TEdit Edit1{this};
    ui::TButton BitBtn1{this, "OK"};
    ui::TButton BitBtn2{this, "Storno"};
};

TEST_F(FormTest, ShowRunsOnShowOnceAndHideHides)
{
    TForm12 form;
    form.Show();
    form.Show();
    EXPECT_EQ(form.log, "show;");
    EXPECT_TRUE(form.Visible());
    form.Hide();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.ClientWidth(), 282);
    EXPECT_EQ(form.ClientHeight(), 149);
}

TEST_F(FormTest, ScriptedModalRunsTheScriptAndReturnsTheButtonsResult)
{
    ui_test::DialogsScope dialogs;
    TForm12 form;
    dialogs.ExpectModal<TForm12>(form, [](TForm12& f) {
        EXPECT_TRUE(f.Visible());
        f.Edit1.SetText("1.9.2023");
        f.BitBtn2.Click();
    });
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    EXPECT_EQ(form.log, "show;close;");
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.Modal());
    EXPECT_EQ(dialogs.ModalsShown(), std::vector<std::string>{"Form12"});
}

TEST_F(FormTest, ScriptedModalClosesWithTheGivenResultWhenTheScriptDidNot)
{
    ui_test::DialogsScope dialogs;
    TForm12 form;
    dialogs.ExpectModal("Form12", {}, ui::mrOk);
    EXPECT_EQ(form.ShowModal(), ui::mrOk);
}

TEST_F(FormTest, CloseInAModalWindowEndsItWithCancel)
{
    ui_test::DialogsScope dialogs;
    TForm12 form;
    dialogs.ExpectModal<TForm12>(form, [](TForm12& f) { f.Close(); });
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
}

TEST_F(FormTest, RealModalLoopEndsWhenAButtonSetsTheResult)
{
    TForm12 form;
    form.OnShow = [&](ui::TObject*) {
        QTimer::singleShot(0, [&] { QTest::mouseClick(&form.BitBtn1, Qt::LeftButton); });
    };
    EXPECT_EQ(form.ShowModal(), ui::mrOk);
    EXPECT_FALSE(form.Visible());
}

TEST_F(FormTest, CloseQueryCanKeepAModalWindowOpen)
{
    TForm12 form;
    int asked = 0;
    form.OnCloseQuery = [&](ui::TObject*, bool& canClose) { canClose = ++asked > 1; };
    form.OnShow = [&](ui::TObject*) {
        QTimer::singleShot(0, [&] {
            QTest::mouseClick(&form.BitBtn1, Qt::LeftButton); // refused
            QTimer::singleShot(0, [&] { QTest::mouseClick(&form.BitBtn2, Qt::LeftButton); });
        });
    };
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormTest, UnexpectedModalWindowIsAFailureAndIsNotShown)
{
    ui::ScriptedDialogs dialogs;
    std::vector<std::string> failures;
    dialogs.OnFailure = [&](const std::string& what) { failures.push_back(what); };
    TForm12 form;
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    EXPECT_FALSE(form.Visible());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Form12"), std::string::npos);
}

TEST_F(FormTest, ClosingTheMainFormEndsTheProgramUnlessOnCloseRefuses)
{
    TForm12 form;
    ui::Application.MainForm = &form;
    form.OnClose = [](ui::TObject*, ui::TCloseAction& action) { action = ui::TCloseAction::caNone; };
    form.Show();
    form.Close();
    EXPECT_FALSE(ui::Application.Terminated());
    EXPECT_TRUE(form.Visible());
    form.OnClose = nullptr;
    form.Close();
    EXPECT_TRUE(ui::Application.Terminated());
    EXPECT_FALSE(form.Visible());
}

TEST_F(FormTest, CloseBoxGoesThroughCloseQuery)
{
    TForm12 form;
    form.Show();
    bool allow = false;
    form.OnCloseQuery = [&](ui::TObject*, bool& canClose) { canClose = allow; };
    form.close();
    EXPECT_TRUE(form.Visible());
    allow = true;
    form.close();
    EXPECT_FALSE(form.Visible());
}

TEST_F(FormTest, MenuItemsRunTheirHandlersAndTheMenuLeavesTheClientAreaFree)
{
    TForm12 form;
    const int top = form.Edit1.Top();
    ui::TMainMenu menu(form);
    ui::TMenuItem soubor(&menu.Items(), "Soubor");
    ui::TMenuItem konec(&soubor, "Konec", "Ctrl+X");
    int clicks = 0;
    konec.OnClick = [&](ui::TObject* sender) {
        EXPECT_EQ(sender, &konec);
        ++clicks;
    };
    EXPECT_EQ(form.Edit1.Top(), top);
    EXPECT_EQ(form.ClientHeight(), 149);
    EXPECT_GE(form.Edit1.Widget().y(), menu.Bar().height());
    konec.Click();
    ShowActive(form);
    QTest::keyClick(&form, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
}

// Keys answered by both the main menu and a control's pop-up menu go to the pop-up while that
// control has the focus, and to the main menu elsewhere; an edit's own Ctrl+X never wins.
TEST_F(FormTest, PopupMenuOfTheFocusedControlComesBeforeTheMainMenu)
{
    TForm12 form;
    ui::TMainMenu menu(form);
    ui::TMenuItem soubor(&menu.Items(), "Soubor");
    ui::TMenuItem obnova(&soubor, "Obnovení dat...", "Ctrl+O");
    ui::TMenuItem konec(&soubor, "Konec", "Ctrl+X");
    ui::TPopupMenu popup;
    ui::TMenuItem upravit(&popup.Items(), "Upravit knihu", "Ctrl+O");
    ui::TEdit list(&form); // stands for the grid that owns the pop-up
    list.SetBounds(8, 40, 120, 21);
    list.SetPopupMenu(&popup);
    std::string log;
    obnova.OnClick = [&](ui::TObject*) { log += "obnova;"; };
    konec.OnClick = [&](ui::TObject*) { log += "konec;"; };
    upravit.OnClick = [&](ui::TObject*) { log += "upravit;"; };
    ShowActive(form);

    list.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    form.Edit1.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    form.Edit1.SetText("abc");
    form.Edit1.selectAll();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(log, "upravit;obnova;konec;");
    EXPECT_EQ(form.Edit1.Text(), "abc");
    // A switched-off pop-up item leaves the keys to the main menu.
    upravit.SetEnabled(false);
    list.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(log, "upravit;obnova;konec;obnova;");
}

} // namespace
