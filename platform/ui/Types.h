#pragma once
// Basic types shared by all controls: the sender base, event signatures, key codes, colours and
// modal results, named as the program's window code names them.

#include <cstdint>
#include <functional>

namespace ui {

// Base of everything that can be the sender of an event (controls, forms, timers, menu items).
class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

using Word = std::uint16_t;

// Modifier keys held during a key event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// Event signatures. Sender may be nullptr when a handler is called directly by code.
using TNotifyEvent = std::function<void(TObject* Sender)>;
// Key going down or coming up; Key is a virtual key code (VK_...). Setting Key = 0 in a key-down
// handler stops the control from acting on the key.
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
// A character typed. Only characters 0..127 are reported (Enter is 13, Backspace 8, Escape 27);
// setting Key = 0 consumes the character, setting another character replaces it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// Virtual key codes reported by OnKeyDown/OnKeyUp. Letters and digits are their upper-case ASCII
// codes ('A', '0').
enum : Word {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
    VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
    VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46,
    VK_F1 = 112, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12,
};

// Colours as 0x00BBGGRR values; the system colours are resolved from the widget palette.
using TColor = std::int32_t;
enum : TColor {
    clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clNavy = 0x800000,
    clGray = 0x808080, clRed = 0x0000FF, clBlue = 0xFF0000, clWhite = 0xFFFFFF,
    clYellow = 0x00FFFF,
    // System colours (negative, resolved at paint time).
    clInfoBk = -0x7FFFFFE8, // tooltip background
    clBtnFace = -0x7FFFFFF1,
    clWindow = -0x7FFFFFFB,
    clWindowText = -0x7FFFFFF8,
    clActiveCaption = -0x7FFFFFFE,
};

// Results of a modal window and of dialog buttons.
using TModalResult = int;
enum : TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

} // namespace ui
