// The delete command the books and readers pages share: a record any loan names stays.

#include "app/Hlavni.h"

#include "platform/data/Quote.h"
#include "platform/ui/Dialogs.h"

#include <exception>

void TForm1::DeleteUnlessLent(data::TTable& table, const std::string& number, const char* loanField,
                              const char* refusal, const char* refusalTitle, data::TQuery& list,
                              ui::TEdit& quickFilter, ui::TObject* Sender)
{
    ui::ShowBusy(TabbedNotebook1, Label35);
    std::exception_ptr failure;
    try {
        if (!number.empty()) {
            Table3.SetFilter(std::string(loanField) + "=" + data::QuoteValue(number));
            Table3.SetFiltered(true);
            if (!Table3.IsEmpty()) {
                ui::HideBusy(TabbedNotebook1);
                ui::MessageBox(nullptr, refusal, refusalTitle, ui::MB_OK | ui::MB_ICONWARNING);
            } else {
                table.SetFilter("Cislo=" + data::QuoteValue(number));
                table.SetFiltered(true);
                if (!table.IsEmpty())
                    table.Delete();
            }
        }
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    // The loans go back to the open ones whatever happened above.
    try {
        Table3.SetFiltered(false);
        Table3.SetFilter("VracenoB='False'");
        Table3.SetFiltered(true);
    } catch (const std::exception&) {
        if (!failure)
            failure = std::current_exception();
    }

    try {
        list.Close();
        if (quickFilter.OnChange)
            quickFilter.OnChange(Sender);
        if (!list.Active())
            list.Open();
    } catch (...) {
        ui::HideBusy(TabbedNotebook1);
        throw;
    }
    ui::HideBusy(TabbedNotebook1);
    if (failure)
        std::rethrow_exception(failure);
}
