#pragma once
// The program's one look: Qt's Fusion style with a palette of our own and two changes that make
// the keyboard's place and a list's position easy to read: a focused button carries a clear frame,
// and a scroll bar's handle is drawn darker than its track.

namespace ui {

// Sets the style and the palette for the whole application (once, before the first window).
void ApplyProgramStyle();

} // namespace ui
