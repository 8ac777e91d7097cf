#pragma once
// A table over one table file, named by bare file name and found in the working folder. Records
// are in the order of their record numbers; the filter narrows them.

#include "platform/data/SqlDataSet.h"

#include <string>
#include <string_view>
#include <vector>

#include <string>

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
    std::filesystem::path ResolvePath() const;
};

} // namespace data
