#pragma once
// Byte-wise conversion between a single-byte code page of a dBase file and UTF-8. The tables are
// built once per code page; converting a field is then a table look-up per byte, which keeps
// reading large files fast.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace dbase {

enum class TCodePage { Oem852, Ansi1250 };

class TCodePageTable {
public:
    // The shared table of a code page.
    static const TCodePageTable& Get(TCodePage page);

    // Code page of a language driver byte: Windows Central European drivers mean CP1250; every
    // other value, 0 included, is taken as the OEM code page CP852.
    static TCodePage FromLanguageDriver(std::uint8_t ldid);

    TCodePage Page() const { return page_; }

    // Appends the UTF-8 form of the bytes to out.
    void AppendUtf8(const char* bytes, std::size_t length, std::string& out) const;
    // Replaces out by the UTF-8 form of the bytes (at most 1024 bytes of text take the fast path).
    // Runs of ASCII are copied eight bytes at a time.
    void AssignUtf8(const char* bytes, std::size_t length, std::string& out) const {
        constexpr std::uint64_t kHigh = 0x8080808080808080ull;
        if (length > 1024) {
            out.clear();
            AppendUtf8(bytes, length, out);
            return;
        }
        char buf[3 * 1024 + 8];
        char* p = buf;
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, bytes + i, 8);
            if ((w & kHigh) == 0) {
                std::memcpy(p, &w, 8);
                p += 8;
                continue;
            }
            for (std::size_t k = i; k < i + 8; ++k) p = Put(p, static_cast<unsigned char>(bytes[k]));
        }
        for (; i < length; ++i) p = Put(p, static_cast<unsigned char>(bytes[i]));
        out.assign(buf, static_cast<std::size_t>(p - buf));
    }
    std::string ToUtf8(std::string_view bytes) const;
    // The code-page form of UTF-8 text; a character the code page cannot hold, and a malformed
    // sequence, become "?".
    std::string FromUtf8(std::string_view utf8) const;

private:
    explicit TCodePageTable(TCodePage page);
    char* Put(char* p, unsigned char c) const {
        const Utf8Char& u = all_[c];
        std::memcpy(p, u.bytes, 4);
        return p + u.length;
    }

    TCodePage page_;
    struct Utf8Char {
        char bytes[4];
        std::uint8_t length;
    };
    std::array<Utf8Char, 128> high_{};               // UTF-8 of bytes 0x80-0xFF
    std::array<Utf8Char, 256> all_{};                // UTF-8 of every byte
    std::unordered_map<char32_t, std::uint8_t> back_; // code point -> byte, for 0x80-0xFF
};

} // namespace dbase
