#include "platform/ui/EnterChain.h"

#include "platform/ui/Control.h"

#include <algorithm>

namespace ui {

TEnterChain::TEnterChain(std::vector<TControl*> fields, TControl* last, bool consumeEnter)
{
    Set(std::move(fields), last, consumeEnter);
}

TEnterChain::~TEnterChain()
{
    Unhook();
}

void TEnterChain::Unhook()
{
    for (std::size_t i = 0; i < fields_.size() && i < hookIds_.size(); ++i)
        if (TControl::IsAlive(fields_[i]))
            fields_[i]->RemoveHook(hookIds_[i]);
    hookIds_.clear();
}

void TEnterChain::Set(std::vector<TControl*> fields, TControl* last, bool consumeEnter)
{
    Unhook();
    fields_ = std::move(fields);
    last_ = last;
    consume_ = consumeEnter;
    for (TControl* field : fields_)
        hookIds_.push_back(field->AddKeyPressHook([this](TObject* sender, char& key) { KeyPress(sender, key); }));
}

bool TEnterChain::KeyPress(TObject* sender, char& key)
{
    if (key != '\r')
        return false;
    auto it = std::find_if(fields_.begin(), fields_.end(), [sender](TControl* c) { return c == sender; });
    if (it == fields_.end())
        return false;
    // The next field that can take the focus; after the last field, the button.
    for (auto next = std::next(it); next != fields_.end(); ++next) {
        if ((*next)->CanFocus()) {
            (*next)->SetFocus();
            if (consume_)
                key = 0;
            return true;
        }
    }
    if (last_ != nullptr && last_->CanFocus()) {
        last_->SetFocus();
        if (consume_)
            key = 0;
        return true;
    }
    return false;
}

} // namespace ui
