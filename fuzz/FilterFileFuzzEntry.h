#pragma once
// Reads arbitrary bytes as a saved book filter file: the file's text (rich text or plain text),
// the record line split into the filter's items, and the filter written back and read again,
// which must give the same filter.

#include <cstddef>
#include <cstdint>

namespace filterfuzz {

void ReadFilterFile(const std::uint8_t* data, std::size_t size);

} // namespace filterfuzz
