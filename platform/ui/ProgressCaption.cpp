#include "platform/ui/ProgressCaption.h"

#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

namespace ui {

std::string ProgressCaption(const std::string& title, long long position, long long max)
{
    const long long percent = max > 0 ? position * 100 / max : 0;
    return title + " - " + std::to_string(percent) + "% dokončeno";
}

void ShowProgressCaption(TForm& form, const std::string& title, const TProgressBar& bar)
{
    form.SetCaption(ProgressCaption(title, bar.Position(), bar.Max()));
}

} // namespace ui
