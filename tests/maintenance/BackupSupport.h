#pragma once
// What the backup and restore tests share: a session with a small library whose program folder
// is the test's folder, and the bytes of files.

#include "AppFixture.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace backuptest {

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// A short text that tells contents apart: the length and a hash of the bytes ("" for none).
std::string Fingerprint(const std::string& bytes);
// The contents (as fingerprints) of the nine table files, by table file name as the set names it.
std::map<std::string, std::string> TableBytes(const std::filesystem::path& programFolder);
// The contents (as fingerprints) of the nine backup files of a folder, by backup name ("" for a
// missing one).
std::map<std::string, std::string> BackupBytes(const std::filesystem::path& folder);
// Names in `folder` that an interrupted backup or restore leaves (".tmp", ".backup", journal).
std::vector<std::string> Leftovers(const std::filesystem::path& folder);

class BackupTest : public apptest::AppTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the program with the test's folder as its program folder.
    void Start();
    // Adds a book and a keyword while the program runs (so the tables differ from a backup).
    void ChangeData(const std::string& code);
    // Every dataset the program keeps open is open.
    void ExpectAllOpen();
    // Captions the window took, in order, while `action` ran.
    std::vector<std::string> CaptionsDuring(QWidget& window, const std::function<void()>& action);

    std::filesystem::path backup_; // a folder for backup sets, on the same disk
};

} // namespace backuptest
