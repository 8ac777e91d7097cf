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

void TForm1::ListAllReadersByName()
{
    Query2.Close();
    Query2.SQL.Clear();
    Query2.SQL.Add("SELECT * FROM Čtenáři");
    Query2.SQL.Add("ORDER BY Jmeno");
    Query2.Open();
    Query2.First();
}

void TForm1::Timer2Timer(ui::TObject*)
{
    try {
        if (TabbedNotebook1.PageIndex() == 0) {
            Table1.SetFiltered(false);
            Table2.SetFiltered(false);

            // The grids over the readers and the loans follow once, at the end.
            const data::ControlsStill readersStill(Query2);
            const data::ControlsStill loansStill(Table3);
            ListAllReadersByName();

            // Active readers, with their number, class, note and category in the hidden lists,
            // read from the list in one pass; it is left past its last reader, as walked.
            ui::TComboBox* const readerBoxes[] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5};
            if (!deskReaders_.Current(Query2.ContentStamp(), {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5})) {
                auto read = Query2.ReadTextsInOrder({"Aktivni", "Jmeno", "Cislo", "Trida", "Poznamka", "Kategorie"});
                std::vector<std::vector<std::string>> lists(5);
                for (std::size_t i = 0; i < read[0].size(); ++i)
                    if (read[0][i] == "True")
                        for (std::size_t list = 0; list < lists.size(); ++list)
                            lists[list].push_back(std::move(read[list + 1][i]));
                for (std::size_t list = 0; list < lists.size(); ++list)
                    readerBoxes[list]->SetItems(lists[list]);
                deskReaders_.Remember(Query2.ContentStamp(), {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5});
            } else {
                for (ui::TComboBox* box : readerBoxes)
                    box->SetItemIndex(-1); // as a new fill leaves it
            }
            if (Query2.RecordCount() > 1) {
                Query2.Last();
            } else {
                Query2.First();
                Query2.Next();
            }

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
            if (!deskTitles_.Current(Table2.ContentStamp(), {&cbKnihy})) {
                cbKnihy.SetItems(Table2.ReadTexts({"Nazev"}, "Pujceno='False' AND VyrazenoDatum=''").front());
                deskTitles_.Remember(Table2.ContentStamp(), {&cbKnihy});
            } else {
                cbKnihy.SetItemIndex(-1); // as a new fill leaves it
            }

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
        // The grids over the loans follow once, when the open loans are shown again.
        const data::ControlsStill loansStill(Table3);
        Table3.SetFiltered(false);
        TabbedNotebook1.Show();

        app::DaysRecomputed done;
        {
            // One transaction for all loans: a failure leaves every loan as it was.
            data::TTransaction transaction;
            done = app::RecomputeDays(Table3, sys::DateOf(DaysDate));
            transaction.Commit();
        }
        // The bars stand where stepping once per loan would have left them.
        DaysProgressStart(done.loans);
        for (ui::TProgressBar* bar : DaysBars())
            bar->StepBy(done.counted);

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
