// Files that nobody here wrote: made by python3-dbf, ogr2ogr and shapelib, read through the
// dataset and compared value by value; and files written by the dataset, read by dbfread.
// Each test skips when its tool is missing (./test installs them).

#include "DBaseTestSupport.h"

#include "dbase/DBaseTable.h"

#include <gtest/gtest.h>

using namespace dbasetest;
using dbase::TDBaseTable;
using data::TFieldType;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows ReadAll(const std::string& file, const std::vector<std::string>& fields, bool showDeleted = false) {
    TDBaseTable t;
    t.FileName = file;
    t.ReadOnly = true;
    t.Open();
    t.SetShowDeleted(showDeleted);
    Rows rows;
    for (t.First(); !t.Eof(); t.Next()) {
        std::vector<std::string> row;
        for (const auto& f : fields) row.push_back(t.FieldByName(f).AsString());
        rows.push_back(row);
    }
    return rows;
}

bool HavePythonModule(const char* module) {
    return HaveTool(std::string(kDebianPython) + " -c 'import " + module + "'");
}

TEST(PeerFiles, PythonDbfDialectThreeWithMemosAndDeletedRecords) {
    if (!HavePythonModule("dbf")) GTEST_SKIP() << "python3-dbf is not installed";
    TempDir dir;
    const std::string script = R"PY(
import dbf, sys
t = dbf.Table(sys.argv[1], 'jmeno C(20); vek N(3,0); cena N(8,2); narozen D; pozn M; aktivni L', dbf_type='db3', codepage='cp852')
t.open(dbf.READ_WRITE)
t.append(('Žluťoučký kůň', 12, 3.5, dbf.Date(2005, 3, 7), 'Úpěl ďábelské ódy', True))
t.append(('Smazaný', 1, 0, None, 'pryč', False))
t.append(('Dlouhá poznámka', -5, -1234.25, dbf.Date(1899, 12, 31), 'ř' * 700 + 'konec', False))
t.append(('Bez poznámky', None, None, None, '', None))
dbf.delete(t[1])
t.close()
)PY";
    WriteFile(dir / "make.py", script);
    std::string out;
    ASSERT_EQ(RunCommand(std::string(kDebianPython) + " " + (dir / "make.py") + " " + (dir / "peer.dbf"), &out), 0) << out;
    const Rows rows = ReadAll(dir / "peer.dbf", {"JMENO", "VEK", "CENA", "NAROZEN", "POZN", "AKTIVNI"});
    std::string ruth;
    for (int i = 0; i < 700; ++i) ruth += "ř";
    const Rows expected = {
        {"Žluťoučký kůň", "12", "3,5", "7.3.2005", "Úpěl ďábelské ódy", "True"},
        {"Dlouhá poznámka", "-5", "-1234,25", "31.12.1899", ruth + "konec", "False"},
        {"Bez poznámky", "", "", "", "", ""},
    };
    EXPECT_EQ(rows, expected);
    const Rows all = ReadAll(dir / "peer.dbf", {"JMENO"}, true);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[1][0], "Smazaný");
}

void OgrFixture(const TempDir& dir, const std::string& encodingOption, const std::string& name) {
    WriteFile(dir / "src.csv",
              "NAZEV,POCET,CENA,DATUM,VELKE\n"
              "Příliš žluťoučký,12,3.125,2005/03/07,12345678901234\n"
              "\"Čtenář, třída 5.A\",-7,-0.5,1999/12/31,-9000000000\n"
              "prázdné,,,,\n");
    WriteFile(dir / "src.csvt", "String(24),Integer(5),Real(12.3),Date,Integer64(18)\n");
    std::string out;
    ASSERT_EQ(RunCommand("ogr2ogr -f 'ESRI Shapefile' -lco ENCODING=" + encodingOption + " " + (dir / name) + " " + (dir / "src.csv"), &out), 0)
        << out;
}

TEST(PeerFiles, Ogr2ogrTypesInCp852AndCp1250) {
    if (!HaveTool("ogr2ogr --version")) GTEST_SKIP() << "gdal-bin is not installed";
    const Rows expected = {
        {"Příliš žluťoučký", "12", "3,125", "7.3.2005", "12345678901234"},
        {"Čtenář, třída 5.A", "-7", "-0,5", "31.12.1999", "-9000000000"},
        {"prázdné", "", "", "", ""},
    };
    for (const std::string encoding : {"CP852", "LDID/200"}) {
        TempDir dir;
        OgrFixture(dir, encoding, "o.dbf");
        if (HasFailure()) return;
        EXPECT_EQ(ReadAll(dir / "o.dbf", {"NAZEV", "POCET", "CENA", "DATUM", "VELKE"}), expected) << encoding;
        TDBaseTable t;
        t.FileName = dir / "o.dbf";
        t.Open();
        EXPECT_EQ(t.FieldByName("VELKE").DataType(), TFieldType::ftLargeint);
        EXPECT_EQ(t.FieldByName("VELKE").AsInteger(), 12345678901234);
    }
}

TEST(PeerFiles, ShapelibFile) {
    if (!HaveTool("command -v dbfcreate") || !HaveTool("command -v dbfadd")) GTEST_SKIP() << "shapelib is not installed";
    TempDir dir;
    const std::string file = dir / "s.dbf";
    std::string out;
    ASSERT_EQ(RunCommand("dbfcreate " + file + " -s NAME 16 -n QTY 6 0 -n PRICE 10 3", &out), 0) << out;
    ASSERT_EQ(RunCommand("dbfadd " + file + " 'first' 12 1.5", &out), 0) << out;
    ASSERT_EQ(RunCommand("dbfadd " + file + " 'second one' -3 0.125", &out), 0) << out;
    const Rows expected = {{"first", "12", "1,5"}, {"second one", "-3", "0,125"}};
    EXPECT_EQ(ReadAll(file, {"NAME", "QTY", "PRICE"}), expected);
}

TEST(PeerFiles, DbfreadReadsWhatTheDatasetWrites) {
    if (!HavePythonModule("dbfread")) GTEST_SKIP() << "python3-dbfread is not installed";
    TempDir dir;
    {
        TDBaseTable t;
        t.FileName = dir / "w.dbf";
        t.FieldDefs().Add("NAME", TFieldType::ftString, 20);
        t.FieldDefs().Add("COUNT", TFieldType::ftInteger);
        t.FieldDefs().Add("BIG", TFieldType::ftLargeint);
        t.FieldDefs().Add("PRICE", TFieldType::ftFloat);
        t.FieldDefs().Add("BORN", TFieldType::ftDate);
        t.FieldDefs().Add("OK", TFieldType::ftBoolean);
        t.FieldDefs().Add("NOTE", TFieldType::ftMemo);
        t.CreateTable();
        t.FieldDefs().Clear();
        t.Open();
        const char* names[] = {"Šťastný čtenář", "Smazat", "Poslední"};
        for (int i = 0; i < 3; ++i) {
            t.Append();
            t.FieldByName("NAME").SetAsString(names[i]);
            t.FieldByName("COUNT").SetAsInteger(i - 1);
            t.FieldByName("BIG").SetAsInteger(9000000000LL * (i + 1));
            t.FieldByName("PRICE").SetAsFloat(12.5 * i);
            t.FieldByName("BORN").SetAsString("29.2.2024");
            t.FieldByName("OK").SetAsBoolean(i % 2 == 0);
            if (i != 2) t.FieldByName("NOTE").SetAsString(std::string("Dlouhý text ") + std::string(600, 'x'));
            t.Post();
        }
        t.First();
        t.Next();
        t.Delete();
        t.Close();
    }
    const std::string script = R"PY(
import dbfread, sys
t = dbfread.DBF(sys.argv[1], encoding='cp852')
for r in t:
    print('|'.join(repr(r[k]) if k != 'NOTE' else repr(r[k][:12] + str(len(r[k] or ''))) if r[k] else 'None' for k in ['NAME','COUNT','BIG','PRICE','BORN','OK','NOTE']))
print('deleted', len(t.deleted))
)PY";
    WriteFile(dir / "read.py", script);
    std::string out;
    ASSERT_EQ(RunCommand(std::string(kDebianPython) + " " + (dir / "read.py") + " " + (dir / "w.dbf"), &out), 0) << out;
    EXPECT_EQ(out,
              "'Šťastný čtenář'|-1|9000000000|0.0|datetime.date(2024, 2, 29)|True|'Dlouhý text 612'\n"
              "'Poslední'|1|27000000000|25.0|datetime.date(2024, 2, 29)|True|None\n"
              "deleted 1\n");
}

} // namespace
