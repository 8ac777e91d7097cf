// Lists: the plain list box and the folder and file lists that pick saved filters and backup
// folders.

#include "UiTest.h"

#include "platform/ui/Edit.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/ListBox.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(ListBoxTest, SortedListKeepsCzechOrderAndTheSelectionFollowsItsItem)
{
    ui::TListBox list;
    list.SetSorted(true);
    for (const char* word : {"žirafa", "čáp", "cvrček", "hroch", "chobotnice"})
        list.AddItem(word);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"cvrček", "čáp", "hroch", "chobotnice", "žirafa"}));
    list.SetItemIndex(2);
    list.AddItem("bobr");
    EXPECT_EQ(list.Item(list.ItemIndex()), "hroch");
    list.DeleteItem(0);
    EXPECT_EQ(list.Item(list.ItemIndex()), "hroch");
    list.DeleteItem(list.ItemIndex());
    EXPECT_EQ(list.ItemIndex(), -1);
    list.DeleteItem(42);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf("ŽIRAFA"), 3);
}

TEST(ListBoxTest, ItemIndexOutOfRangeSelectsNothing)
{
    ui::TListBox list;
    list.SetItems({"a", "b"});
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetItemIndex(1);
    EXPECT_EQ(list.ItemIndex(), 1);
    list.SetItemIndex(2);
    EXPECT_EQ(list.ItemIndex(), -1);
}

class FileListTest : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("lendar_ui_files_" + std::to_string(::getpid()));
    void SetUp() override
    {
        fs::create_directories(folder / "Filters");
        fs::create_directories(folder / "Záloha");
        for (const char* name : {"Zima.flt", "babička.FLT", "Čapek.flt", "notes.txt", "Beletrie.flt"})
            std::ofstream(folder / "Filters" / name) << "x";
        fs::create_directories(folder / "Filters" / "podsložka.flt");
    }
    void TearDown() override { fs::remove_all(folder); }
};

TEST_F(FileListTest, FilesOfTheMaskInAscendingOrderWithoutFolders)
{
    ui::TFileListBox files;
    files.SetMask("*.flt");
    files.SetDirectory(folder / "Filters");
    EXPECT_EQ(files.Items(), (std::vector<std::string>{"babička.FLT", "Beletrie.flt", "Čapek.flt", "Zima.flt"}));
    EXPECT_EQ(files.ItemIndex(), -1);
    files.SetItemIndex(0);
    EXPECT_EQ(files.FileName(), (folder / "Filters" / "babička.FLT").string());
    files.SetMask("*.txt;*.FLT");
    EXPECT_EQ(files.Count(), 5);
    files.SetDirectory(folder / "missing");
    EXPECT_EQ(files.Count(), 0);
}

TEST_F(FileListTest, FolderListShowsAncestorsAndSubfoldersAndRefreshesItsFileList)
{
    ui::TDirectoryListBox folders;
    ui::TFileListBox files;
    files.SetMask("*.flt");
    folders.SetFileList(&files);
    int changes = 0;
    folders.OnChange = [&](ui::TObject*) { ++changes; };
    folders.SetDirectory(folder);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(files.Count(), 0);
    folders.SetDirectory(folder / "Filters");
    EXPECT_EQ(folders.Directory(), folder / "Filters");
    EXPECT_EQ(files.Count(), 4);
    EXPECT_THROW(folders.SetDirectory(folder / "nic"), ui::EFolderError);
    EXPECT_EQ(folders.Directory(), folder / "Filters"); // a refused folder changes nothing
    EXPECT_EQ(files.Count(), 4);
}

class EditLimitTest : public ui_test::UiTest {};

TEST_F(EditLimitTest, TypingLimitReturnsAfterALongerTextSetByCodeIsShortened)
{
    ui::TForm form("Form4");
    ui::TEdit code(&form);
    code.SetMaxLength(3);
    code.SetText("ABCDEF");
    ShowActive(form);
    code.SetFocus();
    code.end(false);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&code, Qt::Key_Backspace);
    QTest::keyClicks(&code, QStringLiteral("xyz"));
    EXPECT_EQ(code.Text(), "AB" "x");
}

} // namespace
