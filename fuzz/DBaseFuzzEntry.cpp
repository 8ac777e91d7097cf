#include "fuzz/DBaseFuzzEntry.h"

#include "dbase/DBaseTable.h"
#include "dbase/Errors.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace dbasefuzz {

namespace {

namespace fs = std::filesystem;

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("lendar-dbase-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void Store(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::uint32_t Length(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Walk(dbase::TDBaseTable& t) {
    for (t.First(); !t.Eof(); t.Next())
        for (const auto& f : t.Fields()) (void)f->AsString();
    for (t.Last(); !t.Bof(); t.Prior()) (void)t.Fields().front()->AsString();
}

} // namespace

// Rewrites the first records unchanged (every open index trades their keys) and appends one.
void Rewrite(dbase::TDBaseTable& t) {
    int n = 0;
    for (t.First(); !t.Eof() && n < 20; t.Next(), ++n) {
        t.Edit();
        for (const auto& f : t.Fields()) f->SetAsString(f->AsString());
        t.Post();
    }
    t.Append();
    if (!t.Fields().empty()) t.Fields().front()->SetAsString("x");
    t.Post();
}

void ReadEverything(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return;
    // The top bit of the memo part's length asks for a writing run.
    const bool write = (data[7] & 0x80) != 0;
    const std::size_t dbfLength = std::min<std::size_t>(Length(data), size - 8);
    const std::size_t dbtLength = std::min<std::size_t>(Length(data + 4) & 0x7FFFFFFF, size - 8 - dbfLength);
    const std::uint8_t* dbf = data + 8;
    const std::uint8_t* dbt = dbf + dbfLength;
    const std::uint8_t* ndx = dbt + dbtLength;
    const std::size_t ndxLength = size - 8 - dbfLength - dbtLength;

    const fs::path dir = WorkDir();
    Store(dir / "f.dbf", dbf, dbfLength);
    std::error_code ec;
    fs::remove(dir / "f.dbt", ec);
    fs::remove(dir / "f.ndx", ec);
    if (dbtLength > 0) Store(dir / "f.dbt", dbt, dbtLength);
    if (ndxLength > 0) Store(dir / "f.ndx", ndx, ndxLength);

    dbase::TDBaseTable t;
    t.FileName = (dir / "f.dbf").string();
    t.ReadOnly = !write;
    try {
        t.Open();
        if (write && ndxLength > 0) t.UseIndex(t.OpenIndex((dir / "f.ndx").string()));
        if (write) Rewrite(t);
        Walk(t);
        t.SetShowDeleted(true);
        Walk(t);
        if (ndxLength > 0 && !write) {
            t.UseIndex(t.OpenIndex((dir / "f.ndx").string()));
            Walk(t);
            if (!t.Fields().empty()) t.Find(t.Fields().front()->AsString());
        }
        t.Close();
    } catch (const data::EDatabaseError&) {
    } catch (const data::EConvertError&) {
    }
}

} // namespace dbasefuzz
