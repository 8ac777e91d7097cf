#include "platform/data/LoanFields.h"

namespace data {

void DefineLoanFields(TTable& loans, TDataSet& readers, TDataSet& books)
{
    loans.AddField("Cislo", TFieldType::ftAutoInc);
    loans.AddField("CisloCtenare", TFieldType::ftInteger);
    loans.AddLookupField("Ctenar", 255, "CisloCtenare", &readers, "Cislo", "Jmeno");
    loans.AddField("CisloKnihy", TFieldType::ftInteger);
    loans.AddLookupField("KodKnihy", 100, "CisloKnihy", &books, "Cislo", "Kod");
    loans.AddLookupField("Kniha", 255, "CisloKnihy", &books, "Cislo", "Nazev");
    loans.AddField("Pujceno", TFieldType::ftDateTime);
    loans.AddField("Vraceno", TFieldType::ftDateTime);
    loans.AddField("Dnu", TFieldType::ftInteger);
    loans.AddField("VracenoB", TFieldType::ftBoolean);
}

} // namespace data
