#pragma once
// Opens arbitrary bytes as a dBase table with its memo and index files and reads everything.
// Input layout: 4 bytes length of the .dbf part, 4 bytes length of the .dbt part (little-endian,
// cut to what is there; its top bit asks to rewrite records and append one, through any index),
// the two parts, and the rest as the .ndx file (none when empty).

#include <cstddef>
#include <cstdint>

namespace dbasefuzz {

// Failures the component reports (its exceptions) are expected; anything else escapes.
void ReadEverything(const std::uint8_t* data, std::size_t size);

} // namespace dbasefuzz
