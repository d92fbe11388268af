// The badge's text, label centring and placement.
#include "ui/IndicatorPanel.h"

#include "FakeShell.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(IndicatorPanelTest, TextIsWholeNumbersWithTheMultiplicationSign) {
    EXPECT_EQ(IndicatorPanel::sizeText({1279.5, 719.4}), "1280 \u00D7 719");
    EXPECT_EQ(IndicatorPanel::sizeText({0, -0.5}), "0 \u00D7 -1");
    EXPECT_EQ(IndicatorPanel::sizeText({1e300, 12}), "9223372036854775807 \u00D7 12");
}

TEST(IndicatorPanelTest, LabelIsCentredAndNotLaidOutAgainForTheSameText) {
    test::FakeIndicatorView::State state;
    IndicatorPanel panel(std::make_unique<test::FakeIndicatorView>(state));

    panel.update({640, 480});
    panel.update({640.2, 479.6});
    EXPECT_EQ(state.texts.size(), 1u);
    EXPECT_EQ(state.labelOrigin, (Point{(120 - 7.0 * 10) / 2, 6}));

    state.characterWidth = 20;
    panel.update({123456, 654321});
    EXPECT_LT(state.labelOrigin.x, 0) << "a text wider than the badge stays centred";
    EXPECT_EQ(state.labelOrigin.x, (120 - 20.0 * 16) / 2);
}

} // namespace
} // namespace nivu
