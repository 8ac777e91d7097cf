#include "app/lending/DaysLent.h"

#include "platform/data/Field.h"
#include "platform/sys/ShortDate.h"

#include <cstdint>
#include <string>

namespace app {

namespace {

// The separator of the short date format: the character before the four-digit year of today.
char DateSeparator()
{
    const std::string today = sys::FormatShortDate(sys::Today());
    return today.size() >= 5 ? today[today.size() - 5] : '.';
}

void NormaliseField(data::TField& field, char separator)
{
    std::string text = field.AsString();
    for (char& c : text) {
        if (c < '0' || c > '9')
            c = separator;
    }
    field.SetAsString(text);
}

} // namespace

int DaysOfLoan(data::TDateTime lent, const data::Value& returned, data::TDateTime currentDate)
{
    if (data::IsNull(returned))
        return sys::DaysBetween(lent, currentDate);
    return sys::DaysBetween(lent, std::get<data::TDateTime>(returned));
}

void NormaliseLoanDates(data::TDataSet& loans)
{
    const char separator = DateSeparator();
    NormaliseField(loans.FieldByName("Pujceno"), separator);
    data::TField& returned = loans.FieldByName("Vraceno");
    if (!returned.AsString().empty())
        NormaliseField(returned, separator);
}

void RecomputeDaysFrom(data::TDataSet& loans, data::TDateTime currentDate, const std::function<void()>& step)
{
    data::TField& lent = loans.FieldByName("Pujceno");
    data::TField& returned = loans.FieldByName("Vraceno");
    data::TField& days = loans.FieldByName("Dnu");
    while (!loans.Eof()) {
        try {
            const data::Value back = returned.IsNull() ? data::Value{} : data::Value{returned.AsDateTime()};
            const int value = DaysOfLoan(lent.AsDateTime(), back, currentDate);
            if (days.IsNull() || days.AsInteger() != value) {
                loans.Edit();
                days.SetAsInteger(value);
                loans.Post();
            }
            if (step)
                step();
        } catch (const std::exception&) {
            try {
                if (loans.State() != data::TDataSetState::dsEdit)
                    loans.Edit();
                NormaliseLoanDates(loans);
                loans.Post();
            } catch (...) {
                if (loans.State() == data::TDataSetState::dsEdit)
                    loans.Cancel();
                throw;
            }
        }
        loans.Next();
    }
}

DaysRecomputed RecomputeDays(data::TTable& loans, data::TDateTime currentDate)
{
    DaysRecomputed done;
    const std::string filter = loans.Filter();
    const bool filtered = loans.Filtered();
    loans.RewriteValues(
        {"Pujceno", "Vraceno", "Dnu"},
        [&done, currentDate](std::vector<data::Value>& values) {
            ++done.loans;
            ++done.counted;
            const data::TDateTime lent = data::IsNull(values[0]) ? data::TDateTime{} : std::get<data::TDateTime>(values[0]);
            const int days = DaysOfLoan(lent, values[1], currentDate);
            if (!data::IsNull(values[2]) && std::get<std::int64_t>(values[2]) == days)
                return false;
            values[2] = std::int64_t{days};
            return true;
        },
        // A loan whose days cannot be read goes the record's own way, alone in the table.
        [&](std::int64_t number) {
            ++done.loans;
            loans.SetFilter("Cislo=" + std::to_string(number));
            loans.SetFiltered(true);
            loans.First();
            RecomputeDaysFrom(loans, currentDate, [&done] { ++done.counted; });
        });
    if (loans.Filter() != filter || loans.Filtered() != filtered) {
        loans.SetFiltered(false);
        loans.SetFilter(filter);
        loans.SetFiltered(filtered);
    }
    return done;
}

} // namespace app
