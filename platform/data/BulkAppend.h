#pragma once
// Adding many records to a table in one go (an import): one prepared INSERT is reused for every
// record and the values are bound directly in their stored form, without the record buffer,
// field events, record list and read-ahead rows a dataset keeps up for each record it posts.
// Texts are converted exactly as TField::SetAsString converts them, with the same errors. Each
// record is noted on the table file as written, so the table and every other dataset over the
// file read it anew when next used. Runs inside the caller's transaction, if one is running.

#include "platform/data/Value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace data {

class TTable;
class TableFile;
struct FieldSpec;

namespace sqlite {
class Statement;
}

class TBulkAppend {
public:
    // Over an open table that may be written (a pending edit is posted first). Every field of the
    // table is written; a field not set for a record is empty, an autoincrement field gets the
    // next number. The table's file stays attached while this lives.
    explicit TBulkAppend(TTable& table);
    ~TBulkAppend();
    TBulkAppend(const TBulkAppend&) = delete;
    TBulkAppend& operator=(const TBulkAppend&) = delete;

    // The position of a field of the table, found as FieldByName finds it; raises EDatabaseError
    // (Czech) for a field the table does not have.
    int FieldIndex(std::string_view name) const;

    // Sets a field of the record being built. A text is converted as SetAsString converts it
    // (cut to the field's size, "" empty for a field that is not text) and raises EConvertError
    // when it does not fit the field's type; an autoincrement field cannot be set.
    void SetText(int field, std::string_view text);
    void SetInteger(int field, std::int64_t value);
    // The text a text field of the record being built holds, as it will be stored; "" for
    // other fields and fields not set.
    std::string_view Text(int field) const;

    // Writes the record built so far and answers its record number; all fields are empty again.
    std::int64_t Append();

private:
    struct Slot {
        enum class Kind { Empty, Text, Converted } kind = Kind::Empty;
        std::string text; // the stored text of a text field (its storage is reused)
        data::Value value;
    };
    Slot& Writable(int field);

    std::shared_ptr<TableFile> file_;
    const std::vector<FieldSpec>* specs_ = nullptr;
    sqlite::Statement* insert_ = nullptr;
    std::vector<Slot> slots_;
    std::string label_; // "Name: " of the table, for messages
};

} // namespace data
