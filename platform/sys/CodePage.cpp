#include "platform/sys/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#include <array>
#include <cstdint>

namespace sys {

// Both code pages are single-byte, so each converter is a pair of tables filled once from ICU: a
// byte's UTF-8 text, and a character's byte. Adjusted to what other programs reading such files do:
// bytes below 0x80 are ASCII (ICU's IBM 852 table swaps three control codes), IBM 852's 0xAA is
// "¬" (missing from ICU's table), and the five bytes Windows-1250 leaves undefined are "?" rather
// than invisible C1 control codes.
namespace {

struct Tables {
    std::array<std::array<char, 4>, 256> utf8{}; // byte -> UTF-8 text ("?" when undefined)
    std::array<std::uint8_t, 256> utf8Length{};
    std::array<std::uint8_t, 0x10000> byteOf{}; // BMP character -> byte, 0 = none (above 0x7F)

    Tables(const char* icuName, int extraByte, UChar extraChar)
    {
        for (int b = 0; b < 0x80; ++b) {
            utf8[b][0] = static_cast<char>(b);
            utf8Length[b] = 1;
        }
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(icuName, &status);
        for (int b = 0x80; b < 0x100; ++b) {
            UChar c = 0xFFFD;
            if (converter) {
                const char in = static_cast<char>(b);
                UChar out[4];
                UErrorCode e = U_ZERO_ERROR;
                if (ucnv_toUChars(converter, out, 4, &in, 1, &e) == 1 && U_SUCCESS(e))
                    c = out[0];
            }
            if (b == extraByte)
                c = extraChar;
            if (c == 0xFFFD || c == 0x1A || c < 0xA0 || (c >= 0xD800 && c < 0xE000)) {
                utf8[b][0] = '?';
                utf8Length[b] = 1;
                continue;
            }
            std::int32_t n = 0;
            auto* p = reinterpret_cast<std::uint8_t*>(utf8[b].data());
            U8_APPEND_UNSAFE(p, n, c);
            utf8Length[b] = static_cast<std::uint8_t>(n);
            byteOf[c] = static_cast<std::uint8_t>(b);
        }
        ucnv_close(converter);
    }

};

const Tables& TablesFor(CodePage page)
{
    static const Tables windows1250("windows-1250", -1, 0);
    static const Tables ibm852("IBM852", 0xAA, 0x00AC);
    return page == CodePage::Ibm852 ? ibm852 : windows1250;
}

void Decode(const Tables& t, std::string_view in, std::string& out);
void Encode(const Tables& t, std::string_view utf8, std::string& out);

} // namespace

// The tables are shared and immutable; a converter only points at them.
struct CodePageConverter::Impl {
    const Tables* tables;
};

CodePageConverter::CodePageConverter(CodePage page)
    : impl_(std::make_unique<Impl>(Impl{&TablesFor(page)}))
{
}
CodePageConverter::~CodePageConverter() = default;
CodePageConverter::CodePageConverter(CodePageConverter&&) noexcept = default;
CodePageConverter& CodePageConverter::operator=(CodePageConverter&&) noexcept = default;

void CodePageConverter::ToUtf8(std::string_view in, std::string& out) { Decode(*impl_->tables, in, out); }
void CodePageConverter::FromUtf8(std::string_view utf8, std::string& out)
{
    Encode(*impl_->tables, utf8, out);
}
std::string CodePageConverter::ToUtf8(std::string_view in)
{
    std::string out;
    Decode(*impl_->tables, in, out);
    return out;
}
std::string CodePageConverter::FromUtf8(std::string_view utf8)
{
    std::string out;
    Encode(*impl_->tables, utf8, out);
    return out;
}

std::string ToUtf8(CodePage page, std::string_view in)
{
    std::string out;
    Decode(TablesFor(page), in, out);
    return out;
}

std::string FromUtf8(CodePage page, std::string_view utf8)
{
    std::string out;
    Encode(TablesFor(page), utf8, out);
    return out;
}

namespace {

void Decode(const Tables& t, std::string_view in, std::string& out)
{
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t run = i; // copy runs of ASCII at once
        while (run < in.size() && static_cast<unsigned char>(in[run]) < 0x80)
            ++run;
        out.append(in.data() + i, run - i);
        i = run;
        if (i == in.size())
            break;
        const auto b = static_cast<unsigned char>(in[i++]);
        out.append(t.utf8[b].data(), t.utf8Length[b]);
    }
}

void Encode(const Tables& t, std::string_view utf8, std::string& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(utf8.size());
    std::int32_t i = 0;
    while (i < length) {
        if (p[i] < 0x80) {
            out.push_back(static_cast<char>(p[i++]));
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(p, i, length, c);
        const std::uint8_t b = c >= 0x80 && c < 0x10000 ? t.byteOf[static_cast<std::size_t>(c)] : 0;
        out.push_back(b ? static_cast<char>(b) : '?');
    }
}

} // namespace

} // namespace sys
