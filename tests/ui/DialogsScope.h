#pragma once
// The scripted dialog service for GoogleTest: a failure of the script (an unexpected message box,
// input box or modal window, an answer never asked for) becomes a failure of the running test.

#include "platform/ui/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace ui_test {

class DialogsScope : public ui::ScriptedDialogs {
public:
    DialogsScope()
    {
        OnFailure = [](const std::string& what) { ADD_FAILURE() << "dialog script: " << what; };
    }
};

} // namespace ui_test
