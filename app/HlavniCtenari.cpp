// The readers page.

#include "app/Hlavni.h"

void TForm1::Edit10Change(ui::TObject*) {
    // Reopens the readers list under its current text; the readers page's filter boxes rebuild the
    // text here.
    Query2.Close();
    Query2.Open();
}
