#pragma once
// A session with a few school classes and reader categories in the code lists, and what the reader
// dialogs' tests read back from disk and type into the dialogs.

#include "AppFixture.h"

#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"

#include <QTest>

#include <optional>
#include <string>
#include <vector>

namespace readertest {

struct ReaderRow {
    std::int64_t Cislo = 0;
    std::string Jmeno, Trida, Kategorie, Poznamka, Aktivni, Stav;
};

class ReaderDialogTest : public apptest::AppTest {
protected:
    void SetUp() override;

    std::vector<std::string> CodeList(const std::string& file);

    std::vector<ReaderRow> Readers();
    std::optional<ReaderRow> Reader(std::int64_t number);

    // Types the text key by key into the widget (letters outside ASCII as the keyboard sends them).
    static void Keys(QWidget& widget, const std::string& text);
    // Places the focus in a field and types into it as the librarian does.
    static void Type(ui::TEdit& field, const std::string& text);
    static void Retype(ui::TEdit& field, const std::string& text); // replaces what is there
    // Chooses an entry of a pick-only list with the arrow keys.
    static void Choose(ui::TComboBox& list, const std::string& item);
    static void PressEnter(QWidget& widget) { QTest::keyClick(&widget, Qt::Key_Return); }
    static void Click(QWidget& button) { QTest::mouseClick(&button, Qt::LeftButton); }
    // Whether a modal dialog has ended its run (it disappears when the run returns).
    static bool Closed(const ui::TForm& form) { return form.ModalResult() != ui::mrNone; }
};

} // namespace readertest
