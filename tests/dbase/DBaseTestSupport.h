#pragma once
// Helpers of the dBase tests: a temporary folder, byte-level file building, and running the
// independent peer tools (python3-dbf, dbfread, ogr2ogr, shapelib) when they are installed.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace dbasetest {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("lendar-dbase-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void Put16(std::string& s, std::size_t at, unsigned v) {
    if (s.size() < at + 2) s.resize(at + 2, '\0');
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    if (s.size() < at + 4) s.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline std::uint32_t Get32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

struct FieldSpec {
    std::string name;
    char type;
    int length;
    int decimals = 0;
};

// A dBase table built byte by byte. Records are given as their field texts (already padded or
// not; each is padded with blanks to its width) with a deletion flag.
struct DbfBuilder {
    std::uint8_t version = 0x03;
    std::uint8_t languageDriver = 0;
    std::vector<FieldSpec> fields;
    std::vector<std::pair<bool, std::vector<std::string>>> records; // deleted, texts
    int headerSizeOverride = -1;
    int recordSizeOverride = -1;
    int recordCountOverride = -1;

    int RecordSize() const {
        int s = 1;
        for (const auto& f : fields) s += f.length;
        return s;
    }
    std::string Build() const {
        const bool v5 = version == 0x05;
        const std::size_t start = v5 ? 68 : 32, desc = v5 ? 48 : 32;
        std::string out(start, '\0');
        out[0] = static_cast<char>(version);
        out[1] = 124; out[2] = 1; out[3] = 2;
        out[29] = static_cast<char>(languageDriver);
        for (const auto& f : fields) {
            std::string d(desc, '\0');
            d.replace(0, f.name.size(), f.name);
            const std::size_t typeAt = v5 ? 32 : 11, lengthAt = v5 ? 33 : 16;
            d[typeAt] = f.type;
            d[lengthAt] = static_cast<char>(f.length);
            d[lengthAt + 1] = static_cast<char>(f.decimals);
            out += d;
        }
        out += '\x0D';
        const int headerSize = headerSizeOverride >= 0 ? headerSizeOverride : static_cast<int>(out.size());
        Put16(out, 8, static_cast<unsigned>(headerSize));
        Put16(out, 10, static_cast<unsigned>(recordSizeOverride >= 0 ? recordSizeOverride : RecordSize()));
        Put32(out, 4, static_cast<std::uint32_t>(recordCountOverride >= 0 ? recordCountOverride : static_cast<int>(records.size())));
        out.resize(static_cast<std::size_t>(headerSize), '\0');
        for (const auto& [deleted, texts] : records) {
            out += deleted ? '*' : ' ';
            for (std::size_t i = 0; i < fields.size(); ++i) {
                std::string t = i < texts.size() ? texts[i] : std::string();
                t.resize(static_cast<std::size_t>(fields[i].length), ' ');
                out += t;
            }
        }
        out += '\x1A';
        return out;
    }
};

// An empty .ndx: header page and an empty root leaf.
inline std::string EmptyNdx(const std::string& keyField, bool character, int keyLength, int maxKeys = -1) {
    std::string h(1024, '\0');
    const int stride = ((keyLength + 8 + 3) / 4) * 4;
    if (maxKeys < 0) maxKeys = (512 - 8) / stride;
    Put32(h, 0, 1);
    Put32(h, 4, 2);
    h[9] = character ? 'C' : 'N';
    Put16(h, 12, static_cast<unsigned>(keyLength));
    Put16(h, 14, static_cast<unsigned>(maxKeys));
    Put16(h, 16, character ? 0 : 1);
    Put16(h, 18, static_cast<unsigned>(stride));
    h.replace(24, keyField.size(), keyField);
    return h;
}

// Runs a shell command; returns its exit status and fills output with stdout.
inline int RunCommand(const std::string& command, std::string* output = nullptr) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    const int status = ::pclose(pipe);
    if (output) *output = out;
    return status;
}

inline bool HaveTool(const std::string& check) { return RunCommand(check + " >/dev/null 2>&1") == 0; }

// Debian's python3, where python3-dbf and dbfread are installed.
inline const char* kDebianPython = "/usr/bin/python3";

} // namespace dbasetest
