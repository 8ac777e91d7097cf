#pragma once
// A table over one table file, named by bare file name and found in the working folder. Records
// are in the order of their record numbers; the filter narrows them.

#include "platform/data/SqlDataSet.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

class TTable : public TSqlDataSet {
public:
    TTable() = default;
    ~TTable() override;

    // The file name ("Knihy.DB"), found in the working folder without regard to letter case.
    // Takes effect at the next Open.
    std::string TableName;
    // Kept for the windows that set it; one program holds its whole folder exclusively anyway.
    bool Exclusive = false;
    bool ReadOnly = false;

    // Deletes every record (record numbers already given are not given again). Works open or
    // closed; an open table ends up empty.
    void EmptyTable();

    // The texts (as AsString gives them) of some fields of every record that passes `filter` (a
    // filter text, "" for every record), in the table's order: one list of texts per field, read
    // in one statement over the file. The table's cursor, filter and records are left as they
    // were, so a pick list that holds a whole table fills in milliseconds. The table must be open.
    std::vector<std::vector<std::string>> ReadTexts(const std::vector<std::string>& fields, std::string_view filter);

    // Rewrites fields of many records at once: `change` gets the texts (as AsString gives them) of
    // `fields` of each record that passes `filter`, in the table's order, and answers whether it
    // changed them; a changed record gets all those fields written back (converted as SetAsString
    // converts). The records are read in one statement, then the changed ones written by record
    // number, all inside one transaction (the caller's when one is running): the table holds every
    // change or none. Answers how many records were written. The table's filter is kept and it is
    // put on its first record, re-read. The table must be open and in browse state.
    int RewriteTexts(const std::vector<std::string>& fields, std::string_view filter,
                     const std::function<bool(std::vector<std::string>& texts)>& change);

    // Gives an integer field new values by a rule (the records pointing at another table follow
    // its records to new numbers): each record whose field holds a number for which `renumber`
    // answers another number gets that one; the others keep theirs. The records are read in one
    // statement, then the changed ones written by record number through one statement, inside
    // one transaction (the caller's when one is running): the table holds every change or none.
    // Answers how many records were written. The table is put on its first record, re-read.
    int RenumberField(const std::string& field,
                      const std::function<std::optional<std::int64_t>(std::int64_t)>& renumber);

    // The same by value, over every record: `change` gets the values of `fields` as the fields
    // read them (AsValue) and changes them in place; the fields whose values it changed are
    // written back (converted as SetValue converts). A record with a value its field cannot read
    // (an integer beyond the field's range) is not handed to `change`: after the writes, still
    // inside the transaction, `unreadable` gets its record number (the value of an
    // auto-increment field), for the caller to treat record by record through the table; an
    // error it raises undoes everything. Answers how many records `change` changed.
    int RewriteValues(const std::vector<std::string>& fields,
                      const std::function<bool(std::vector<Value>& values)>& change,
                      const std::function<void(std::int64_t number)>& unreadable);

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool GetCanModify() const override { return !ReadOnly; }
    void BuildList(std::vector<std::int64_t>& rowids) override;
    bool NaturalOrder() const override { return true; }
    bool UsesAllRows() const override;
    bool ReadsOnWithoutList() const override { return !(Filtered() && OnFilterRecord); }

private:
    friend class TBulkAppend; // writes through the table's file
    std::filesystem::path ResolvePath() const;
    // The file's specs of fields about to be rewritten; raises when the table cannot be.
    std::vector<const FieldSpec*> RewrittenSpecs(const std::vector<std::string>& fields);
    // Runs `write` (answering how many records it wrote) in one transaction: committed when it
    // returns, rolled back when it raises. The cursor stands on the first record afterwards.
    int WriteInOneTransaction(const std::function<int()>& write);
};

} // namespace data
