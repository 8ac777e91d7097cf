#pragma once
// A librarian's session with the book dialog: code lists and books on disk, the dialog opened in
// each mode as its openers open it, and the stored books read back field by field.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "catalogue/PridatKnihu.h"
#include "platform/ui/Text.h"

#include <QTest>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace booktest {

using Action = std::function<void(TForm4&)>;

class BookDialogTest : public apptest::AppTest {
protected:
    // Sets stored fields of a book by field name, as texts.
    void SetBookFields(const std::string& code, const std::map<std::string, std::string>& fields);
    // Every field of the book as stored, as text ("" for a field without value); empty when no
    // book has the code.
    std::map<std::string, std::string> Stored(const std::string& code);
    bool StoredNull(const std::string& code, const std::string& field);
    int BookCount() { return CountRecords("Knihy.DB"); }

    // The openers: add empties the fields the books page empties; edit and info position the books
    // table on the book by its number. The dialog is shown modally; `action` runs while it is
    // open, and a dialog still open afterwards is closed with `closeWith`.
    void ShowAdd(const Action& action, ui::TModalResult closeWith = ui::mrCancel);
    void ShowEdit(std::int64_t number, const Action& action, ui::TModalResult closeWith = ui::mrCancel);
    void ShowInfo(std::int64_t number, const Action& action, ui::TModalResult closeWith = ui::mrCancel);
    void ShowWithCaption(const std::string& caption, const Action& action, ui::TModalResult closeWith);

    // Typing as the librarian types: the field takes the focus, then each key goes down and up.
    static void Type(QWidget& field, const std::string& text);
    static void PressOk(TForm4& dialog) { QTest::mouseClick(&dialog.BitBtn1, Qt::LeftButton); }
    // Whether the dialog is still open for the librarian (OK refused).
    static bool StillOpen(TForm4& dialog) { return dialog.ModalResult() == ui::mrNone && dialog.isVisible(); }
};

} // namespace booktest
