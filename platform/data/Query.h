#pragma once
// A read-only query over one table file of the working folder: its SQL is kept as lines
// ("SELECT * FROM Knihy", "WHERE Nazev LIKE \"Bab%\"", "ORDER BY Kod"); opening runs it and
// keeps the result's order (texts in Czech order). A filter narrows the result further. Changing
// the SQL closes the query.

#include "platform/data/Sql.h"
#include "platform/data/SqlDataSet.h"
#include "platform/data/Strings.h"

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
    int PrepareFirstRun(const std::string& columns, sqlite::Statement*& statement) override;

private:
    std::string Condition() const; // the query's WHERE and the filter, as SQLite's condition
    int BindCondition(sqlite::Statement& statement) const; // answers the next parameter's position
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
