#include "dbase/CodePageTable.h"

#include "platform/sys/CodePage.h"

#include <algorithm>
#include <cstring>

namespace dbase {

namespace {

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for a malformed one.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) { ++i; return b0; }
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; }
    else { ++i; return 0xFFFD; }
    if (i + static_cast<std::size_t>(extra) >= text.size()) { // sequence cut short
        i = text.size();
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) { i += static_cast<std::size_t>(k); return 0xFFFD; }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

} // namespace

TCodePageTable::TCodePageTable(TCodePage page) : page_(page) {
    if (page == TCodePage::Utf8) {
        // Every byte stands for itself.
        for (int b = 0; b <= 0xFF; ++b) {
            char entry[4] = {static_cast<char>(b), 0, 0, 1};
            std::memcpy(&packed_[static_cast<std::size_t>(b)], entry, 4);
            if (b >= 0x80) {
                Utf8Char& c8 = high_[static_cast<std::size_t>(b - 0x80)];
                c8.bytes[0] = static_cast<char>(b);
                c8.length = 1;
            }
        }
        return;
    }
    sys::CodePageConverter conv(page == TCodePage::Ansi1250 ? sys::CodePage::Windows1250
                                                           : sys::CodePage::Ibm852);
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char c = static_cast<char>(b);
        std::string utf8 = conv.ToUtf8(std::string_view(&c, 1));
        std::size_t i = 0;
        const char32_t cp = utf8.empty() ? 0xFFFD : DecodeUtf8(utf8, i);
        if (utf8.empty() || cp == 0xFFFD || cp < 0x80 || utf8.size() > 3) utf8.assign(1, '?'); // undefined here
        else back_.emplace(cp, static_cast<std::uint8_t>(b));
        Utf8Char& c8 = high_[static_cast<std::size_t>(b - 0x80)];
        std::memcpy(c8.bytes, utf8.data(), utf8.size());
        c8.length = static_cast<std::uint8_t>(utf8.size());
    }
    for (int b = 0; b <= 0xFF; ++b) {
        char entry[4] = {static_cast<char>(b), 0, 0, 1};
        if (b >= 0x80) {
            const Utf8Char& u = high_[static_cast<std::size_t>(b - 0x80)];
            std::memcpy(entry, u.bytes, 3);
            entry[3] = static_cast<char>(u.length);
        }
        std::memcpy(&packed_[static_cast<std::size_t>(b)], entry, 4);
    }
}

const TCodePageTable& TCodePageTable::Get(TCodePage page) {
    static const TCodePageTable oem(TCodePage::Oem852);
    static const TCodePageTable ansi(TCodePage::Ansi1250);
    static const TCodePageTable utf8(TCodePage::Utf8);
    return page == TCodePage::Ansi1250 ? ansi : page == TCodePage::Utf8 ? utf8 : oem;
}

TCodePage TCodePageTable::FromLanguageDriver(std::uint8_t ldid) {
    switch (ldid) {
    case 0x03: // Windows ANSI
    case 0x57: // ANSI
    case 0x58: // Western European ANSI
    case 0x59: // Spanish ANSI
    case 0xC8: // Eastern European Windows
        return TCodePage::Ansi1250;
    default:
        return TCodePage::Oem852;
    }
}

std::optional<TCodePage> TCodePageTable::FromCpgText(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if (c == '\r' || c == '\n') break;
        if (c == ' ' || c == '\t' || c == '-' || c == '_') continue;
        name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (name == "UTF8") return TCodePage::Utf8;
    for (const char* prefix : {"", "CP", "WINDOWS", "ANSI", "MSWIN"})
        if (name == std::string(prefix) + "1250") return TCodePage::Ansi1250;
    for (const char* prefix : {"", "CP", "IBM", "OEM", "DOS"})
        if (name == std::string(prefix) + "852") return TCodePage::Oem852;
    return std::nullopt;
}

void TCodePageTable::AppendUtf8(const char* bytes, std::size_t length, std::string& out) const {
    // Plain ASCII, the common case, is copied whole; the check takes eight bytes at a time.
    std::size_t k = 0;
    std::uint64_t high = 0;
    for (; k + 8 <= length; k += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes + k, 8);
        high |= w;
    }
    for (; k < length; ++k) high |= static_cast<unsigned char>(bytes[k]);
    if ((high & 0x8080808080808080ull) == 0) {
        out.append(bytes, length);
        return;
    }
    // Convert through a buffer on the stack: at most three bytes per byte.
    char buf[1024];
    std::size_t i = 0;
    while (i < length) {
        const std::size_t chunk = std::min<std::size_t>(length - i, sizeof buf / 3);
        char* p = buf;
        for (std::size_t end = i + chunk; i < end; ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c < 0x80) {
                *p++ = static_cast<char>(c);
            } else {
                const Utf8Char& u = high_[c - 0x80u];
                std::memcpy(p, u.bytes, 4);
                p += u.length;
            }
        }
        out.append(buf, static_cast<std::size_t>(p - buf));
    }
}

std::string TCodePageTable::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    AppendUtf8(bytes.data(), bytes.size(), out);
    return out;
}

std::string TCodePageTable::FromUtf8(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp < 0x80) { out += static_cast<char>(cp); continue; }
        const auto it = back_.find(cp);
        out += it == back_.end() ? '?' : static_cast<char>(it->second);
    }
    return out;
}

} // namespace dbase
