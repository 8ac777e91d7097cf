// The refresh of the page brought to the front and the recomputation of days lent.

#include "app/Hlavni.h"

#include "maintenance/ImportovatData.h"
#include "maintenance/ZalohovatData.h"
#include "app/ZmenitDatum.h"
#include "app/lending/DaysLent.h"
#include "platform/data/Session.h"
#include "platform/sys/ShortDate.h"

#include <vector>

namespace {

// The progress bars that follow the recomputation: the date dialog's, the backup's, the restore's.
std::vector<ui::TProgressBar*> DaysBars()
{
    std::vector<ui::TProgressBar*> bars;
    if (Form12 != nullptr)
        bars.push_back(&Form12->CGauge1);
    if (Form8 != nullptr)
        bars.push_back(&Form8->ProgressBar1);
    if (Form6 != nullptr)
        bars.push_back(&Form6->CGauge1);
    return bars;
}

} // namespace

void TForm1::Timer2Timer(ui::TObject*)
{
    try {
        if (TabbedNotebook1.PageIndex() == 0) {
            Table1.SetFiltered(false);
            Table2.SetFiltered(false);

            Query2.Close();
            Query2.SQL.Clear();
            Query2.SQL.Add("SELECT * FROM Čtenáři");
            Query2.SQL.Add("ORDER BY Jmeno");
            Query2.Open();
            Query2.First();

            // Active readers, with their number, class, note and category in the hidden lists.
            // The grids over the datasets stay still while the loops walk them.
            const data::ControlsStill readersStill(Query2);
            std::vector<std::string> names, numbers, classes, notes, categories;
            data::TField& active = Query2.FieldByName("Aktivni");
            data::TField& name = Query2.FieldByName("Jmeno");
            data::TField& number = Query2.FieldByName("Cislo");
            data::TField& schoolClass = Query2.FieldByName("Trida");
            data::TField& category = Query2.FieldByName("Kategorie");
            data::TField& note = Query2.FieldByName("Poznamka");
            while (!Query2.Eof()) {
                if (active.AsString() == "True") {
                    names.push_back(name.AsString());
                    numbers.push_back(number.AsString());
                    classes.push_back(schoolClass.AsString());
                    categories.push_back(category.AsString());
                    notes.push_back(note.AsString());
                }
                Query2.Next();
            }
            ComboBox1.SetItems(names);
            ComboBox2.SetItems(numbers);
            ComboBox3.SetItems(classes);
            ComboBox4.SetItems(notes);
            ComboBox5.SetItems(categories);

            ComboBox1.SetItemIndex(0);
            for (ui::TComboBox* hidden : {&ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5})
                hidden->SetItemIndex(ComboBox1.ItemIndex());
            // The remembered selection belongs to the list just replaced.
            LastReaderIndex = ComboBox1.ItemIndex();
            Label4.SetCaption(ComboBox3.Text());
            Label5.SetCaption(ComboBox4.Text());
            Label7.SetCaption(ComboBox5.Text());

            Table3.SetFiltered(false);
            Table3.SetFiltered(true);

            // Titles of the books that can be lent, in the books table's order.
            Table2.SetFiltered(false);
            const std::vector<std::string> titles =
                Table2.ReadTexts({"Nazev"}, "Pujceno='False' AND VyrazenoDatum=''").front();
            cbKnihy.SetItems(titles);

            Table3.Close();
            Table3.Open();
            cbKnihy.SetItemIndex(-1);
            Table3.SetFiltered(false);
            Table3.SetFilter("VracenoB='False'");
            Table3.SetFiltered(true);

            TabbedNotebook1.Show();
            ComboBox1.SetFocus();
        } else if (TabbedNotebook1.PageIndex() == 1) {
            RefreshBooksPage();
        } else if (TabbedNotebook1.PageIndex() == 2) {
            RefreshReadersPage();
        }

        // ---- Loans overview; the code lists and the archive need nothing but the closing steps. ----
        if (TabbedNotebook1.PageIndex() == 3)
            RefreshOverviewPage();
    } catch (const std::exception&) {
        // The refresh reports nothing; the page stays as far as it got.
    }
    Panel1.Show();
    TabbedNotebook1.Show();
    Timer2.SetEnabled(false);
}

void TForm1::DaysProgressStart(int count)
{
    for (ui::TProgressBar* bar : DaysBars()) {
        bar->SetMax(count);
        bar->SetPosition(0);
    }
}

void TForm1::Timer3Timer(ui::TObject*)
{
    try {
        DaysDate = sys::StrToDate(Edit2.Text());
        Table3.SetFiltered(false);
        DaysProgressStart(Table3.RecordCount());
        TabbedNotebook1.Show();

        const std::vector<ui::TProgressBar*> bars = DaysBars();
        {
            // One transaction for all loans: a failure leaves every loan as it was.
            const data::ControlsStill loansStill(Table3);
            data::TTransaction transaction;
            Table3.First();
            app::RecomputeDays(Table3, sys::DateOf(DaysDate), [&bars] {
                for (ui::TProgressBar* bar : bars)
                    bar->StepBy(1);
            });
            transaction.Commit();
        }

        Table3.Close();
        Table3.Open();
        Table3.SetFiltered(false);
        Table3.SetFilter("VracenoB='False'");
        Table3.SetFiltered(true);
    } catch (...) {
        RestoreDesk();
        throw;
    }
}
