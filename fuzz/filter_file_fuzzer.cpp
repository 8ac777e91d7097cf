#include "fuzz/FilterFileFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    filterfuzz::ReadFilterFile(data, size);
    return 0;
}
