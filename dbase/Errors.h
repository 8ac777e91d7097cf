#pragma once
// Exceptions of the dBase component. Their messages are English and shown as they stand.

#include "platform/data/DataSet.h"

#include <string>

namespace dbase {

// A damaged or unsupported file, or an operation the component cannot carry out.
class EBinaryDataSetError : public data::EDatabaseError {
public:
    using data::EDatabaseError::EDatabaseError;
};

// A value whose text does not fit the width of its field.
class EFieldToLongError : public data::EDatabaseError {
public:
    using data::EDatabaseError::EDatabaseError;
};

} // namespace dbase
