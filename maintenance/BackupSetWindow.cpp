#include "maintenance/BackupSetWindow.h"

#include "app/Hlavni.h"
#include "maintenance/Hledat.h"
#include "platform/ui/Application.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/ProgressCaption.h"

#include <QCoreApplication>

TBackupSetWindow::TBackupSetWindow(const std::string& name, std::string title, const std::string& folderLabel,
                                   const std::string& progressLabel, int clientHeight, int buttonsTop)
    : ui::TForm(name), Label1(this, folderLabel), Label2(this, progressLabel), title_(std::move(title))
{
    SetCaption(title_);
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(443, clientHeight);
    Position = ui::TPosition::poDesktopCenter;

    Label1.Name = "Label1";
    Label1.SetBounds(8, 8, 200, 16);
    Edit1.Name = "Edit1";
    Edit1.SetBounds(8, 26, 328, 24);
    BitBtn1.Name = "BitBtn1";
    BitBtn1.SetBounds(344, 24, 91, 28);
    Label2.Name = "Label2";
    Label2.SetBounds(8, 58, 200, 16);
    BitBtn4.Name = "BitBtn4";
    BitBtn4.SetBounds(8, buttonsTop, 91, 28);
    BitBtn2.Name = "BitBtn2";
    BitBtn2.SetBounds(246, buttonsTop, 91, 28);
    BitBtn3.Name = "BitBtn3";
    BitBtn3.SetBounds(344, buttonsTop, 91, 28);
    SetTabOrder({&Edit1, &BitBtn1, &BitBtn4, &BitBtn2, &BitBtn3});

    OnKeyPress = [this](ui::TObject* s, char& k) { FormKeyPress(s, k); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    Edit1.OnEnter = [this](ui::TObject* s) { Edit1Enter(s); };
    Edit1.OnExit = [this](ui::TObject* s) { Edit1Exit(s); };
}

void TBackupSetWindow::PlaceBar(ui::TProgressBar& bar, const std::string& name)
{
    bar.Name = name;
    bar.SetMax(100);
    bar.SetBounds(8, 76, 427, 18);
}

void TBackupSetWindow::BitBtn1Click(ui::TObject*)
{
    if (Form18 != nullptr)
        Form18->ShowModal();
}

void TBackupSetWindow::BitBtn4Click(ui::TObject*)
{
    ui::Application.HelpJump("DATABAZE");
}

void TBackupSetWindow::BitBtn3Click(ui::TObject*)
{
    Close();
}

void TBackupSetWindow::Edit1Enter(ui::TObject*)
{
    ui::PaintFocused(Edit1);
}

void TBackupSetWindow::Edit1Exit(ui::TObject*)
{
    ui::PaintUnfocused(Edit1);
}

void TBackupSetWindow::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}

std::filesystem::path TBackupSetWindow::ProgramFolder()
{
    return Form1 != nullptr ? std::filesystem::path(Form1->Edit13.Text()) : std::filesystem::current_path();
}

void TBackupSetWindow::StepProgress(ui::TProgressBar& bar)
{
    bar.StepBy(1);
    ui::ShowProgressCaption(*this, title_, bar);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
