#pragma once
// Folder and file pickers: a drive list (the mounted file systems), a folder list (the current
// folder's ancestors and subfolders) and a file list (the files of a folder that match a mask, in
// ascending order). Linked lists follow each other: a drive list moves its folder list, a folder
// list refreshes its file list.

#include "platform/ui/Control.h"

#include <QComboBox>
#include <QListWidget>

#include <filesystem>
#include <string>
#include <vector>

namespace ui {

class TFileListBox;
class TDirectoryListBox;

class TFileListBox : public QListWidget, public TControl {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    std::filesystem::path Directory() const { return directory_; }
    void SetDirectory(const std::filesystem::path& folder); // re-reads the names
    // File name pattern such as "*.flt" (several separated by ';'); letter case ignored.
    std::string Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    // Re-reads the folder; an unreadable or missing folder gives an empty list.
    void Update();

    std::vector<std::string> Items() const; // file names without folder
    int Count() const { return count(); }
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string FileName() const; // full path of the selected file, "" when none

    TNotifyEvent OnChange;

private:
    std::filesystem::path directory_;
    std::string mask_ = "*.*";
};

class TDirectoryListBox : public QListWidget, public TControl {
    Q_OBJECT
public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    // The current folder (full path). Setting a missing folder raises EFolderError.
    std::filesystem::path Directory() const { return directory_; }
    void SetDirectory(const std::filesystem::path& folder);
    void Update(); // re-reads the subfolders
    void SetFileList(TFileListBox* list);

    TNotifyEvent OnChange;

private:
    void Opened(QListWidgetItem* item);
    std::filesystem::path directory_;
    std::vector<std::filesystem::path> entries_;
    TFileListBox* fileList_ = nullptr;
};

class EFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDriveComboBox : public QComboBox, public TControl {
    Q_OBJECT
public:
    explicit TDriveComboBox(QWidget* parent = nullptr);

    std::filesystem::path Drive() const; // root folder of the chosen file system
    void SetDrive(const std::filesystem::path& root);
    void SetDirList(TDirectoryListBox* list);

    TNotifyEvent OnChange;

private:
    void UserChose(int index);
    std::vector<std::filesystem::path> roots_;
    TDirectoryListBox* dirList_ = nullptr;
};

} // namespace ui
