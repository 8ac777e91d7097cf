#pragma once
// Byte-wise conversion between a single-byte code page of a dBase file and UTF-8. The tables are
// built once per code page; converting a field is then a table look-up per byte, which keeps
// reading large files fast.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace dbase {

// Utf8 passes the bytes through: tables whose .cpg file names UTF-8.
enum class TCodePage { Oem852, Ansi1250, Utf8 };

class TCodePageTable {
public:
    // The shared table of a code page.
    static const TCodePageTable& Get(TCodePage page);

    // Code page of a language driver byte: the Windows drivers (Central European, and the
    // "ANSI" ones, which on a Czech machine mean CP1250) give CP1250; every other value, 0
    // included, is taken as the OEM code page CP852.
    static TCodePage FromLanguageDriver(std::uint8_t ldid);
    // Code page named by the text of a .cpg file ("CP1250", "1250", "UTF-8", "852"...); none when
    // the text names no code page known here.
    static std::optional<TCodePage> FromCpgText(std::string_view text);

    TCodePage Page() const { return page_; }

    // Appends the UTF-8 form of the bytes to out.
    void AppendUtf8(const char* bytes, std::size_t length, std::string& out) const;
    // Replaces out by the UTF-8 form of the bytes, reusing out's storage. Field texts (at most
    // 255 bytes) are converted on the stack, a table entry per byte without a branch.
    void AssignUtf8(const char* bytes, std::size_t length, std::string& out) const {
        constexpr std::size_t kShort = 256;
        if (length > kShort) {
            out.clear();
            AppendUtf8(bytes, length, out);
            return;
        }
        char buf[3 * kShort + 4];
        char* p = buf;
        for (std::size_t i = 0; i < length; ++i) {
            // Three bytes of UTF-8 and the count of those used, written whole.
            const std::uint32_t e = packed_[static_cast<unsigned char>(bytes[i])];
            std::memcpy(p, &e, 4);
            p += PackedLength(e);
        }
        out.assign(buf, static_cast<std::size_t>(p - buf));
    }
    // The same for a text of at most 64 bytes whose bytes above 127 are marked by the set bits of
    // `high` (bit k for byte k): the plain runs between them are copied sixteen bytes at a time and
    // only the marked bytes are looked up. `readable` is how many bytes may be read from `bytes`
    // on; with fewer than the text and sixteen more, the text is first copied aside.
    void AssignUtf8(const char* bytes, std::size_t length, std::uint64_t high, std::size_t readable,
                    std::string& out) const {
        if (length > 64) {
            AssignUtf8(bytes, length, out);
            return;
        }
        char aside[64 + 16];
        const char* text = bytes;
        if (readable < length + 16) {
            std::memcpy(aside, bytes, length);
            text = aside;
        }
        char buf[3 * 64 + 16];
        char* p = buf;
        std::size_t from = 0;
        const auto copyRun = [&](std::size_t to) {
            // Runs are mostly shorter than sixteen bytes: one straight copy, the loop only for longer ones.
            std::memcpy(p, text + from, 16);
            for (std::size_t k = from + 16; k < to; k += 16) std::memcpy(p + (k - from), text + k, 16);
            p += to - from;
        };
        while (high) {
            const auto at = static_cast<std::size_t>(std::countr_zero(high));
            high &= high - 1;
            copyRun(at);
            const std::uint32_t e = packed_[static_cast<unsigned char>(text[at])];
            std::memcpy(p, &e, 4);
            p += PackedLength(e);
            from = at + 1;
        }
        copyRun(length);
        out.clear(); // then append: cheaper than assign, which must allow for overlap
        out.append(buf, static_cast<std::size_t>(p - buf));
    }
    std::string ToUtf8(std::string_view bytes) const;
    // The code-page form of UTF-8 text; a character the code page cannot hold, and a malformed
    // sequence, become "?".
    std::string FromUtf8(std::string_view utf8) const;

private:
    explicit TCodePageTable(TCodePage page);
    // The count kept in the last byte (in memory order) of a packed entry.
    static std::size_t PackedLength(std::uint32_t e) {
        if constexpr (std::endian::native == std::endian::little) return e >> 24;
        else return e & 0xFF;
    }

    TCodePage page_;
    struct Utf8Char {
        char bytes[4];
        std::uint8_t length;
    };
    std::array<Utf8Char, 128> high_{};               // UTF-8 of bytes 0x80-0xFF
    std::array<std::uint32_t, 256> packed_{};        // UTF-8 of every byte, its length in the last byte
    std::unordered_map<char32_t, std::uint8_t> back_; // code point -> byte, for 0x80-0xFF
};

} // namespace dbase
