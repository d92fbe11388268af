// The badge's text: whole numbers, laid out again only when it changes.
#include "ui/IndicatorPanel.h"

#include "FakeShell.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(IndicatorPanelTest, TextIsWholeNumbersAndLaidOutOnlyWhenItChanges) {
    EXPECT_EQ(IndicatorPanel::sizeText({1279.5, 719.4}), "1280 \u00D7 719");
    EXPECT_EQ(IndicatorPanel::sizeText({0, -0.5}), "0 \u00D7 -1");
    EXPECT_EQ(IndicatorPanel::sizeText({1e300, 12}), "9223372036854775807 \u00D7 12");

    test::FakeIndicatorView::State state;
    IndicatorPanel panel(std::make_unique<test::FakeIndicatorView>(state));
    panel.update({640, 480});
    panel.update({640.2, 479.6});
    EXPECT_EQ(state.texts.size(), 1u);
}

} // namespace
} // namespace nivu
