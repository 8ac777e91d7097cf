#pragma once
// Conversion between UTF-8 and the 8-bit code pages of files that other programs read or write:
// Windows-1250 (Central European, "ANSI") and IBM 852 (Central European DOS, "OEM"). A character
// the target cannot hold becomes "?"; invalid input never crashes and also becomes "?".

#include <memory>
#include <string>
#include <string_view>

namespace sys {

enum class CodePage { Windows1250, Ibm852 };

// A converter for one code page. Its tables are built from ICU once per process and shared, so a
// converter is cheap to make and keep, converts without per-character library calls and may be
// used from several threads.
class CodePageConverter {
public:
    explicit CodePageConverter(CodePage page);
    ~CodePageConverter();
    CodePageConverter(CodePageConverter&&) noexcept;
    CodePageConverter& operator=(CodePageConverter&&) noexcept;

    // Replace `out` by the conversion of `in`; `out`'s storage is reused.
    void ToUtf8(std::string_view in, std::string& out);
    void FromUtf8(std::string_view utf8, std::string& out);

    std::string ToUtf8(std::string_view in);
    std::string FromUtf8(std::string_view utf8);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The same conversions without a converter object.
std::string ToUtf8(CodePage page, std::string_view in);
std::string FromUtf8(CodePage page, std::string_view utf8);

} // namespace sys
