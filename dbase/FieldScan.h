#pragma once
// Classifies the bytes of a stored field sixteen at a time: which are text (bytes below 33 are
// blanks, as the trimming of field texts has it), which are above 127, which are digits and which
// are zeros. Reading a field's text then needs no branch per byte. Every read stays inside the
// record.

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dbase {

// Bit k describes byte k of the field.
struct TFieldMasks {
    std::uint64_t text = 0;  // not a blank
    std::uint64_t high = 0;  // above 127
    std::uint64_t digit = 0; // '0' to '9'
    std::uint64_t zero = 0;  // '0'

    bool Blank() const { return text == 0; }
    // The trimmed text is bytes [Begin(), End()) of the field; only when not Blank().
    std::size_t Begin() const { return static_cast<std::size_t>(__builtin_ctzll(text)); }
    std::size_t End() const { return 64 - static_cast<std::size_t>(__builtin_clzll(text)); }
};

// Bits [from, to) set; to <= 64.
inline std::uint64_t BitRange(std::size_t from, std::size_t to) {
    const std::uint64_t below = to >= 64 ? ~0ull : (1ull << to) - 1;
    return below & ~((1ull << from) - 1);
}

#if defined(__SSE2__)
namespace scan_detail {
struct TMasks16 {
    std::uint32_t text, high, digit, zero;
};
template <bool Numbers>
inline TMasks16 Masks16(const std::uint8_t* p) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i blank = _mm_set1_epi8(32);
    const __m128i isBlank = _mm_cmpeq_epi8(_mm_max_epu8(x, blank), blank);
    TMasks16 m{~static_cast<std::uint32_t>(_mm_movemask_epi8(isBlank)) & 0xFFFFu,
               static_cast<std::uint32_t>(_mm_movemask_epi8(x)), 0, 0};
    if constexpr (Numbers) {
        // x - '0' is at most 9 exactly for the digits.
        const __m128i offset = _mm_sub_epi8(x, _mm_set1_epi8('0'));
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(9)), offset);
        m.digit = static_cast<std::uint32_t>(_mm_movemask_epi8(isDigit));
        m.zero = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('0'))));
    }
    return m;
}
inline void Put(TFieldMasks& m, const TMasks16& c, std::size_t shift, std::uint32_t keep) {
    m.text |= static_cast<std::uint64_t>((c.text >> shift) & keep);
    m.high |= static_cast<std::uint64_t>((c.high >> shift) & keep);
    m.digit |= static_cast<std::uint64_t>((c.digit >> shift) & keep);
    m.zero |= static_cast<std::uint64_t>((c.zero >> shift) & keep);
}
inline void PutAt(TFieldMasks& m, const TMasks16& c, std::size_t at) {
    m.text |= static_cast<std::uint64_t>(c.text) << at;
    m.high |= static_cast<std::uint64_t>(c.high) << at;
    m.digit |= static_cast<std::uint64_t>(c.digit) << at;
    m.zero |= static_cast<std::uint64_t>(c.zero) << at;
}
} // namespace scan_detail
#endif

// Where the one 16-byte load that holds a field of at most 16 bytes starts: at the field, or
// earlier when the field ends less than 16 bytes before the record does. Only for records of at
// least 16 bytes.
inline std::size_t OneLoadStart(std::size_t recordSize, std::size_t offset) {
    return offset + 16 <= recordSize ? offset : recordSize - 16;
}

// The masks of a field of at most 16 bytes that is bits [shift, shift + its size) of the 16 bytes
// at `load`; keep has the low (size) bits set.
template <bool Numbers>
inline TFieldMasks ScanOneLoad(const std::uint8_t* load, std::size_t shift, std::uint32_t keep) {
    TFieldMasks m;
#if defined(__SSE2__)
    scan_detail::Put(m, scan_detail::Masks16<Numbers>(load), shift, keep);
#else
    (void)load, (void)shift, (void)keep;
#endif
    return m;
}

// The masks of a field of 17 to 64 bytes at `field`, in loads of 16 bytes inside the field.
template <bool Numbers>
inline TFieldMasks ScanLoads(const std::uint8_t* field, std::size_t size) {
    TFieldMasks m;
#if defined(__SSE2__)
    std::size_t k = 0;
    for (; k + 16 <= size; k += 16) scan_detail::PutAt(m, scan_detail::Masks16<Numbers>(field + k), k);
    if (k < size) scan_detail::PutAt(m, scan_detail::Masks16<Numbers>(field + size - 16), size - 16); // overlaps the one before
#else
    (void)field, (void)size;
#endif
    return m;
}

// Whether fields can be scanned here: with SSE2, up to 64 bytes, in records of 16 bytes or more.
inline bool CanScan(std::size_t recordSize, std::size_t size) {
#if defined(__SSE2__)
    return size > 0 && size <= 64 && recordSize >= 16;
#else
    (void)recordSize, (void)size;
    return false;
#endif
}

} // namespace dbase
