#include "platform/ui/RichText.h"

#include "platform/sys/CodePage.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes UTF-8 leniently: an ill-formed byte stands for itself (as U+FFFD).
std::vector<char32_t> DecodeUtf8(std::string_view s)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

void AppendUnicodeEscape(std::string& out, char32_t c)
{
    auto one = [&out](std::uint16_t unit) {
        out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
    };
    if (c > 0xFFFF) {
        c -= 0x10000;
        one(static_cast<std::uint16_t>(0xD800 + (c >> 10)));
        one(static_cast<std::uint16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        one(static_cast<std::uint16_t>(c));
    }
}

bool IsSkippedDestination(const std::string& word)
{
    static const char* const words[] = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr",
        "footerl", "footerr", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl",
        "themedata", "colorschememapping", "latentstyles", "datastore", "object", "fldinst",
        "filetbl", "revtbl", "pgdsctbl", "author", "operator", "title", "subject", "keywords",
        "comment", "doccomm", "bkmkstart", "bkmkend", "footnote", "annotation", "xe", "tc"};
    for (const char* w : words)
        if (word == w)
            return true;
    return false;
}

} // namespace

std::string TextToRtf(std::string_view text)
{
    std::string out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Tahoma;}}\n"
                      "\\viewkind4\\uc1\\pard\\f0\\fs16 ";
    sys::CodePageConverter cp1250(sys::CodePage::Windows1250);
    for (char32_t c : DecodeUtf8(text)) {
        switch (c) {
        case U'\\': out += "\\\\"; break;
        case U'{': out += "\\{"; break;
        case U'}': out += "\\}"; break;
        case U'\n': out += "\\par\n"; break;
        case U'\r': break;
        case U'\t': out += "\\tab "; break;
        default:
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else {
                std::string utf8;
                AppendUtf8(utf8, c);
                const std::string byte = cp1250.FromUtf8(utf8);
                if (byte.size() == 1 && byte != "?") {
                    static const char* const hex = "0123456789abcdef";
                    const auto b = static_cast<unsigned char>(byte[0]);
                    out += "\\'";
                    out += hex[b >> 4];
                    out += hex[b & 15];
                } else {
                    AppendUnicodeEscape(out, c);
                }
            }
        }
    }
    out += "\\par\n}\n";
    return out;
}

bool LooksLikeRtf(std::string_view bytes)
{
    std::size_t i = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        i = 3;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i])))
        ++i;
    return bytes.substr(i, 5) == "{\\rtf";
}

std::string RtfToText(std::string_view rtf)
{
    struct Group {
        bool skip = false;
        int uc = 1;
    };
    std::vector<Group> stack{Group{}};
    std::string out;
    std::string pendingBytes; // \'hh bytes in the document's code page, converted together
    char16_t highSurrogate = 0;
    int skipFallback = 0; // characters still to skip after \uN
    sys::CodePageConverter cp1250(sys::CodePage::Windows1250);
    sys::CodePageConverter cp852(sys::CodePage::Ibm852);
    sys::CodePageConverter* page = &cp1250;

    auto flushBytes = [&] {
        if (!pendingBytes.empty()) {
            out += page->ToUtf8(pendingBytes);
            pendingBytes.clear();
        }
    };
    auto emit = [&](char32_t c) {
        flushBytes();
        AppendUtf8(out, c);
    };
    bool destinationStart = false; // just after '{' (a "\*" or a destination word may follow)

    for (std::size_t i = 0; i < rtf.size();) {
        const char c = rtf[i];
        Group& g = stack.back();
        if (c == '{') {
            stack.push_back(g);
            destinationStart = true;
            skipFallback = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            if (stack.size() > 1)
                stack.pop_back();
            destinationStart = false;
            skipFallback = 0;
            ++i;
            continue;
        }
        if (c == '\\' && i + 1 < rtf.size()) {
            const char n = rtf[i + 1];
            if (n == '\'') {
                const std::string hex(rtf.substr(i + 2, 2));
                i += 4;
                if (skipFallback > 0) {
                    --skipFallback;
                    continue;
                }
                if (!g.skip && hex.size() == 2 && std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                    std::isxdigit(static_cast<unsigned char>(hex[1])))
                    pendingBytes += static_cast<char>(std::stoi(hex, nullptr, 16));
                destinationStart = false;
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(n))) {
                i += 2;
                if (n == '*') {
                    if (destinationStart)
                        g.skip = true;
                    continue;
                }
                destinationStart = false;
                if (g.skip)
                    continue;
                if (skipFallback > 0) {
                    --skipFallback;
                    continue;
                }
                switch (n) {
                case '\\': case '{': case '}': emit(static_cast<char32_t>(n)); break;
                case '~': emit(U'\u00A0'); break;
                case '_': emit(U'-'); break;
                case '\n': case '\r': emit(U'\n'); break;
                default: break; // "\-" optional hyphen and unknown symbols
                }
                continue;
            }
            // A control word with an optional numeric parameter and one delimiting blank.
            std::size_t j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const std::string word(rtf.substr(i + 1, j - i - 1));
            bool hasParam = false;
            long param = 0;
            std::size_t k = j;
            if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                const bool negative = rtf[k] == '-';
                if (negative)
                    ++k;
                while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) {
                    param = param * 10 + (rtf[k] - '0');
                    if (param > 1000000)
                        param = 1000000;
                    hasParam = true;
                    ++k;
                }
                if (negative)
                    param = -param;
            }
            if (k < rtf.size() && rtf[k] == ' ')
                ++k;
            i = k;
            const bool atStart = destinationStart;
            destinationStart = false;
            if (atStart && IsSkippedDestination(word)) {
                g.skip = true;
                continue;
            }
            if (word == "bin") {
                // Binary data of the given length follows; it is never text.
                const auto length = static_cast<std::size_t>(hasParam && param > 0 ? param : 0);
                i = length > rtf.size() - i ? rtf.size() : i + length;
                continue;
            }
            if (g.skip)
                continue;
            if (word == "ansicpg" && hasParam) {
                flushBytes();
                page = param == 852 ? &cp852 : &cp1250;
                continue;
            }
            if (word == "uc") {
                g.uc = hasParam ? static_cast<int>(param) : 1;
                continue;
            }
            if (word == "u" && hasParam) {
                long v = param < 0 ? param + 65536 : param;
                const auto unit = static_cast<char16_t>(v);
                if (unit >= 0xD800 && unit < 0xDC00) {
                    highSurrogate = unit;
                } else if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate != 0) {
                    emit(0x10000 + ((static_cast<char32_t>(highSurrogate) - 0xD800) << 10) + (unit - 0xDC00));
                    highSurrogate = 0;
                } else {
                    emit(unit);
                }
                skipFallback = g.uc;
                continue;
            }
            if (skipFallback > 0) {
                skipFallback = 0;
            }
            if (word == "par" || word == "line" || word == "sect" || word == "page")
                emit(U'\n');
            else if (word == "tab")
                emit(U'\t');
            else if (word == "emdash")
                emit(U'\u2014');
            else if (word == "endash")
                emit(U'\u2013');
            else if (word == "bullet")
                emit(U'\u2022');
            else if (word == "lquote")
                emit(U'\u2018');
            else if (word == "rquote")
                emit(U'\u2019');
            else if (word == "ldblquote")
                emit(U'\u201C');
            else if (word == "rdblquote")
                emit(U'\u201D');
            continue;
        }
        destinationStart = false;
        ++i;
        if (c == '\r' || c == '\n' || c == '\0')
            continue;
        if (g.skip)
            continue;
        if (skipFallback > 0) {
            --skipFallback;
            continue;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            pendingBytes += c; // raw 8-bit text in the document's code page
            continue;
        }
        emit(static_cast<char32_t>(static_cast<unsigned char>(c)));
    }
    flushBytes();
    // The document's last paragraph mark ends the text; it adds no empty line.
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

std::string RichEditFileText(std::string_view bytes)
{
    if (LooksLikeRtf(bytes))
        return RtfToText(bytes);
    std::string text;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text.assign(bytes.substr(3));
    } else {
        text = sys::ToUtf8(sys::CodePage::Windows1250, bytes);
    }
    std::string lines;
    lines.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            lines += c;
    while (!lines.empty() && lines.back() == '\n')
        lines.pop_back();
    return lines;
}

} // namespace ui
