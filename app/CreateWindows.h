#pragma once
// The nineteen windows of the program, created once in a fixed order as global instances and
// alive until the program ends.

// Creates the windows in order: the start-up password prompt (the application's main window),
// the loading panel, password settings, restore, backup, the main window, then the dialogs. An
// exception from a window's creation passes on; the windows made so far stay.
void CreateWindows();

// Destroys every window that exists, last created first, and clears the global instances.
void DestroyWindows();
