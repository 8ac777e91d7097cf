#pragma once
// A table over one table file, named by bare file name and found in the working folder. Records
// are in the order of their record numbers; the filter narrows them.

#include "platform/data/SqlDataSet.h"

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
