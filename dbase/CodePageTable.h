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
    // Replaces out by the UTF-8 form of the bytes.
    void AssignUtf8(const char* bytes, std::size_t length, std::string& out) const {
        std::size_t n = 0;
        for (std::size_t i = 0; i < length; ++i) n += all_[static_cast<unsigned char>(bytes[i])].length;
        out.resize(n);
        char* p = out.data();
        for (std::size_t i = 0; i < length; ++i) {
            const Utf8Char& u = all_[static_cast<unsigned char>(bytes[i])];
            if (u.length == 1) *p++ = u.bytes[0];
            else {
                std::memcpy(p, u.bytes, u.length);
                p += u.length;
            }
        }
    }
    std::string ToUtf8(std::string_view bytes) const;
    // The code-page form of UTF-8 text; a character the code page cannot hold, and a malformed
    // sequence, become "?".
    std::string FromUtf8(std::string_view utf8) const;

private:
    explicit TCodePageTable(TCodePage page);

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
