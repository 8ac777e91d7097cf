#include "app/readers/RollOver.h"

#include <vector>

namespace app {

std::function<void(int judged)> RollOverRecordHook;

namespace {

const char* const kActive = "Aktivní";

std::string ShiftYear(const std::string& schoolClass, char lowest, char highest, int by)
{
    if (schoolClass.empty() || schoolClass.front() < lowest || schoolClass.front() > highest)
        return schoolClass;
    std::string shifted = schoolClass;
    shifted.front() = static_cast<char>(shifted.front() + by);
    return shifted;
}

// Runs the record hook and counts the readers judged.
class Judged {
public:
    void Next()
    {
        if (RollOverRecordHook)
            RollOverRecordHook(count_);
        ++count_;
    }

private:
    int count_ = 0;
};

} // namespace

std::string NextYearClass(const std::string& schoolClass)
{
    return ShiftYear(schoolClass, '1', '8', 1);
}

std::string PreviousYearClass(const std::string& schoolClass)
{
    return ShiftYear(schoolClass, '2', '9', -1);
}

int RollForward(data::TTable& readers, bool deactivateNinth)
{
    Judged judged;
    // texts: class, active flag, state.
    return readers.RewriteTexts({"Trida", "Aktivni", "Stav"}, "", [&](std::vector<std::string>& texts) {
        judged.Next();
        std::string& schoolClass = texts[0];
        if (deactivateNinth && !schoolClass.empty() && schoolClass.front() == '9') {
            texts[1] = "False";
            texts[2] = "Neaktivní";
        }
        if (texts[2] == kActive)
            schoolClass = NextYearClass(schoolClass);
        return true;
    });
}

int RollBackward(data::TTable& readers)
{
    Judged judged;
    return readers.RewriteTexts({"Trida"}, "", [&](std::vector<std::string>& texts) {
        judged.Next();
        texts[0] = PreviousYearClass(texts[0]);
        return true;
    });
}

} // namespace app
