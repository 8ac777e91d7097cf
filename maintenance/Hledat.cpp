#include "maintenance/Hledat.h"

#include "maintenance/ImportovatData.h"
#include "maintenance/ZalohovatData.h"

#include <QResizeEvent>

#include <filesystem>

TForm18* Form18 = nullptr;

TForm18::TForm18()
    : ui::TForm("Form18")
{
    SetCaption("Hledat");
    SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
    SetClientSize(233, 363);
    Position = ui::TPosition::poDesktopCenter;

    DirectoryListBox1.Name = "DirectoryListBox1";
    DriveComboBox1.Name = "DriveComboBox1";
    DriveComboBox1.SetDirList(&DirectoryListBox1);
    BitBtn1.Name = "BitBtn1";
    BitBtn1.Default = true;
    BitBtn2.Name = "BitBtn2";
    BitBtn2.Cancel = true;
    PlaceControls();
    SetTabOrder({&DirectoryListBox1, &DriveComboBox1, &BitBtn1, &BitBtn2});

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
}

void TForm18::PlaceControls()
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    DirectoryListBox1.SetBounds(8, 8, width - 16, height - 86);
    DriveComboBox1.SetBounds(8, height - 72, width - 16, 24);
    const int buttons = 2 * 91 + 8;
    const int left = (width - buttons) / 2;
    BitBtn1.SetBounds(left, height - 38, 91, 28);
    BitBtn2.SetBounds(left + 99, height - 38, 91, 28);
}

void TForm18::resizeEvent(QResizeEvent* event)
{
    ui::TForm::resizeEvent(event);
    PlaceControls();
}

void TForm18::FormShow(ui::TObject*)
{
    if (shown_)
        return;
    shown_ = true;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error)
        return;
    try {
        DirectoryListBox1.SetDirectory(current);
    } catch (const ui::EFolderError&) {
    }
}

void TForm18::BitBtn1Click(ui::TObject*)
{
    const std::string folder = DirectoryListBox1.Directory().string();
    if (Form8 != nullptr)
        Form8->Edit1.SetText(folder);
    if (Form6 != nullptr)
        Form6->Edit1.SetText(folder);
    SetModalResult(ui::mrOk);
}

void TForm18::BitBtn2Click(ui::TObject*)
{
    SetModalResult(ui::mrCancel);
}
