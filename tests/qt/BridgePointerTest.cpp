// The pointer that the compositor side reports, as every listener of a report reads it.
#include "PrivateBus.h"
#include "bridge/BridgePointerEvents.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace nivu::bridge {
namespace {

TEST(BridgePointerTest, EveryListenerOfAReportReadsThePointerItGives) {
    // The desktop listens before the pointer exists (so it is in a session): a size step that
    // shows the badge must read this report's pointer, not the one before.
    test::PrivateBus bus;
    ScriptBridge bridge(QDBusConnection::connectToBus(bus.address(), QStringLiteral("nivu")),
                        QStringLiteral("org.nivu.Test"), std::nullopt);
    ASSERT_TRUE(bridge.publish());
    auto compositor = QDBusConnection::connectToBus(bus.address(), QStringLiteral("compositor"));
    bridge.acceptCallsFrom(compositor.baseService());
    std::optional<BridgePointerEvents> pointer;
    std::vector<Point> seen;
    const auto desktop =
        bridge.reports.connect([&](const Report&) { seen.push_back(pointer->pointerLocation()); });
    pointer.emplace(bridge, [](double x, double y) { return Point{x, -y}; });
    int drags = 0;
    const auto following = pointer->monitorLeftDrags([&] { ++drags; });

    for (const char* fact :
         {R"({"report":"drag","id":"7","x":700,"y":400})",
          R"({"report":"size","id":"7","width":640,"height":480,"x":706.5,"y":404})",
          R"({"report":"size","id":"7","width":650,"height":480})"}) {
        auto message = QDBusMessage::createMethodCall(
            QStringLiteral("org.nivu.Test"), QStringLiteral("/Bridge"),
            QStringLiteral("org.nivu.Bridge"), QStringLiteral("report"));
        message << QString::fromUtf8(fact);
        compositor.send(message); // delivered in the order sent
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 3; }));
    // A report without the pointer leaves it where the last one put it.
    EXPECT_EQ(seen, (std::vector<Point>{{700, -400}, {706.5, -404}, {706.5, -404}}));
    EXPECT_EQ(drags, 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("compositor"));
    QDBusConnection::disconnectFromBus(QStringLiteral("nivu"));
}

} // namespace
} // namespace nivu::bridge
