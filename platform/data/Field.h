#pragma once
// Field definitions and field objects. A field reads and writes its value through its dataset,
// so the same field object serves the current record, a record being edited and the record a
// filter event is judging.

#include "platform/data/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace data {

class TDataSet;

enum class TFieldKind { fkData, fkCalculated, fkLookup };

struct TFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0;        // characters for text fields, 0 otherwise
    bool Required = false;
    int FieldNo = 0;     // 1-based position among the stored fields
};

class TFieldDefs {
public:
    void Clear() { defs_.clear(); }
    TFieldDef& Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    int Count() const { return static_cast<int>(defs_.size()); }
    const TFieldDef& operator[](int i) const { return defs_.at(static_cast<std::size_t>(i)); }
    const TFieldDef* Find(std::string_view name) const; // case-insensitive
    const std::vector<TFieldDef>& Items() const { return defs_; }

private:
    std::vector<TFieldDef> defs_;
};

// A text that cannot be converted for a field.
class EConvertError;

class TField {
public:
    TField(TDataSet& dataSet, std::string name, TFieldType type, int size, TFieldKind kind);

    TDataSet& DataSet() const { return *dataSet_; }
    const std::string& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }
    int FieldNo() const { return fieldNo_; } // < 1 for calculated and lookup fields
    TFieldKind FieldKind() const { return kind_; }
    bool IsBlob() const { return type_ == TFieldType::ftMemo; }

    // Presentation, used by grids.
    std::string DisplayLabel; // empty: the field name is shown
    bool Visible = true;
    int DisplayWidth = 0;
    bool ReadOnly = false;
    bool Required = false;

    // Lookup definition (FieldKind fkLookup).
    std::string KeyFields;
    TDataSet* LookupDataSet = nullptr;
    std::string LookupKeyFields;
    std::string LookupResultField;

    // Value access. Reading a field without a value gives "", 0, false; assigning a text
    // converts it to the field's type ("True"/"False", the short date "d.M.yyyy", numbers) and an
    // unconvertible text raises EConvertError; assigning "" clears the field.
    Value AsValue() const;
    void SetValue(const Value& value);
    std::string AsString() const;
    // AsString into the caller's string (its storage is reused, so a loop over many records
    // allocates nothing once the string is large enough).
    void GetAsString(std::string& out) const;
    void SetAsString(std::string_view text);
    std::int64_t AsInteger() const;
    void SetAsInteger(std::int64_t value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    double AsFloat() const;
    void SetAsFloat(double value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    TCurrency AsCurrency() const;
    void SetAsCurrency(TCurrency value);
    bool IsNull() const;
    void Clear();

private:
    friend class TDataSet;
    std::string DataSetLabel() const; // "Table2: " for messages
    void TextOfValue(std::string& out) const; // GetAsString's general form
    TDataSet* dataSet_;
    std::string name_;
    TFieldType type_;
    int size_;
    TFieldKind kind_;
    int fieldNo_ = 0;
};

// The text a field of `type` gives for a value (AsString), memos held in the value included.
void ValueText(const Value& value, TFieldType type, std::string& out);

// Converts a value to the kind a field of `type` holds (text of at most `size` characters when
// size > 0); "" becomes no value for non-text types. Raises EConvertError.
Value ConvertValue(const Value& value, TFieldType type, int size = 0);

// The bytes of the first `chars` UTF-8 characters of a text (all of it when chars <= 0): what a
// text field of that size keeps of it.
std::size_t TextPrefixLength(std::string_view text, int chars);

// Raised for a text that cannot be converted for a field ("'abc' is not a valid date").
class EConvertError : public std::exception {
public:
    explicit EConvertError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

} // namespace data
