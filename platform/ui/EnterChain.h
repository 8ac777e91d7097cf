#pragma once
// An Enter chain: a per-window list of fields; Enter (character 13) in one moves the focus to the
// next field that can take it, and Enter in the last moves it to a given button without pressing
// it. Whether the Enter character is then consumed or still reaches the field is chosen per chain
// (a multi-line field gets its new line when it is not consumed).

#include "platform/ui/Types.h"

#include <vector>

namespace ui {

class TControl;

class TEnterChain {
public:
    TEnterChain() = default;
    TEnterChain(std::vector<TControl*> fields, TControl* last, bool consumeEnter = false);
    ~TEnterChain();
    TEnterChain(const TEnterChain&) = delete;
    TEnterChain& operator=(const TEnterChain&) = delete;

    // Sets up the chain (replacing an earlier one) and hooks the fields' key presses.
    void Set(std::vector<TControl*> fields, TControl* last, bool consumeEnter = false);

    // The step itself, for window code whose own key-press handler runs the chain: when Key is
    // Enter and sender is a field of the chain, moves the focus on (and clears Key when the chain
    // consumes Enter). Returns whether it moved the focus.
    bool KeyPress(TObject* sender, char& key);

private:
    void Unhook();
    std::vector<TControl*> fields_;
    TControl* last_ = nullptr;
    bool consume_ = false;
    std::vector<int> hookIds_;
};

} // namespace ui
