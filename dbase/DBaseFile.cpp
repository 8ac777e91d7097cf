#include "dbase/DBaseFile.h"

#include "dbase/Errors.h"
#include "dbase/FieldScan.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

namespace dbase {

using data::TFieldType;
using data::Value;

namespace {


constexpr std::uint8_t kTerminator = 0x0D;
constexpr std::uint8_t kEndOfFile = 0x1A;
constexpr std::uint8_t kOem852Driver = 0x64; // language driver byte of the OEM code page we write

// The code page named by the .cpg file beside a table (the same name with the extension .cpg,
// letter case of the extension ignored); none without such a file or a name known here.
std::optional<TCodePage> CodePageOfCpgFile(const std::string& tableFile) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path table(tableFile);
    for (const char* extension : {".cpg", ".CPG", ".Cpg"}) {
        fs::path cpg = table;
        cpg.replace_extension(extension);
        if (!fs::is_regular_file(cpg, error)) continue;
        std::ifstream in(cpg, std::ios::binary);
        std::string text(256, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
        return TCodePageTable::FromCpgText(text);
    }
    return std::nullopt;
}

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Cuts blanks and control characters (codes below 33) from both ends.
[[gnu::always_inline]] inline std::string_view Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    // Fields are mostly padded with blanks: skip them eight at a time first.
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    while (e >= 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + e - 8, 8);
        if (w != kBlanks) break;
        e -= 8;
    }
    while (b + 8 <= e) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + b, 8);
        if (w != kBlanks) break;
        b += 8;
    }
    while (b < e && static_cast<unsigned char>(s[b]) < 33) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) < 33) --e;
    return s.substr(b, e - b);
}

bool ParseInt64(std::string_view s, std::int64_t& out) {
    s = Trim(s);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && ptr == s.data() + s.size();
}

bool ParseDouble(std::string_view s, double& out) {
    s = Trim(s);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-' || s[0] == '.')) return false;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::fixed | std::chars_format::scientific);
    return ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(out);
}

// A date part: digits with optional blanks around them; -1 when it is no number.
int DatePart(std::string_view s) {
    s = Trim(s);
    if (s.empty()) return -1;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string Digits(std::int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool ToDouble(const Value& v, double& out) {
    if (const auto* d = std::get_if<double>(&v)) { out = *d; return true; }
    if (const auto* i = std::get_if<std::int64_t>(&v)) { out = static_cast<double>(*i); return true; }
    if (const auto* b = std::get_if<bool>(&v)) { out = *b ? 1 : 0; return true; }
    if (const auto* c = std::get_if<data::TCurrency>(&v)) { out = static_cast<double>(c->units) / 10000.0; return true; }
    if (const auto* t = std::get_if<data::TDateTime>(&v)) { out = t->days; return true; }
    if (const auto* s = std::get_if<std::string>(&v)) {
        std::string text(Trim(*s));
        std::replace(text.begin(), text.end(), ',', '.');
        return ParseDouble(text, out);
    }
    return false;
}

} // namespace

namespace {
// Writers of GetFieldText's result.
void SetText(std::string& out, const char* text, std::size_t length) {
    out.clear();
    out.append(text, length);
}

// Text with bytes above 127, converted to UTF-8; kept out of line, with its buffers, so that
// reading plain fields needs no large stack frame.
[[gnu::noinline]] void ConvertText(const TCodePageTable& codePage, const char* bytes, std::size_t length,
                                   std::uint64_t high, std::size_t readable, std::string& out) {
    codePage.AssignUtf8(bytes, length, high, readable, out);
}
[[gnu::noinline]] void ConvertText(const TCodePageTable& codePage, std::string_view bytes, std::string& out) {
    codePage.AssignUtf8(bytes.data(), bytes.size(), out);
}

// Fast forms of GetFieldText for stored texts that already are in their shortest form, which is
// what writers produce: they give the same text as converting to the value and back. Each
// answers false, leaving out to the general form, for any other stored text.

// The field f (masks m, not blank) holds [-]digits without leading zeros, at most 18 of them,
// and not "-0".
bool CanonicalIntegerText(const char* f, const TFieldMasks& m, std::string& out) {
    const std::size_t b = m.Begin(), e = m.End();
    const bool negative = f[b] == '-';
    const std::size_t start = b + (negative ? 1 : 0);
    if ((BitRange(b, e) & ~m.digit) != (negative ? 1ull << b : 0)) return false; // a sign, then digits only
    const std::size_t digits = e - start;
    if (digits == 0 || digits > 18 || (f[start] == '0' && (digits > 1 || negative))) return false;
    SetText(out, f + b, e - b);
    return true;
}

// The field f (masks m, not blank) holds [-]digits[.digits] that printf's "%.15g" would give back
// as they stand once the fraction's trailing zeros are dropped: at most 15 significant digits, no
// leading zeros, not the exponent form, not "-0". Written with the decimal comma.
bool CanonicalFloatText(const char* f, const TFieldMasks& m, std::string& out) {
    const std::size_t b = m.Begin(), e = m.End();
    const bool negative = f[b] == '-';
    const std::size_t start = b + (negative ? 1 : 0);
    const std::uint64_t other = BitRange(start, e) & ~m.digit; // the point, or nothing
    if (other & (other - 1)) return false;
    const std::size_t dot = other ? static_cast<std::size_t>(__builtin_ctzll(other)) : e;
    if (other && f[dot] != '.') return false;
    const std::size_t intDigits = dot - start;
    if (intDigits == 0 || (intDigits > 1 && f[start] == '0')) return false;
    const bool zeroInt = intDigits == 1 && f[start] == '0';
    std::size_t end = dot; // a point without digits after it is dropped
    std::size_t significant = zeroInt ? 0 : intDigits;
    if (other) {
        const std::uint64_t nonZero = BitRange(dot + 1, e) & ~m.zero;
        if (nonZero) {
            end = 64 - static_cast<std::size_t>(__builtin_clzll(nonZero)); // trailing zeros dropped
            const std::size_t first = zeroInt ? static_cast<std::size_t>(__builtin_ctzll(nonZero)) : dot + 1;
            if (first - (dot + 1) >= 4) return false; // printf would switch to the exponent form
            significant += end - first;
        }
    }
    if (significant > 15) return false; // would be rounded
    if (zeroInt && negative && end == start + 1) return false; // "-0.00": leave it to the general form
    SetText(out, f + b, end - b);
    if (end > dot) out[dot - b] = ',';
    return true;
}

// YYYYMMDD of a valid date as "d.M.yyyy".
bool CanonicalDateText(std::string_view raw, std::string& out) {
    if (raw.size() != 8) return false;
    // All eight bytes digits: high halves 3, and still 3 after adding 6 to each (no byte above '9').
    std::uint64_t w;
    std::memcpy(&w, raw.data(), 8);
    constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull, kThrees = 0x3030303030303030ull;
    if ((w & kHigh) != kThrees || ((w + 0x0606060606060606ull) & kHigh) != kThrees) return false;
    int y = 0, m = 0, d = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // The digits' values, then each pair as one number in the pair's first byte.
        const std::uint64_t digits = w - kThrees;
        const std::uint64_t pairs = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FFull;
        y = static_cast<int>(pairs & 0xFF) * 100 + static_cast<int>((pairs >> 16) & 0xFF);
        m = static_cast<int>((pairs >> 32) & 0xFF);
        d = static_cast<int>(pairs >> 48);
    } else {
        int v[8];
        for (std::size_t k = 0; k < 8; ++k) v[k] = raw[k] - '0';
        y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
        m = v[4] * 10 + v[5];
        d = v[6] * 10 + v[7];
    }
    if (!ValidYmd(y, m, d)) return false;
    // Day and month without a leading zero: the tens are written, then overwritten by the ones
    // when they are zero (no branch on the data).
    char buf[16];
    char* p = buf;
    *p = raw[6];
    p += raw[6] != '0';
    *p++ = raw[7];
    *p++ = '.';
    *p = raw[4];
    p += raw[4] != '0';
    *p++ = raw[5];
    *p++ = '.';
    if (y >= 1000) {
        std::memcpy(p, raw.data(), 4);
        p += 4;
    } else {
        p = std::to_chars(p, p + 5, y).ptr;
    }
    SetText(out, buf, static_cast<std::size_t>(p - buf));
    return true;
}
} // namespace

TFieldType FieldTypeOf(char letter, int length, int decimals) {
    switch (letter) {
    case 'N':
        if (decimals > 0) return TFieldType::ftFloat;
        if (length < 5) return TFieldType::ftSmallint;
        if (length <= 9) return TFieldType::ftInteger;
        return TFieldType::ftLargeint;
    case 'F': return TFieldType::ftFloat;
    case 'D': return TFieldType::ftDate;
    case 'L': return TFieldType::ftBoolean;
    case 'M': return TFieldType::ftMemo;
    default: return TFieldType::ftString;
    }
}

// Civil-calendar conversions (proleptic Gregorian), day 0 = 30.12.1899.
namespace {
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468; // days since 1.1.1970
}
constexpr std::int64_t kDelphiEpochFrom1970 = 25569; // 30.12.1899 .. 1.1.1970
} // namespace

bool ValidYmd(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

data::TDateTime DateFromYmd(int year, int month, int day) {
    return {static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kDelphiEpochFrom1970)};
}

void YmdFromDate(data::TDateTime date, int& year, int& month, int& day) {
    if (!std::isfinite(date.days) || std::fabs(date.days) > 4.0e6) { year = month = day = 0; return; }
    std::int64_t z = static_cast<std::int64_t>(std::floor(date.days)) - kDelphiEpochFrom1970 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

TDBaseFile::TDBaseFile(const std::string& fileName, TOpenMode mode, TNoticeEvent notice)
    : TPagedFile(fileName, mode), notice_(std::move(notice)) {
    if (mode == TOpenMode::Create) {
        rDbfHdr[0] = 0x03;
        rDbfHdr[29] = kOem852Driver;
        codePage_ = &TCodePageTable::Get(TCodePage::Oem852);
        changed_ = true;
        return;
    }
    if (ReadAt(0, rDbfHdr.data(), 32) < 32)
        throw EBinaryDataSetError("Open: " + fileName + " is not a dBase table (its header is cut short)");
    switch (rDbfHdr[0]) {
    case 0x03: case 0x83: Version = xBaseVersion::xBaseIII; break;
    case 0x05: Version = xBaseVersion::xBaseV; break;
    default: Version = xBaseVersion::xBaseIV; break;
    }
    if (Version == xBaseVersion::xBaseV) ReadAt(32, rDbfHdr.data() + 32, 36); // a short file leaves zeros
    HeaderSize = Get16(rDbfHdr.data() + 8);
    RecordSize = Get16(rDbfHdr.data() + 10);
    TCodePage page = TCodePageTable::FromLanguageDriver(rDbfHdr[29]);
    // A header that names no language driver: a .cpg file beside the table may name the code page.
    if (rDbfHdr[29] == 0)
        if (const auto named = CodePageOfCpgFile(fileName)) page = *named;
    codePage_ = &TCodePageTable::Get(page);

    const std::uint32_t stored = Get32(rDbfHdr.data() + 4);
    recordCount_ = CalcRecordCount();
    if (recordCount_ > 0x7FFFFFFF) recordCount_ = 0x7FFFFFFF;
    if (static_cast<std::int64_t>(stored) != recordCount_) {
        if (notice_)
            notice_("Invalid Record Count,\rRecordCount in Hdr : " + std::to_string(stored) + "\rexpected : " +
                    std::to_string(recordCount_));
        Put32(rDbfHdr.data() + 4, static_cast<std::uint32_t>(recordCount_));
    }
}

void TDBaseFile::CreateFieldDefs() {
    ClearMyFieldInfos();
    const int start = Version == xBaseVersion::xBaseV ? 68 : 32;
    const int descSize = Version == xBaseVersion::xBaseV ? 48 : 32;
    const int nameWidth = Version == xBaseVersion::xBaseV ? 32 : 11;
    const int typeAt = Version == xBaseVersion::xBaseV ? 32 : 11;
    const int lengthAt = typeAt + (Version == xBaseVersion::xBaseV ? 1 : 5);
    const int maxCount = (static_cast<int>(HeaderSize) - start) / descSize;
    auto countError = [](int n) {
        return EBinaryDataSetError("Invalid Field count : " + std::to_string(n) + " (must be between 1 and 255)");
    };
    if (maxCount < 1) throw countError(maxCount);

    std::uint8_t desc[48];
    std::int32_t offset = 1;
    for (int i = 0; i < maxCount; ++i) {
        const std::int64_t at = start + static_cast<std::int64_t>(i) * descSize;
        const std::size_t got = ReadAt(at, desc, static_cast<std::size_t>(descSize));
        if (got >= 1 && desc[0] == kTerminator) break; // the list ends at the terminator
        if (got < static_cast<std::size_t>(descSize))
            throw EBinaryDataSetError("Open: the field descriptors of " + FileName() + " are cut short");
        if (FieldInfos.size() >= 255) throw countError(maxCount);
        TMyFieldInfo info;
        const auto* nameEnd = static_cast<const std::uint8_t*>(std::memchr(desc, 0, static_cast<std::size_t>(nameWidth)));
        const std::size_t nameLength = nameEnd ? static_cast<std::size_t>(nameEnd - desc) : static_cast<std::size_t>(nameWidth);
        info.Name = codePage_->ToUtf8(Trim(std::string_view(reinterpret_cast<const char*>(desc), nameLength)));
        info.Letter = static_cast<char>(desc[typeAt]);
        info.Size = desc[lengthAt];
        info.Decimals = desc[lengthAt + 1];
        info.FieldType = FieldTypeOf(info.Letter, info.Size, info.Decimals);
        info.Offset = offset;
        offset += info.Size;
        FieldInfos.push_back(std::move(info));
    }
    if (FieldInfos.empty()) throw countError(0);
    BuildTextLayouts();
    if (static_cast<std::uint32_t>(offset) != RecordSize) {
        const std::string text = "Invalid Record Size,\rRecord Size in Hdr : " + std::to_string(RecordSize) +
                                 "\rExpected : " + std::to_string(offset);
        // The stored record size is the stride of the records; fields that do not fit it cannot be read.
        if (static_cast<std::uint32_t>(offset) > RecordSize) {
            ClearMyFieldInfos();
            throw EBinaryDataSetError(text);
        }
        if (notice_) notice_(text);
    }
}

std::string TDBaseFile::RawTrimmedText(int i, const std::uint8_t* record) const {
    const TMyFieldInfo& f = FieldInfos.at(static_cast<std::size_t>(i));
    return std::string(Trim(std::string_view(reinterpret_cast<const char*>(record) + f.Offset, static_cast<std::size_t>(f.Size))));
}

bool TDBaseFile::GetFieldData(int i, TFieldType type, Value* dest, const std::uint8_t* record) const {
    if (!dest) return true;
    const TMyFieldInfo& f = FieldInfos.at(static_cast<std::size_t>(i));
    const std::string_view raw(reinterpret_cast<const char*>(record) + f.Offset, static_cast<std::size_t>(f.Size));
    switch (type) {
    case TFieldType::ftBoolean: {
        const char c = raw.empty() ? ' ' : raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y') *dest = true;
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n') *dest = false;
        else *dest = std::monostate{}; // blank or "?": not set
        return true;
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint: {
        std::int64_t v = 0;
        if (ParseInt64(raw, v)) *dest = v;
        else *dest = std::monostate{};
        return true;
    }
    case TFieldType::ftFloat: {
        double v = 0;
        if (ParseDouble(raw, v)) *dest = v;
        else *dest = std::monostate{};
        return true;
    }
    case TFieldType::ftDate: {
        const std::string_view t = Trim(raw);
        *dest = std::monostate{};
        if (t.empty() || t.find_first_not_of('0') == std::string_view::npos || raw.size() < 8) return true;
        const int year = DatePart(raw.substr(0, 4));
        int month = DatePart(raw.substr(4, 2));
        int day = DatePart(raw.substr(6, 2));
        if (month <= 0) month = 1;
        if (day <= 0) day = 1;
        if (year >= 1 && ValidYmd(year, month, day)) *dest = DateFromYmd(year, month, day);
        return true;
    }
    case TFieldType::ftMemo:
        return true; // memos are read as streams
    default: {
        std::string text;
        const std::string_view t = Trim(raw);
        codePage_->AppendUtf8(t.data(), t.size(), text);
        *dest = std::move(text);
        return true;
    }
    }
}

void TDBaseFile::BuildTextLayouts() {
    textLayouts_.clear();
    textLayouts_.reserve(FieldInfos.size());
    for (const TMyFieldInfo& info : FieldInfos) {
        TTextLayout f;
        f.offset = static_cast<std::uint32_t>(info.Offset);
        f.size = static_cast<std::uint8_t>(info.Size);
        f.type = static_cast<std::uint8_t>(info.FieldType);
        f.readsAs = info.FieldType == TFieldType::ftMemo ? 0xFF : f.type; // memos are read as streams
        const bool scan = f.offset + f.size <= RecordSize && CanScan(RecordSize, f.size);
        switch (info.FieldType) {
        case TFieldType::ftString: f.read = scan ? TTextRead::Text : TTextRead::ByteText; break;
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
        case TFieldType::ftLargeint: f.read = scan ? TTextRead::Integer : TTextRead::ByValue; break;
        case TFieldType::ftFloat: f.read = scan ? TTextRead::Float : TTextRead::ByValue; break;
        case TFieldType::ftDate: f.read = TTextRead::Date; break;
        default: f.read = TTextRead::ByValue; break;
        }
        if (scan && f.size <= 16) {
            f.oneLoad = true;
            f.load = static_cast<std::uint32_t>(OneLoadStart(RecordSize, f.offset));
            f.shift = static_cast<std::uint8_t>(f.offset - f.load);
            f.keep = static_cast<std::uint16_t>(f.size == 16 ? 0xFFFFu : (1u << f.size) - 1);
        }
        textLayouts_.push_back(f);
    }
    textLayoutCount_ = textLayouts_.size();
}

namespace {
template <bool Numbers, typename Layout>
[[gnu::always_inline]] inline TFieldMasks ScanLayout(const Layout& f, const std::uint8_t* record) {
    return f.oneLoad ? ScanOneLoad<Numbers>(record + f.load, f.shift, f.keep) : ScanLoads<Numbers>(record + f.offset, f.size);
}
} // namespace

void TDBaseFile::GetFieldText(std::size_t i, const std::uint8_t* record, std::string& out) const {
    const TTextLayout& f = textLayouts_[i];
    const char* field = reinterpret_cast<const char*>(record) + f.offset;
    switch (f.read) {
    case TTextRead::Text: {
        const TFieldMasks m = ScanLayout<false>(f, record);
        if (m.Blank()) {
            out.clear();
            return;
        }
        const std::size_t b = m.Begin(), e = m.End();
        if (m.high) return ConvertText(*codePage_, field + b, e - b, m.high >> b, RecordSize - (f.offset + b), out);
        return SetText(out, field + b, e - b);
    }
    case TTextRead::Integer: {
        const TFieldMasks m = ScanLayout<true>(f, record);
        if (!m.Blank() && CanonicalIntegerText(field, m, out)) return;
        break;
    }
    case TTextRead::Float: {
        const TFieldMasks m = ScanLayout<true>(f, record);
        if (!m.Blank() && CanonicalFloatText(field, m, out)) return;
        break;
    }
    case TTextRead::Date:
        if (CanonicalDateText(std::string_view(field, f.size), out)) return;
        break;
    case TTextRead::ByteText: return ConvertText(*codePage_, Trim(std::string_view(field, f.size)), out);
    case TTextRead::ByValue: break;
    }
    ValueText(i, static_cast<TFieldType>(f.type), record, out);
}

void TDBaseFile::ValueText(std::size_t i, TFieldType type, const std::uint8_t* record, std::string& out) const {
    out.clear();
    Value v;
    GetFieldData(static_cast<int>(i), type, &v, record);
    char buf[64];
    if (const auto* n = std::get_if<std::int64_t>(&v)) {
        out.assign(buf, std::to_chars(buf, buf + sizeof buf, *n).ptr);
    } else if (const auto* d = std::get_if<double>(&v)) {
        // The form of printf's "%.15g", with the decimal comma.
        out.assign(buf, std::to_chars(buf, buf + sizeof buf, *d, std::chars_format::general, 15).ptr);
        std::replace(out.begin(), out.end(), '.', ',');
    } else if (const auto* b = std::get_if<bool>(&v)) {
        out = *b ? "True" : "False";
    } else if (const auto* t = std::get_if<data::TDateTime>(&v)) {
        int y = 0, m = 0, day = 0;
        YmdFromDate(*t, y, m, day);
        char* p = std::to_chars(buf, buf + 20, day).ptr;
        *p++ = '.';
        p = std::to_chars(p, p + 20, m).ptr;
        *p++ = '.';
        p = std::to_chars(p, p + 20, y).ptr;
        out.assign(buf, p);
    } else if (const auto* s = std::get_if<std::string>(&v)) {
        out = *s;
    }
}

std::string TDBaseFile::FormatField(const TMyFieldInfo& f, TFieldType type, const Value& source) const {
    if (data::IsNull(source)) return {};
    auto rightAlign = [&](std::string text) {
        if (text.size() < static_cast<std::size_t>(f.Size)) text.insert(0, static_cast<std::size_t>(f.Size) - text.size(), ' ');
        return text;
    };
    switch (type) {
    case TFieldType::ftBoolean: {
        bool on = false;
        if (const auto* s = std::get_if<std::string>(&source)) {
            const std::string_view t = Trim(*s);
            if (t.empty()) return {};
            on = t == "True" || t == "true" || t == "TRUE" || t[0] == 'T' || t[0] == 't' || t[0] == 'Y' ||
                 t[0] == 'y' || t[0] == '1';
        } else {
            double d = 0;
            on = ToDouble(source, d) && d != 0;
        }
        return on ? "T" : "F";
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftMemo: {
        std::int64_t v = 0;
        if (const auto* i = std::get_if<std::int64_t>(&source)) v = *i;
        else if (const auto* s = std::get_if<std::string>(&source); s && ParseInt64(*s, v)) {
        } else {
            double d = 0;
            if (!ToDouble(source, d) || std::fabs(d) >= 9.2e18)
                throw EBinaryDataSetError("SetFieldData: the value for " + f.Name + " is not a whole number");
            v = std::llround(d);
        }
        return rightAlign(Digits(v));
    }
    case TFieldType::ftFloat: {
        double d = 0;
        if (!ToDouble(source, d) || !std::isfinite(d))
            throw EBinaryDataSetError("SetFieldData: the value for " + f.Name + " is not a number");
        if (d == 0) d = 0; // no "-0"
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, f.Decimals);
        if (r.ec != std::errc()) throw EFieldToLongError("Field too long :" + std::to_string(sizeof buf) + " (must be between 1 and " + std::to_string(f.Size) + ").");
        return rightAlign(std::string(buf, r.ptr));
    }
    case TFieldType::ftDate: {
        int y = 0, m = 0, d = 0;
        if (const auto* t = std::get_if<data::TDateTime>(&source)) YmdFromDate(*t, y, m, d);
        else if (const auto* s = std::get_if<std::string>(&source)) {
            const std::string_view text = Trim(*s);
            if (text.empty()) return {};
            if (text.size() == 8) { y = DatePart(text.substr(0, 4)); m = DatePart(text.substr(4, 2)); d = DatePart(text.substr(6, 2)); }
        }
        if (!ValidYmd(y, m, d)) throw EBinaryDataSetError("SetFieldData: the value for " + f.Name + " is not a valid date");
        char buf[40];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
        return buf;
    }
    default: {
        if (const auto* s = std::get_if<std::string>(&source)) return codePage_->FromUtf8(*s);
        if (const auto* i = std::get_if<std::int64_t>(&source)) return Digits(*i);
        if (const auto* b = std::get_if<bool>(&source)) return *b ? "T" : "F";
        double d = 0;
        ToDouble(source, d);
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, d);
        return std::string(buf, r.ptr);
    }
    }
}

void TDBaseFile::SetFieldData(int i, TFieldType type, std::uint8_t* record, const Value& source) const {
    const TMyFieldInfo& f = FieldInfos.at(static_cast<std::size_t>(i));
    std::string text = FormatField(f, type, source);
    if (text.size() > static_cast<std::size_t>(f.Size))
        throw EFieldToLongError("Field too long :" + std::to_string(text.size()) + " (must be between 1 and " +
                                std::to_string(f.Size) + ").");
    text.resize(static_cast<std::size_t>(f.Size), ' ');
    std::memcpy(record + f.Offset, text.data(), text.size());
}

bool TDBaseFile::HasMemoFields() const {
    return std::any_of(FieldInfos.begin(), FieldInfos.end(), [](const TMyFieldInfo& f) { return f.FieldType == TFieldType::ftMemo; });
}

void TDBaseFile::CreateTable(const std::vector<data::TFieldDef>& defs) {
    if (defs.empty() || defs.size() > 255)
        throw EBinaryDataSetError("Invalid Field count : " + std::to_string(defs.size()) + " (must be between 1 and 255)");
    std::vector<TMyFieldInfo> infos;
    std::string descriptors;
    std::int32_t offset = 1;
    bool memo = false;
    for (const data::TFieldDef& def : defs) {
        TMyFieldInfo info;
        int length = 0, decimals = 0;
        switch (def.DataType) {
        case TFieldType::ftString: info.Letter = 'C'; length = def.Size; break;
        case TFieldType::ftSmallint: info.Letter = 'N'; length = 6; break;
        case TFieldType::ftInteger: info.Letter = 'N'; length = 11; break;
        case TFieldType::ftBoolean: info.Letter = 'L'; length = 1; break;
        case TFieldType::ftFloat: info.Letter = 'N'; length = 20; decimals = 4; break;
        case TFieldType::ftDate: info.Letter = 'D'; length = 8; break;
        case TFieldType::ftMemo: info.Letter = 'M'; length = 10; memo = true; break;
        case TFieldType::ftLargeint: info.Letter = 'N'; length = 20; break;
        default: throw EBinaryDataSetError("InitFieldsDefs: Unsupported field type");
        }
        if (length < 1 || length > 255)
            throw EBinaryDataSetError("CreateTable: field " + def.Name + " has the invalid size " + std::to_string(length));
        std::string name = codePage_->FromUtf8(def.Name).substr(0, 10);
        std::uint8_t d[32] = {};
        std::memcpy(d, name.data(), name.size());
        d[11] = static_cast<std::uint8_t>(info.Letter);
        d[16] = static_cast<std::uint8_t>(length);
        d[17] = static_cast<std::uint8_t>(decimals);
        descriptors.append(reinterpret_cast<const char*>(d), sizeof d);
        info.Name = codePage_->ToUtf8(name);
        info.Size = length;
        info.Decimals = decimals;
        info.FieldType = FieldTypeOf(info.Letter, length, decimals);
        info.Offset = offset;
        offset += length;
        infos.push_back(std::move(info));
    }
    if (offset > 0xFFFF) throw EBinaryDataSetError("CreateTable: the record size " + std::to_string(offset) + " is above 65535");
    descriptors += static_cast<char>(kTerminator);

    Truncate(0);
    WriteAt(32, descriptors.data(), descriptors.size());
    FieldInfos = std::move(infos);
    RecordSize = static_cast<std::uint32_t>(offset);
    BuildTextLayouts();
    HeaderSize = static_cast<std::uint32_t>(32 + descriptors.size());
    Version = xBaseVersion::xBaseIII;
    rDbfHdr.fill(0);
    rDbfHdr[0] = memo ? 0x83 : 0x03; // 0x83 tells readers that a memo file belongs to the table
    rDbfHdr[29] = kOem852Driver;
    codePage_ = &TCodePageTable::Get(TCodePage::Oem852);
    recordCount_ = 0;
    changed_ = true;
    WriteHeader();
}

void TDBaseFile::WriteHeader() {
    if (!changed_) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    rDbfHdr[1] = static_cast<std::uint8_t>(std::clamp(local.tm_year, 0, 255));
    rDbfHdr[2] = static_cast<std::uint8_t>(local.tm_mon + 1);
    rDbfHdr[3] = static_cast<std::uint8_t>(local.tm_mday);
    Put32(rDbfHdr.data() + 4, static_cast<std::uint32_t>(recordCount_));
    Put16(rDbfHdr.data() + 8, HeaderSize);
    Put16(rDbfHdr.data() + 10, RecordSize);
    WriteAt(0, rDbfHdr.data(), Version == xBaseVersion::xBaseV ? 68 : 32);
    const std::uint8_t eof = kEndOfFile;
    WriteAt(Seek(recordCount_), &eof, 1);
    changed_ = false;
}

void TDBaseFile::AppendRecord(const std::uint8_t* buffer) {
    if (recordCount_ >= 0x7FFFFFFF) throw EBinaryDataSetError("AppendRecord: the table is full");
    WriteRecord(recordCount_, buffer);
    ++recordCount_;
    changed_ = true;
}

void TDBaseFile::WriteRecordAt(std::int64_t n, const std::uint8_t* buffer) {
    WriteRecord(n, buffer);
    changed_ = true;
}

} // namespace dbase
