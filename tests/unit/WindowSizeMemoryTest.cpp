// The remembered-size store against a real file in a temporary home directory.
#include "memory/WindowSizeMemory.h"

#include "Printers.h"
#include "TemporaryDirectory.h"
#include "common/JsonInput.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace nivu {
namespace {

using test::readFile;
using test::writeFile;

constexpr const char* trackingXTerm = R"({
  "rememberedSizes": {
    "XTerm": {"_default": {"width": 800, "height": 600}, "A": {"width": 1024, "height": 768}},
    "Untracked": {"_default": {"width": 300, "height": 200}},
    "z": {"w": {"width": 5, "height": 6, "depth": 7}}
  },
  "trackedBundleIdentifiers": ["XTerm", "b", "XTerm"], "comment": "mine"
})";

class WindowSizeMemoryTest : public ::testing::Test {
protected:
    std::filesystem::path configPath() const { return home.path() / ".nivu" / "config.json"; }
    ino_t inode() const {
        struct stat info = {};
        ::stat(configPath().c_str(), &info);
        return info.st_ino;
    }
    WindowSizeMemory storeWith(const std::string& document) {
        writeFile(configPath(), document);
        return WindowSizeMemory(home.path());
    }

    test::TemporaryDirectory home;
};

TEST_F(WindowSizeMemoryTest, StartCreatesTheEmptyDocumentOrTakesOverTheLegacyOneByteForByte) {
    WindowSizeMemory(home.path()).recordSize({800, 600}, "XTerm", std::nullopt);
    EXPECT_EQ(readFile(configPath()),
              "{\n  \"rememberedSizes\": {},\n  \"trackedBundleIdentifiers\": []\n}\n");

    test::TemporaryDirectory other;
    const std::string legacyBytes = std::string("not json \x00\xff at all", 17);
    writeFile(other.path() / ".tolvenk" / "config.json", legacyBytes);
    WindowSizeMemory migrated(other.path());
    EXPECT_EQ(readFile(other.path() / ".nivu" / "config.json"), legacyBytes);
    EXPECT_EQ(readFile(other.path() / ".tolvenk" / "config.json"), legacyBytes) << "left in place";

    writeFile(other.path() / ".tolvenk" / "config.json", trackingXTerm);
    writeFile(other.path() / ".nivu" / "config.json", "{broken");
    WindowSizeMemory existing(other.path());
    EXPECT_EQ(readFile(other.path() / ".nivu" / "config.json"), "{broken") << "never replaced";
}

TEST_F(WindowSizeMemoryTest, LookupFallsBackToDefaultOnlyWhenTheWindowKeyHasNoEntry) {
    auto store = storeWith(trackingXTerm);
    const std::tuple<const char*, std::optional<std::string>, std::optional<Size>> lookups[] = {
        {"XTerm", "A", Size{1024, 768}},           {"XTerm", "B", Size{800, 600}},
        {"XTerm", std::nullopt, Size{800, 600}},   {"XTerm", "", Size{800, 600}},
        {"Untracked", std::nullopt, std::nullopt}, {"xterm", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt}};
    for (const auto& [bundle, window, size] : lookups) {
        EXPECT_EQ(store.rememberedSize(bundle, window), size)
            << bundle << " " << window.value_or("-");
    }
    writeFile(configPath(), R"({"rememberedSizes": {"XTerm": {"A": {"width": 1, "height": 2}}},
                                "trackedBundleIdentifiers": ["XTerm"]})");
    EXPECT_FALSE(store.rememberedSize("XTerm", "B")) << "no _default entry to fall back to";
    EXPECT_EQ(store.rememberedSize("XTerm", "A"), (Size{1, 2})) << "hand edits count at once";
}

TEST_F(WindowSizeMemoryTest, RecordingRoundsKeysByWindowAndRewritesOnlyWhatItKnows) {
    auto store = storeWith(trackingXTerm);
    store.recordSize({1023.5, 767.49}, "XTerm", "B");
    store.recordSize({-0.5, 0.5}, "XTerm", "");
    store.recordSize({1, 2}, "Untracked", std::nullopt);
    // Written as the start writes the empty document: indented by two, keys in order.
    EXPECT_EQ(readFile(configPath()), nlohmann::json::parse(R"({"rememberedSizes": {
        "Untracked": {"_default": {"height": 200, "width": 300}},
        "XTerm": {"": {"height": 1, "width": -1}, "A": {"height": 768, "width": 1024},
                  "B": {"height": 767, "width": 1024}, "_default": {"height": 600, "width": 800}},
        "z": {"w": {"height": 6, "width": 5}}},
        "trackedBundleIdentifiers": ["XTerm", "b", "XTerm"]})")
                                              .dump(2) +
                                          "\n");
    const auto written = inode();
    store.recordSize({1024.4, 766.5}, "XTerm", "B");
    EXPECT_EQ(inode(), written) << "an equal rounded size must not replace the file";
    store.recordSize({1, 2}, "XTerm", "B");
    EXPECT_NE(inode(), written) << "a new file renamed into place: a kill never leaves half";

    const std::string badRole = "role\xff\xc3";
    store.recordSize({640, 480}, "XTerm", badRole);
    EXPECT_NE(readFile(configPath()).find("\"role\xEF\xBF\xBD\xEF\xBF\xBD\""), std::string::npos)
        << "ill-formed text from other programs is stored repaired";
    EXPECT_EQ(store.rememberedSize("XTerm", badRole), (Size{640, 480}));
}

// Every document that is not strictly well formed reads as empty and is never overwritten.
class UnreadableDocumentTest : public WindowSizeMemoryTest,
                               public ::testing::WithParamInterface<std::string> {};

TEST_P(UnreadableDocumentTest, ReadsAsEmptyAndIsLeftUntouched) {
    auto store = storeWith(GetParam());
    EXPECT_FALSE(store.rememberedSize("XTerm", std::nullopt));
    store.recordSize({100, 100}, "XTerm", std::nullopt);
    EXPECT_EQ(readFile(configPath()), GetParam());
}

std::string withDefaultSize(const std::string& size) {
    return R"({"rememberedSizes": {"XTerm": {"_default": )" + size +
           R"(}}, "trackedBundleIdentifiers": ["XTerm"]})";
}
std::string withTracked(const std::string& tracked, const std::string& extra = "") {
    return R"({"trackedBundleIdentifiers": )" + tracked + R"(, "rememberedSizes": {})" + extra +
           "}";
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, UnreadableDocumentTest,
    ::testing::Values(
        R"({"trackedBundleIdentifiers": ["XTerm"]})", R"({"rememberedSizes": {}})",
        withTracked(R"("XTerm")"), withTracked(R"(["XTerm", 1])"),
        R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": []})",
        R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {"XTerm": 1}})",
        withDefaultSize(R"({"width": 800.5, "height": 600})"),
        withDefaultSize(R"({"width": "800", "height": 600})"), withDefaultSize(R"({"width": 800})"),
        withDefaultSize(R"({"width": true, "height": null})"),
        withDefaultSize(R"({"width": 1e30, "height": 1})"),
        withDefaultSize(R"({"width": 9223372036854775808, "height": 1})"),
        withDefaultSize(R"({"width": -9223372036854775809, "height": 1})"),
        "[" + withTracked(R"(["XTerm"])") + "]", withTracked("[\"X\xff\xfe\"]"),
        withTracked(R"(["XTerm"])", std::string(1, '\0')),
        withTracked(R"(["XTerm"])", ", \"deep\": " + std::string(100, '[') + std::string(100, ']')),
        withTracked(R"(["XTerm"])", ", \"pad\": \"" + std::string(9 << 20, 'x') + "\""), "",
        "null"));

TEST_F(WindowSizeMemoryTest, NoRecordGrowsTheFilePastWhatTheReaderAccepts) {
    const auto kind = [](int i) { return std::to_string(1000000 + i) + std::string(8000, 'k'); };
    WindowSizeMemory::ConfigFile config{{"XTerm"}, {}};
    auto& windows = config.rememberedSizes["XTerm"];
    windows[kind(0)] = {1, 2};
    const std::size_t one = config.encode().size();
    windows[kind(1)] = {1, 2};
    const std::size_t each = config.encode().size() - one;
    int count = 2;
    for (; one + count * each <= json::maxDocumentBytes; ++count) {
        windows[kind(count)] = {1, 2};
    }
    const std::string full = config.encode();
    ASSERT_LE(full.size(), json::maxDocumentBytes);

    auto store = storeWith(full);
    store.recordSize({3, 4}, "XTerm", kind(count));
    EXPECT_EQ(readFile(configPath()), full) << "one more kind would make the file unreadable";
    store.recordSize({3, 4}, "XTerm", kind(1));
    EXPECT_EQ(store.rememberedSize("XTerm", kind(1)), (Size{3, 4})) << "known kinds still update";
}

TEST_F(WindowSizeMemoryTest, AnUnusablePlaceOrNoHomeReadsNothingAndWritesNothing) {
    std::filesystem::create_directories(configPath());
    WindowSizeMemory(home.path()).recordSize({1, 1}, "XTerm", std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(configPath()));

    test::TemporaryDirectory blockedHome;
    writeFile(blockedHome.path() / ".nivu", "a file where the folder should be");
    WindowSizeMemory blocked(blockedHome.path());
    EXPECT_FALSE(blocked.rememberedSize("XTerm", std::nullopt));
    EXPECT_EQ(readFile(blockedHome.path() / ".nivu"), "a file where the folder should be");

    WindowSizeMemory homeless(std::nullopt);
    homeless.recordSize({1, 1}, "XTerm", std::nullopt);
    EXPECT_FALSE(homeless.rememberedSize("XTerm", std::nullopt));
    EXPECT_TRUE(homeless.configFileURL().empty());
}

} // namespace
} // namespace nivu
