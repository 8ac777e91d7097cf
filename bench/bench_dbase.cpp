// Reads every field of every record as text through the dBase dataset (First/Next/Eof, the fields
// looked up by name once and read with GetAsString into one reused text, as the import does, with
// the conversion to UTF-8), beside shapelib reading the same ogr2ogr-made file in the same run.
// Both run on the one processor the benchmark starts on, in nine alternating rounds; the fastest
// round of each counts, which keeps other work on a shared machine out of the ratio.

#include "dbase/DBaseTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <string>
#include <vector>

extern "C" long long bench_shapelib_read_all(const char* path, long long* records);

namespace {

namespace fs = std::filesystem;

long RssKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// A catalogue-like file of n records and 10 fields, made by ogr2ogr from a CSV in CP852.
std::string MakeFile(const fs::path& dir, int n) {
    const fs::path dbf = dir / ("catalogue" + std::to_string(n) + ".dbf");
    if (fs::exists(dbf)) return dbf.string();
    fs::create_directories(dir);
    const fs::path csv = dir / ("catalogue" + std::to_string(n) + ".csv");
    {
        std::ofstream out(csv);
        out << "KOD,NAZEV,AUTOR,ROK,STRAN,CENA,DATUM,UMISTENI,CISLO,HMOTNOST\n";
        const char* authors[] = {"Čapek Karel", "Němcová Božena", "Erben Karel Jaromír", "Hašek Jaroslav", "Žáček Jiří"};
        const char* places[] = {"Sklad", "Půda", "Třída 5.A", "Čítárna"};
        unsigned seed = 12345;
        for (int i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            out << "K" << i << ",\"Kniha číslo " << i << " - příběh\"," << authors[seed % 5] << ',' << 1900 + seed % 124 << ','
                << 20 + seed % 900 << ',' << (seed % 100000) / 100.0 << ',' << 1990 + seed % 30 << '/' << 1 + seed % 12 << '/'
                << 1 + seed % 28 << ',' << places[seed % 4] << ',' << 100000000000LL + i << ',' << (seed % 5000) / 1000.0 << '\n';
        }
    }
    std::ofstream(dir / ("catalogue" + std::to_string(n) + ".csvt"))
        << "String(10),String(40),String(30),Integer(4),Integer(5),Real(10.2),Date,String(12),Integer64(15),Real(8.3)\n";
    const std::string cmd = "ogr2ogr -f 'ESRI Shapefile' -lco ENCODING=CP852 '" + dbf.string() + "' '" + csv.string() + "'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ogr2ogr failed\n");
        std::exit(1);
    }
    fs::remove(csv);
    return dbf.string();
}

struct Result {
    double seconds;
    long long bytes;
    long long records;
    long rssGrowthKb;
};

Result ReadDataset(const std::string& path) {
    const long rss0 = RssKb();
    const auto t0 = std::chrono::steady_clock::now();
    dbase::TDBaseTable t;
    t.FileName = path;
    t.ReadOnly = true;
    t.Open();
    // The import names its columns once, then copies each record's fields through one text.
    std::vector<data::TField*> fields;
    for (const auto& f : t.Fields()) fields.push_back(&t.FieldByName(f->FieldName()));
    std::string text;
    long long bytes = 0, records = 0;
    long peak = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        for (data::TField* field : fields) {
            field->GetAsString(text);
            bytes += static_cast<long long>(text.size());
        }
        if ((++records & 0xFFFF) == 0) peak = std::max(peak, RssKb());
    }
    t.Close();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return {s, bytes, records, std::max(peak, RssKb()) - rss0};
}

Result ReadShapelib(const std::string& path) {
    const auto t0 = std::chrono::steady_clock::now();
    long long records = 0;
    const long long bytes = bench_shapelib_read_all(path.c_str(), &records);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return {s, bytes, records, 0};
}

} // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const fs::path dir = LENDAR_BENCH_DATA_DIR;
    const std::string small = MakeFile(dir, n / 10);
    const std::string path = MakeFile(dir, n);
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);
    ReadDataset(small); // one-time set-up (the code-page tables) stays out of the figures
    Result best{1e9, 0, 0, 0}, base{1e9, 0, 0, 0};
    for (int round = 0; round < 9; ++round) {
        const Result d = ReadDataset(path);
        const Result s = ReadShapelib(path);
        if (d.seconds < best.seconds) best = d;
        if (s.seconds < base.seconds) base = s;
    }
    const Result tenth = ReadDataset(small);
    std::printf("file: %s (%lld records, 10 fields, %.1f MB)\n", path.c_str(), best.records,
                static_cast<double>(fs::file_size(path)) / 1e6);
    std::printf("TDBaseTable, fields as UTF-8 text: %.3f s (%.0f ns per field)\n", best.seconds,
                best.seconds * 1e9 / static_cast<double>(best.records * 10));
    std::printf("shapelib DBFReadStringAttribute:   %.3f s (%.0f ns per field)\n", base.seconds,
                base.seconds * 1e9 / static_cast<double>(base.records * 10));
    std::printf("speed ratio (shapelib time / dataset time): %.2fx (goal: at least 2x)\n", base.seconds / best.seconds);
    std::printf("resident memory growth while reading: %ld KB for %lld records, %ld KB for %lld records\n",
                best.rssGrowthKb, best.records, tenth.rssGrowthKb, tenth.records);
    return 0;
}
