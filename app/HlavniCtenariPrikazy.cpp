// The school-year roll-over of the readers' classes: "Další školní rok" moves the active readers
// a year on (and may deactivate the ninth class), "Předchozí školní rok" moves every reader back.

#include "app/Hlavni.h"

#include "app/readers/RollOver.h"

void TForm1::RollReaders(const std::function<void()>& rollOver)
{
    // The readers table is left as a walk over it leaves it: its own filter on again, on the
    // first reader that passes.
    const auto restore = [this] {
        Table1.SetFiltered(true);
        Query2.Close();
        Query2.Open();
    };
    try {
        Table1.SetFiltered(false);
        rollOver();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TForm1::BitBtn30Click(ui::TObject*)
{
    const int answer = ui::Application.MessageBox(
        "Přejete si automaticky deaktivovat všechny čtenáře, kteří nyní chodí do 9.třídy?", "Vyřazení čtenářů",
        ui::MB_YESNOCANCEL | ui::MB_ICONQUESTION);
    if (answer != ui::IDYES && answer != ui::IDNO)
        return;
    RollReaders([this, answer] { app::RollForward(Table1, answer == ui::IDYES); });
}

void TForm1::BitBtn18Click(ui::TObject*)
{
    RollReaders([this] { app::RollBackward(Table1); });
}
