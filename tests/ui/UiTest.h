#pragma once
// Common ground of the window-layer tests: a clean application object per test and windows that
// are shown and active, so focus and key events behave as on a desktop.

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace ui_test {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { ui::Application.Reset(); }
    void TearDown() override
    {
        QApplication::processEvents();
        ui::Application.Reset();
    }

    // Shows the window and makes it the active one.
    static void ShowActive(ui::TForm& form)
    {
        form.Show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 1000));
    }
};

} // namespace ui_test
