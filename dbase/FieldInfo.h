#pragma once
// The layout of one field inside a record, as read from its descriptor.

#include "platform/data/Value.h"

#include <cstdint>
#include <string>

namespace dbase {

struct TMyFieldInfo {
    std::string Name;       // UTF-8
    char Letter = 'C';      // stored type letter
    data::TFieldType FieldType = data::TFieldType::ftString;
    std::int32_t Size = 0;     // stored width in bytes
    std::int32_t Decimals = 0;
    std::int32_t Offset = 0;   // first byte inside the record (byte 0 is the deletion flag)
};

} // namespace dbase
