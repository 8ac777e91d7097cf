#include "ArchiveSupport.h"

#include "platform/data/Table.h"
#include "platform/data/Session.h"

namespace archivetest {

std::vector<ArchiveRow> ArchiveRows()
{
    data::TTable table;
    table.TableName = "VýpůjčkyArchiv.db";
    table.Open();
    std::vector<ArchiveRow> rows;
    for (table.First(); !table.Eof(); table.Next()) {
        const auto text = [&table](const char* name) { return table.FieldByName(name).AsString(); };
        const auto number = [&table](const char* name) { return table.FieldByName(name).AsInteger(); };
        rows.push_back({number("CisloCtenare"), text("Ctenar"), number("CisloKnihy"), text("KodKnihy"), text("Kniha"),
                        text("Pujceno"), text("Vraceno"), number("Dnu")});
    }
    return rows;
}

void AddArchived(const std::vector<ArchiveRow>& rows)
{
    data::TTable table;
    table.TableName = "VýpůjčkyArchiv.db";
    table.Open();
    data::TTransaction transaction;
    for (const ArchiveRow& row : rows) {
        table.Append();
        table.FieldByName("CisloCtenare").SetAsInteger(row.CisloCtenare);
        table.FieldByName("Ctenar").SetAsString(row.Ctenar);
        table.FieldByName("CisloKnihy").SetAsInteger(row.CisloKnihy);
        table.FieldByName("KodKnihy").SetAsString(row.KodKnihy);
        table.FieldByName("Kniha").SetAsString(row.Kniha);
        table.FieldByName("Pujceno").SetAsString(row.Pujceno);
        table.FieldByName("Vraceno").SetAsString(row.Vraceno);
        table.FieldByName("Dnu").SetAsInteger(row.Dnu);
        table.Post();
    }
    transaction.Commit();
}

} // namespace archivetest
