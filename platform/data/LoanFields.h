#pragma once
// The loans dataset as the main window shows it: the stored fields of Výpůjčky.db with the
// reader's name and the book's code and title looked up by number from the readers and books
// datasets (over their whole tables, whatever filter those datasets have).

#include "platform/data/Table.h"

namespace data {

// Adds the persistent fields to a closed loans table, in the order Cislo, CisloCtenare, Ctenar,
// CisloKnihy, KodKnihy, Kniha, Pujceno, Vraceno, Dnu, VracenoB.
void DefineLoanFields(TTable& loans, TDataSet& readers, TDataSet& books);

} // namespace data
