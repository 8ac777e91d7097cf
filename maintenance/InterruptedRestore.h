#pragma once
// What the program does with its data folder before any window opens a table: it takes the
// folder's lock for its whole run (a second copy of the program is refused, also while a backup or
// restore has every table closed), then puts back the tables of a restore (or import) that a crash
// interrupted, and tells the librarian so.

#include <filesystem>

// Raises data::EDatabaseError (Czech) when another program works with the folder, or when the
// tables of an interrupted restore cannot be put back.
void TakeProgramFolder(const std::filesystem::path& folder);
