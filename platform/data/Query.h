#pragma once
// A read-only query over one table file of the working folder: its SQL is kept as lines
// ("SELECT * FROM Knihy", "WHERE Nazev LIKE \"Bab%\"", "ORDER BY Kod"); opening runs it and
// keeps the result's order (texts in Czech order). A filter narrows the result further. Changing
// the SQL closes the query. A query closed and opened again over the same, unchanged file with
// the same statement and filter takes the list of records it had instead of reading and sorting
// the table again (a backup closes and reopens every dataset without changing a file).

#include "platform/data/Sql.h"
#include "platform/data/SqlDataSet.h"
#include "platform/data/Strings.h"

#include <optional>

namespace data {

class TQuery : public TSqlDataSet {
public:
    TQuery();
    ~TQuery() override;

    TStrings SQL;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool GetCanModify() const override { return false; }
    void BuildList(std::vector<std::int64_t>& rowids) override;
    bool NaturalOrder() const override { return false; }
    bool ReadsOnWithoutList() const override;
    int PrepareRunAt(const std::string& columns, sqlite::Statement*& statement) override;
    void PrepareCount(sqlite::Statement*& statement) override;

private:
    std::string Condition() const; // the query's WHERE and the filter, as SQLite's condition
    std::string FromWhere(const std::string& condition) const; // " FROM <table>[ WHERE <condition>]"
    int BindCondition(sqlite::Statement& statement) const; // answers the next parameter's position

    // What tells a file's contents apart without reading them: its identity, times, size and the
    // change counter its header carries.
    struct FileStamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, changed = 0; // nanoseconds
        std::uint32_t counter = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct KeptList {
        std::vector<std::int64_t> rowids;
        std::string statement; // condition, order and filter, without the file's alias
        std::vector<Value> params;
        FileStamp stamp;
    };
    static std::optional<FileStamp> StampOf(const TableFile& file);
    std::string Statement() const;
    std::vector<Value> Params() const;

    std::optional<KeptList> kept_;
    bool opening_ = false;
    std::string where_;
    std::vector<Value> params_;
    std::string orderBy_;
    std::vector<OrderTerm> orderTerms_;
    // Whether SQLite reads the records in the query's order straight from an index, for the
    // condition it was asked for last.
    mutable std::string planCondition_;
    mutable bool planChecked_ = false;
    mutable bool indexOrder_ = false;
};

} // namespace data
