#pragma once
// Progress captions of long operations: title + " - " + p + "% dokončeno", with p = position * 100
// / max in integer division (0 when max is not positive).

#include <string>

namespace ui {

class TForm;
class TProgressBar;

std::string ProgressCaption(const std::string& title, long long position, long long max);
// Sets the window's caption from the bar's position and maximum.
void ShowProgressCaption(TForm& form, const std::string& title, const TProgressBar& bar);

} // namespace ui
