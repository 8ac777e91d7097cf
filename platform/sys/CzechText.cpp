#include "platform/sys/CzechText.h"

#include <unicode/ucasemap.h>
#include <unicode/ucol.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

namespace sys {

namespace {

// Next character of a UTF-8 text at `i`, advancing `i`. An ill-formed sequence gives a value above
// the Unicode range made from its first byte, so it equals only the same stray byte.
inline UChar32 Next(std::string_view s, std::size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
    const auto length = static_cast<std::int32_t>(s.size());
    auto pos = static_cast<std::int32_t>(i);
    UChar32 c = 0;
    U8_NEXT(p, pos, length, c);
    i = static_cast<std::size_t>(pos);
    return c < 0 ? 0x110000 + b : c;
}

// Folds letter case of one character; ASCII without a table look-up in ICU.
inline UChar32 Fold(UChar32 c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    if (c > 0x10FFFF)
        return c;
    return u_foldCase(c, U_FOLD_CASE_DEFAULT);
}

const UCollator* CzechCollator()
{
    static const UCollator* const collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("cs", &status);
        if (U_FAILURE(status)) {
            ucol_close(c);
            return static_cast<UCollator*>(nullptr);
        }
        return c;
    }();
    return collator;
}

const UCaseMap* CzechCaseMap()
{
    static const UCaseMap* const map = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCaseMap* m = ucasemap_open("cs", 0, &status);
        if (U_FAILURE(status)) {
            ucasemap_close(m);
            return static_cast<UCaseMap*>(nullptr);
        }
        return m;
    }();
    return map;
}

using CaseFunction = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

std::string ChangeCase(std::string_view text, CaseFunction change)
{
    const UCaseMap* map = CzechCaseMap();
    if (text.empty() || !map)
        return std::string(text);
    std::string out(text.size() + 8, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = change(map, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                 static_cast<int32_t>(text.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.assign(static_cast<std::size_t>(n), '\0');
            continue;
        }
        if (U_FAILURE(status))
            return std::string(text);
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    return std::string(text);
}

} // namespace

int CompareCzech(std::string_view a, std::string_view b)
{
    const UCollator* collator = CzechCollator();
    if (collator) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r =
            ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                             static_cast<int32_t>(b.size()), &status);
        if (U_SUCCESS(status))
            return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }
    const int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

void AppendSortKeyCzech(std::string_view text, std::string& out)
{
    const UCollator* collator = CzechCollator();
    if (!collator) { // the byte order CompareCzech falls back to
        out.append(text);
        return;
    }
    // Ill-formed UTF-8 becomes U+FFFD, as the collator's own UTF-8 comparison treats it.
    thread_local std::u16string utf16;
    utf16.resize(text.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        out.append(text);
        return;
    }
    const std::size_t start = out.size();
    std::size_t room = text.size() * 4 + 16;
    for (;;) {
        out.resize(start + room);
        const int32_t needed = ucol_getSortKey(collator, utf16.data(), length,
                                               reinterpret_cast<uint8_t*>(out.data() + start),
                                               static_cast<int32_t>(room));
        if (needed <= 0) {
            out.resize(start);
            out.append(text);
            return;
        }
        if (static_cast<std::size_t>(needed) <= room) {
            out.resize(start + static_cast<std::size_t>(needed) - 1); // without the closing zero byte
            return;
        }
        room = static_cast<std::size_t>(needed);
    }
}

std::vector<std::string> SortKeysCzech(const std::vector<std::string_view>& texts)
{
    std::vector<std::string> keys(texts.size());
    const auto make = [&texts, &keys](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            AppendSortKeyCzech(texts[i], keys[i]);
    };
    // A thread pays for itself from a few thousand keys on; the collator is shared (its use is
    // thread-safe), each thread converting in its own buffer.
    constexpr std::size_t kPerThread = 8192;
    const std::size_t cores = std::max(1U, std::thread::hardware_concurrency());
    const std::size_t parts = std::min({cores, std::size_t{4}, texts.size() / kPerThread + 1});
    if (parts <= 1) {
        make(0, texts.size());
        return keys;
    }
    std::vector<std::thread> helpers;
    const std::size_t step = (texts.size() + parts - 1) / parts;
    try {
        for (std::size_t part = 1; part < parts; ++part)
            helpers.emplace_back(make, std::min(texts.size(), part * step), std::min(texts.size(), (part + 1) * step));
    } catch (const std::system_error&) {
        // No thread to be had: the parts not handed out are made here.
    }
    make(0, step);
    for (std::thread& helper : helpers)
        helper.join();
    for (std::size_t part = helpers.size() + 1; part < parts; ++part)
        make(std::min(texts.size(), part * step), std::min(texts.size(), (part + 1) * step));
    return keys;
}

std::string UpperCzech(std::string_view text) { return ChangeCase(text, ucasemap_utf8ToUpper); }
std::string LowerCzech(std::string_view text) { return ChangeCase(text, ucasemap_utf8ToLower); }

bool SameTextCzech(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        if ((ca | cb) < 0x80) { // both ASCII
            if (ca != cb && Fold(ca) != Fold(cb))
                return false;
            ++i;
            ++j;
            continue;
        }
        if (Fold(Next(a, i)) != Fold(Next(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

bool LikeCzech(std::string_view text, std::string_view pattern)
{
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos; // pattern position after the last "%"
    std::size_t starT = 0;                      // text position that "%" is tried from
    while (t < text.size()) {
        if (p < pattern.size()) {
            if (pattern[p] == '%') {
                starP = ++p;
                starT = t;
                continue;
            }
            std::size_t pNext = p, tNext = t;
            const UChar32 pc = Next(pattern, pNext);
            const UChar32 tc = Next(text, tNext);
            if (pc == '_' || pc == tc || Fold(pc) == Fold(tc)) {
                p = pNext;
                t = tNext;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        // Let the last "%" swallow one more character and retry from there.
        Next(text, starT);
        t = starT;
        p = starP;
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count)
        Next(text, i);
    return count;
}

std::string_view TruncateUtf8(std::string_view text, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t n = 0; n < maxChars && i < text.size(); ++n)
        Next(text, i);
    return text.substr(0, i);
}

} // namespace sys
