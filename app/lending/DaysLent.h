#pragma once
// The number of days each loan has been out (`Dnu`): from the lending date to the current date
// while the loan is open, to the return date once it is returned.

#include "platform/data/DataSet.h"
#include "platform/data/Table.h"
#include "platform/data/Value.h"

#include <functional>

namespace app {

// Recomputes `Dnu` of every record of `loans` from its current position to the end, advancing
// `step` once per loan. A loan whose fields cannot be read gets its date texts normalised instead
// (every character but a digit becomes the date separator) and keeps its `Dnu`; an error in that
// normalisation is passed on. Records whose `Dnu` is already right are not rewritten.
void RecomputeDaysFrom(data::TDataSet& loans, data::TDateTime currentDate, const std::function<void()>& step);

// The same over every loan of the table at once: read in one statement, the changed days written
// in one transaction (all or none), a loan whose fields cannot be read taken record by record as
// above. Answers how many loans there are and how many of them `step` would have counted. The
// table's filter is kept; its cursor ends on the first record.
struct DaysRecomputed {
    int loans = 0;
    int counted = 0;
};
DaysRecomputed RecomputeDays(data::TTable& loans, data::TDateTime currentDate);

// Whole days of one loan: to `currentDate` when `returned` is null (open loan).
int DaysOfLoan(data::TDateTime lent, const data::Value& returned, data::TDateTime currentDate);

// Rewrites the loan's `Pujceno` and (when set) `Vraceno` with every non-digit character replaced
// by the separator of the short date format; the loan must be in edit state.
void NormaliseLoanDates(data::TDataSet& loans);

} // namespace app
