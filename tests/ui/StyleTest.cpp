// The program's look: the keyboard's place must be visible on a button, and a scroll bar's
// handle must stand out darker than its track.

#include "UiTest.h"

#include "platform/ui/Button.h"

#include <QImage>
#include <QPushButton>
#include <QScrollBar>

namespace {

class StyleTest : public ui_test::UiTest {
protected:
    ui::TForm form{"Form1"};
};

TEST_F(StyleTest, AFocusedButtonLooksDifferentFromAnUnfocusedOne)
{
    ui::TButton first(&form, "Půjčit");
    ui::TButton second(&form, "Vrátit");
    first.SetBounds(10, 10, 100, 30);
    second.SetBounds(10, 50, 100, 30);
    ShowActive(form);
    second.SetFocus();
    const QImage unfocused = first.grab().toImage();
    first.SetFocus();
    ASSERT_TRUE(first.Focused());
    const QImage focused = first.grab().toImage();
    EXPECT_NE(focused, unfocused);
}

TEST_F(StyleTest, ScrollBarHandleIsDarkerThanItsTrack)
{
    QScrollBar bar(Qt::Vertical, &form);
    bar.setGeometry(10, 10, 16, 300);
    bar.setRange(0, 1000);
    bar.setPageStep(100);
    bar.setValue(0);
    ShowActive(form);
    const QImage image = bar.grab().toImage();
    // The handle sits at the top (value 0); the track shows near the bottom end, above the arrow.
    const int handle = qGray(image.pixel(8, 30));
    const int track = qGray(image.pixel(8, 230));
    EXPECT_LT(handle + 30, track) << "handle " << handle << ", track " << track;
}

} // namespace
