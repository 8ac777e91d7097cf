#pragma once
// The school-year roll-over of the readers' classes. A class text's first character is its year;
// only that character is ever rewritten, by one year up or down, the rest of the text stays.

#include "platform/data/Table.h"

#include <functional>
#include <string>

namespace app {

// The class a year on: "1" to "8" move up ("8.B" becomes "9.B", "10" becomes "20"); any other
// text (class 9, a letter first, empty) stays as it is.
std::string NextYearClass(const std::string& schoolClass);
// The class a year back: "2" to "9" move down; any other text stays.
std::string PreviousYearClass(const std::string& schoolClass);

// Every reader of the table one year on, in one transaction: active readers (state "Aktivní")
// of classes 1 to 8 move up, inactive readers keep their class, and readers of class 9 become
// inactive (class kept) when `deactivateNinth`. Answers the number of readers rewritten. A
// failure leaves every reader as before and is passed on.
int RollForward(data::TTable& readers, bool deactivateNinth);
// Every reader, active or not, one year back, in one transaction; nobody is reactivated.
int RollBackward(data::TTable& readers);

// Runs before each reader is judged, given how many were judged before it (tests stop or break a
// roll-over half-way with it). Empty in the program.
extern std::function<void(int judged)> RollOverRecordHook;

} // namespace app
