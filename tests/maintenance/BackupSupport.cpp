#include "BackupSupport.h"

#include "app/Hlavni.h"
#include "catalogue/KlicovaSlova.h"
#include "maintenance/BackupSet.h"
#include "platform/data/Session.h"
#include "platform/ui/Text.h"

#include <QObject>
#include <QWidget>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace backuptest {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Fingerprint(const std::string& bytes)
{
    return bytes.empty() ? std::string() : std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes));
}

std::map<std::string, std::string> TableBytes(const fs::path& programFolder)
{
    std::map<std::string, std::string> bytes;
    for (const backup::SetMember& member : backup::kBackupSet)
        bytes[std::string(member.table)] =
            Fingerprint(ReadBytes(data::Session::ResolveTableFile(programFolder, member.table)));
    return bytes;
}

std::map<std::string, std::string> BackupBytes(const fs::path& folder)
{
    std::map<std::string, std::string> bytes;
    for (const backup::SetMember& member : backup::kBackupSet) {
        const fs::path file = folder / std::string(member.backup);
        bytes[std::string(member.backup)] = fs::exists(file) ? Fingerprint(ReadBytes(file)) : std::string();
    }
    return bytes;
}

std::vector<std::string> Leftovers(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp") != std::string::npos || name.find(".backup") != std::string::npos ||
            name.find("lendar-new") != std::string::npos || name == "Lendar.replace")
            names.push_back(name);
    }
    return names;
}

void BackupTest::SetUp()
{
    AppTest::SetUp();
    backup_ = folder_ / "Zálohy";
    fs::create_directory(backup_);
    const std::int64_t reader = AddReader("Nováková Eliška");
    AddReader("Dvořák Jan", true, "6.B");
    const std::int64_t book = AddBook("A1", "Babička", true);
    AddBook("A2", "Krakatit");
    AddLoan(reader, book, apptest::DayText(-3));
}

void BackupTest::TearDown()
{
    AppTest::TearDown();
}

void BackupTest::Start()
{
    StartProgram();
    Form1->Edit13.SetText(folder_.string());
}

void BackupTest::ChangeData(const std::string& code)
{
    AddBook(code, "Kniha " + code);
    Form9->Table1.Append();
    Form9->Table1.FieldByName("Nazev").SetAsString("slovo " + code);
    Form9->Table1.Post();
}

void BackupTest::ExpectAllOpen()
{
    for (data::TDataSet* d : {static_cast<data::TDataSet*>(&Form1->Table1), static_cast<data::TDataSet*>(&Form1->Table2),
                              static_cast<data::TDataSet*>(&Form1->Table3), static_cast<data::TDataSet*>(&Form1->Table4),
                              static_cast<data::TDataSet*>(&Form1->Table5), static_cast<data::TDataSet*>(&Form1->Table6),
                              static_cast<data::TDataSet*>(&Form1->Table7), static_cast<data::TDataSet*>(&Form1->Query1),
                              static_cast<data::TDataSet*>(&Form1->Query2), static_cast<data::TDataSet*>(&Form1->Query3),
                              static_cast<data::TDataSet*>(&Form9->Table1)})
        EXPECT_TRUE(d->Active()) << d->Name;
}

std::vector<std::string> BackupTest::CaptionsDuring(QWidget& window, const std::function<void()>& action)
{
    std::vector<std::string> captions;
    const QMetaObject::Connection connection = QObject::connect(
        &window, &QWidget::windowTitleChanged, [&captions](const QString& title) { captions.push_back(ui::S(title)); });
    action();
    QObject::disconnect(connection);
    return captions;
}

} // namespace backuptest
