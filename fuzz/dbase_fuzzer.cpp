// libFuzzer target: arbitrary bytes as a dBase table with memo and index files.

#include "fuzz/DBaseFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dbasefuzz::ReadEverything(data, size);
    return 0;
}
