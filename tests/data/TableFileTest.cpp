// The table files: layout, structure checks, names, record numbers and stored forms.

#include "LibraryFolder.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace data;
using data_test::LibraryFolder;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Runs SQL on a table file with a connection of its own.
void RawExec(const fs::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error != nullptr ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

std::string RawQuery(const fs::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* text = sqlite3_column_text(stmt, c);
                result += (c ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            result += ";";
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

TEST(Schemas, TheNineTablesWithTheirFieldsAndWidths)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(LibraryFolder::SchemaFolder())) {
        const auto schema = ReadSchemaFile(entry.path());
        std::string desc;
        for (const auto& f : schema.fields)
            desc += f.name + ":" + FieldTypeName(f.type) + (f.size ? std::to_string(f.size) : "") + " ";
        files[schema.fileName] = desc;
    }
    ASSERT_EQ(files.size(), 9u);
    EXPECT_EQ(files["Čtenáři.db"], "Cislo:autoinc Jmeno:text255 Trida:text10 Kategorie:text255 Poznamka:text255 "
                                   "Aktivni:boolean Stav:text15 ");
    EXPECT_EQ(files["Výpůjčky.db"], "Cislo:autoinc CisloCtenare:integer CisloKnihy:integer Pujceno:datetime "
                                    "Vraceno:datetime Dnu:integer VracenoB:boolean ");
    EXPECT_EQ(files["Číselníky02.db"], "Nazev:text10 Kategorie:integer ");
    EXPECT_NE(files["Knihy.DB"].find("Kod:text20 "), std::string::npos);
    EXPECT_NE(files["Knihy.DB"].find("CenaX:currency "), std::string::npos);
    EXPECT_EQ(files.count("KlicovaSlova.DB") + files.count("VýpůjčkyArchiv.db") + files.count("Číselníky.db") +
                  files.count("Číselníky03.db") + files.count("Číselníky04.db"),
              5u);
    const auto readers = LibraryFolder::Schema("Čtenáři.schema");
    ASSERT_EQ(readers.indexes.size(), 2u);
    EXPECT_EQ(readers.indexes[0].name + "=" + readers.indexes[0].fields, "PodleJmena=Jmeno;Cislo");
    EXPECT_EQ(readers.indexes[1].name + "=" + readers.indexes[1].fields, "PodleCisla=Cislo");
}

struct BadSchema {
    const char* text;
    const char* expected;
};
class SchemaErrors : public ::testing::TestWithParam<BadSchema> {};

TEST_P(SchemaErrors, AreReportedWithTheLine)
{
    try {
        ParseSchemaText(GetParam().text, "x.schema");
        FAIL() << "accepted: " << GetParam().text;
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SchemaErrors,
    ::testing::Values(BadSchema{"file A.db\nfield X number\n", "řádek 2"}, BadSchema{"field X integer\n", "file"},
                      BadSchema{"file A.db\nfield X text\n", "délku"}, BadSchema{"file A.db\nfield X text 0\n", "délka"},
                      BadSchema{"file A.db\nfield X integer\nfield x integer\n", "dvakrát"},
                      BadSchema{"file A.db\nfield X integer\nindex I X;Y\n", "'Y'"},
                      BadSchema{"file A.db\n", "žádné pole"}));

TEST(TableFiles, LayoutVersionAndSqliteIndexes)
{
    LibraryFolder folder;
    EXPECT_EQ(RawQuery(folder.File("Knihy.DB"), "PRAGMA user_version"), "1;");
    EXPECT_EQ(RawQuery(folder.File("Výpůjčky.db"),
                       "SELECT name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL ORDER BY name"),
              "Výpůjčky_CisloCtenare;Výpůjčky_CisloKnihy;Výpůjčky_VracenoB;");
    EXPECT_EQ(RawQuery(folder.File("Čtenáři.db"), "SELECT name, fields FROM lendar_indexes ORDER BY name"),
              "PodleCisla|Cislo;PodleJmena|Jmeno;Cislo;");
}

TEST(TableFiles, ValuesAreStoredInFormsOtherProgramsRead)
{
    LibraryFolder folder;
    {
        TTable loans;
        loans.TableName = "Výpůjčky.db";
        loans.Open();
        loans.Append();
        loans.FieldByName("Pujceno").SetAsString("3.9.2024");
        loans.FieldByName("Vraceno").SetAsString("4.9.2024 10:15:00");
        loans.FieldByName("VracenoB").SetAsString("True");
        loans.Post();
        TTable books;
        books.TableName = "Knihy.DB";
        books.Open();
        books.Append();
        books.FieldByName("CenaX").SetAsString("149,9");
        books.Post();
    }
    EXPECT_EQ(RawQuery(folder.File("Výpůjčky.db"), "SELECT Pujceno, Vraceno, VracenoB, typeof(VracenoB) FROM Výpůjčky"),
              "2024-09-03|2024-09-04 10:15:00|1|integer;");
    EXPECT_EQ(RawQuery(folder.File("Knihy.DB"), "SELECT CenaX, typeof(CenaX) FROM Knihy"), "1499000|integer;");

    // A record another program wrote while the file was not in use.
    RawExec(folder.File("Výpůjčky.db"), "INSERT INTO Výpůjčky (Pujceno, VracenoB) VALUES ('2024-09-05', 0)");
    TTable loans;
    loans.TableName = "Výpůjčky.db";
    loans.Open();
    loans.Last();
    EXPECT_EQ(loans.FieldByName("Pujceno").AsString(), "5.9.2024");
    EXPECT_EQ(loans.FieldByName("VracenoB").AsString(), "False");
    EXPECT_EQ(loans.FieldByName("Cislo").AsInteger(), 2);
}

TEST(TableFiles, RecordNumbersAreNeverGivenTwice)
{
    LibraryFolder folder;
    TTable readers;
    readers.TableName = "Čtenáři.db";
    readers.Open();
    auto add = [&] {
        readers.Append();
        readers.FieldByName("Jmeno").SetAsString("x");
        readers.Post();
        return readers.FieldByName("Cislo").AsInteger();
    };
    add();
    add();
    EXPECT_EQ(add(), 3);
    readers.Delete();
    EXPECT_EQ(add(), 4);
    readers.EmptyTable();
    EXPECT_TRUE(readers.IsEmpty());
    EXPECT_EQ(add(), 5);
    readers.Close();
    readers.EmptyTable(); // closed
    readers.Open();
    EXPECT_EQ(readers.RecordCount(), 0);
    EXPECT_EQ(add(), 6);
}

TEST(TableFiles, NamesAreFoundWithoutRegardToLetterCase)
{
    LibraryFolder folder;
    for (const char* name : {"knihy.db", "KNIHY.DB", "čtenáři.DB", "Výpůjčky.DB"}) {
        TTable t;
        t.TableName = name;
        EXPECT_NO_THROW(t.Open()) << name;
        EXPECT_TRUE(t.Active());
    }
    TTable missing;
    missing.TableName = "Nic.db";
    try {
        missing.Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Nic.db"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(folder.File("Nic.db"))); // never created
}

struct Damage {
    const char* name;
    std::function<void(const fs::path&)> apply;
    const char* expected;
};

class StructureDiffers : public ::testing::TestWithParam<Damage> {};

TEST_P(StructureDiffers, TheFileFailsToOpenWithAMessageNamingIt)
{
    LibraryFolder folder;
    const fs::path file = folder.File("Knihy.DB");
    GetParam().apply(file);
    const std::string before = ReadBytes(file);
    TTable books;
    books.TableName = "Knihy.DB";
    try {
        books.Open();
        FAIL() << "opened";
    } catch (const EDatabaseError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Knihy.DB"), std::string::npos) << message;
        EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
    }
    EXPECT_FALSE(books.Active());
    EXPECT_EQ(Session::Instance().AttachedCount(), 0);
    EXPECT_EQ(ReadBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StructureDiffers,
    ::testing::Values(
        Damage{"MissingColumn", [](const fs::path& f) { RawExec(f, "ALTER TABLE Knihy DROP COLUMN Autor"); },
               "chybí pole 'Autor'"},
        Damage{"WrongType",
               [](const fs::path& f) { RawExec(f, "UPDATE lendar_fields SET type='text', size=20 WHERE name='CenaX'"); },
               "jiný typ"},
        Damage{"NotADatabase",
               [](const fs::path& f) {
                   std::ofstream(f, std::ios::binary | std::ios::trunc) << std::string(4096, 'x');
               },
               "není platnou tabulkou"},
        Damage{"NoDescription", [](const fs::path& f) { RawExec(f, "DROP TABLE lendar_fields"); }, "popis struktury"},
        Damage{"OtherVersion", [](const fs::path& f) { RawExec(f, "PRAGMA user_version=7"); }, "verzi"},
        Damage{"OtherTable",
               [](const fs::path& f) {
                   fs::copy_file(f.parent_path() / "Čtenáři.db", f, fs::copy_options::overwrite_existing);
               },
               "neobsahuje tabulku 'Knihy'"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TableFiles, TheBuildLaysOutTheProgramFolder)
{
    const char* dir = std::getenv("LENDAR_PROGRAM_DIR");
    if (dir == nullptr || !fs::exists(fs::path(dir) / "Knihy.DB"))
        GTEST_SKIP() << "program folder not built";
    const fs::path program = dir;
    for (const auto& entry : fs::directory_iterator(LibraryFolder::SchemaFolder())) {
        const auto schema = ReadSchemaFile(entry.path());
        EXPECT_TRUE(TableFileMatches(program / schema.fileName, schema)) << schema.fileName;
        EXPECT_TRUE(TableFileMatches(program / "Empty" / schema.fileName, schema)) << schema.fileName;
    }
    for (const char* sub : {"Data/Help", "Data/Icon", "Data/Filters"})
        EXPECT_TRUE(fs::is_directory(program / sub)) << sub;
}

} // namespace
