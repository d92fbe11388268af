// The remembered-size store against a real file in a temporary home directory.
#include "memory/WindowSizeMemory.h"

#include "Printers.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace nivu {
namespace {

using test::readFile;
using test::writeFile;

constexpr const char* trackingXTerm = R"({
  "rememberedSizes": {
    "XTerm": {"_default": {"width": 800, "height": 600}, "A": {"width": 1024, "height": 768}},
    "Untracked": {"_default": {"width": 300, "height": 200}}
  },
  "trackedBundleIdentifiers": ["XTerm"]
})";

class WindowSizeMemoryTest : public ::testing::Test {
protected:
    std::filesystem::path configPath() const { return home.path() / ".nivu" / "config.json"; }
    std::filesystem::path legacyPath() const { return home.path() / ".tolvenk" / "config.json"; }
    WindowSizeMemory storeWith(const std::string& document) {
        writeFile(configPath(), document);
        return WindowSizeMemory(home.path());
    }
    ino_t inode() const {
        struct stat info {};
        ::stat(configPath().c_str(), &info);
        return info.st_ino;
    }

    test::TemporaryDirectory home;
};

TEST_F(WindowSizeMemoryTest, FirstStartCreatesTheEmptyDocumentThatTracksNothing) {
    WindowSizeMemory store(home.path());

    ASSERT_TRUE(std::filesystem::exists(configPath()));
    EXPECT_EQ(readFile(configPath()),
              "{\n  \"rememberedSizes\": {},\n  \"trackedBundleIdentifiers\": []\n}\n");
    const auto before = readFile(configPath());
    store.recordSize({800, 600}, "XTerm", std::nullopt);
    EXPECT_FALSE(store.rememberedSize("XTerm", std::nullopt));
    EXPECT_EQ(readFile(configPath()), before);
}

TEST_F(WindowSizeMemoryTest, LegacyDocumentIsTakenOverByteForByteAndLeftInPlace) {
    const std::string legacyBytes = std::string("not json \x00\xff at all", 17);
    writeFile(legacyPath(), legacyBytes);

    WindowSizeMemory store(home.path());

    EXPECT_EQ(readFile(configPath()), legacyBytes);
    EXPECT_EQ(readFile(legacyPath()), legacyBytes);
}

TEST_F(WindowSizeMemoryTest, ExistingDocumentWinsOverLegacyAndIsNeverReplacedAtStart) {
    writeFile(legacyPath(), trackingXTerm);
    writeFile(configPath(), "{broken");

    WindowSizeMemory store(home.path());

    EXPECT_EQ(readFile(configPath()), "{broken");
}

TEST_F(WindowSizeMemoryTest, LookupFallsBackToDefaultOnlyWhenTheWindowKeyHasNoEntry) {
    auto store = storeWith(trackingXTerm);

    EXPECT_EQ(store.rememberedSize("XTerm", "A"), (Size{1024, 768}));
    EXPECT_EQ(store.rememberedSize("XTerm", "B"), (Size{800, 600}));
    EXPECT_EQ(store.rememberedSize("XTerm", std::nullopt), (Size{800, 600}));
    EXPECT_EQ(store.rememberedSize("XTerm", ""), (Size{800, 600}));
    EXPECT_FALSE(store.rememberedSize("Untracked", std::nullopt));
    EXPECT_FALSE(store.rememberedSize("xterm", std::nullopt)) << "tracking is case-sensitive";
    EXPECT_FALSE(store.rememberedSize("", std::nullopt));

    writeFile(configPath(), R"({"rememberedSizes": {"XTerm": {"A": {"width": 1, "height": 2}}},
                                "trackedBundleIdentifiers": ["XTerm"]})");
    EXPECT_FALSE(store.rememberedSize("XTerm", "B")) << "no _default entry to fall back to";
    EXPECT_EQ(store.rememberedSize("XTerm", "A"), (Size{1, 2})) << "hand edits count at once";
}

TEST_F(WindowSizeMemoryTest, RecordingKeysByIdentifierAndRoundsHalvesAwayFromZero) {
    auto store = storeWith(trackingXTerm);

    store.recordSize({1023.5, 767.49}, "XTerm", "B");
    store.recordSize({-0.5, 0.5}, "XTerm", "");
    store.recordSize({300, 200}, "Untracked", std::nullopt);
    store.recordSize({300, 200}, "xterm", std::nullopt);

    EXPECT_EQ(store.rememberedSize("XTerm", "B"), (Size{1024, 767}));
    EXPECT_EQ(store.rememberedSize("XTerm", ""), (Size{-1, 1}));
    EXPECT_EQ(store.rememberedSize("XTerm", std::nullopt), (Size{800, 600})) << "_default kept";
    EXPECT_EQ(readFile(configPath()), R"({
  "rememberedSizes": {
    "Untracked": {
      "_default": {
        "height": 200,
        "width": 300
      }
    },
    "XTerm": {
      "": {
        "height": 1,
        "width": -1
      },
      "A": {
        "height": 768,
        "width": 1024
      },
      "B": {
        "height": 767,
        "width": 1024
      },
      "_default": {
        "height": 600,
        "width": 800
      }
    }
  },
  "trackedBundleIdentifiers": [
    "XTerm"
  ]
}
)");
}

TEST_F(WindowSizeMemoryTest, RecordingTheStoredSizeAgainDoesNotWrite) {
    auto store = storeWith(trackingXTerm);
    store.recordSize({640.4, 480}, "XTerm", std::nullopt);
    const auto written = inode();

    store.recordSize({639.5, 480.2}, "XTerm", std::nullopt);

    EXPECT_EQ(inode(), written) << "an equal rounded size must not replace the file";
}

TEST_F(WindowSizeMemoryTest, WritingDropsExtraMembersAndKeepsOtherApplications) {
    auto store = storeWith(R"({"trackedBundleIdentifiers": ["b", "a", "a"], "comment": "mine",
        "rememberedSizes": {"z": {"w": {"width": 5, "height": 6, "depth": 7}}}})");

    store.recordSize({1, 2}, "a", std::nullopt);

    const auto text = readFile(configPath());
    EXPECT_EQ(text.find("comment"), std::string::npos);
    EXPECT_EQ(text.find("depth"), std::string::npos);
    EXPECT_NE(text.find("\"b\",\n    \"a\",\n    \"a\""), std::string::npos)
        << "the tracked list is written back as read:\n"
        << text;
    EXPECT_EQ(store.rememberedSize("z", "w"), std::nullopt);
    EXPECT_NE(text.find("\"w\": {\n        \"height\": 6"), std::string::npos);
}

// Every document that is not strictly well formed reads as empty and is never overwritten.
struct Unreadable {
    const char* name;
    std::string document;
};

class UnreadableDocumentTest : public WindowSizeMemoryTest,
                               public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableDocumentTest, ReadsAsEmptyAndIsLeftUntouched) {
    auto store = storeWith(GetParam().document);

    EXPECT_FALSE(store.rememberedSize("XTerm", std::nullopt));
    store.recordSize({100, 100}, "XTerm", std::nullopt);

    EXPECT_EQ(readFile(configPath()), GetParam().document);
}

std::string withDefaultSize(const std::string& size) {
    return R"({"rememberedSizes": {"XTerm": {"_default": )" + size +
           R"(}}, "trackedBundleIdentifiers": ["XTerm"]})";
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, UnreadableDocumentTest,
    ::testing::Values(
        Unreadable{"NoSizes", R"({"trackedBundleIdentifiers": ["XTerm"]})"},
        Unreadable{"NoTrackedList", R"({"rememberedSizes": {}})"},
        Unreadable{"TrackedNotArray",
                   R"({"trackedBundleIdentifiers": "XTerm", "rememberedSizes": {}})"},
        Unreadable{"TrackedNotStrings",
                   R"({"trackedBundleIdentifiers": ["XTerm", 1], "rememberedSizes": {}})"},
        Unreadable{"SizesNotObject",
                   R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": []})"},
        Unreadable{"ApplicationNotObject",
                   R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {"XTerm": 1}})"},
        Unreadable{"Fraction", withDefaultSize(R"({"width": 800.5, "height": 600})")},
        Unreadable{"NumberAsString", withDefaultSize(R"({"width": "800", "height": 600})")},
        Unreadable{"NoHeight", withDefaultSize(R"({"width": 800})")},
        Unreadable{"WrongTypes", withDefaultSize(R"({"width": true, "height": null})")},
        Unreadable{"HugeFloat", withDefaultSize(R"({"width": 1e30, "height": 1})")},
        Unreadable{"Beyond64Bits",
                   withDefaultSize(R"({"width": 18446744073709551616, "height": 1})")},
        Unreadable{"BeyondInt64",
                   withDefaultSize(R"({"width": 9223372036854775808, "height": 1})")},
        Unreadable{"TopLevelArray",
                   R"([{"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {}}])"},
        Unreadable{"InvalidUtf8", std::string(R"({"trackedBundleIdentifiers": ["X)") + "\xff\xfe" +
                                      R"("], "rememberedSizes": {}})"},
        Unreadable{"NulByte", std::string(R"({"trackedBundleIdentifiers": ["XTerm"],)") + '\0' +
                                  R"( "rememberedSizes": {}})"},
        Unreadable{"TooDeep",
                   R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {}, "deep": )" +
                       std::string(100, '[') + std::string(100, ']') + "}"},
        Unreadable{"Empty", ""}, Unreadable{"Null", "null"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowSizeMemoryTest, OversizedDocumentIsUnreadable) {
    std::string big = R"({"trackedBundleIdentifiers": ["XTerm"], "rememberedSizes": {}, "pad": ")";
    big += std::string(9 * 1024 * 1024, 'x') + "\"}";
    auto store = storeWith(big);

    store.recordSize({1, 1}, "XTerm", std::nullopt);

    EXPECT_EQ(std::filesystem::file_size(configPath()), big.size());
}

TEST_F(WindowSizeMemoryTest, IllFormedIdentifiersFromOtherProgramsAreStoredAsRepairedText) {
    auto store = storeWith(R"({"trackedBundleIdentifiers": ["App"], "rememberedSizes": {}})");
    const std::string badRole = "role\xff\xc3";

    store.recordSize({640, 480}, "App", badRole);

    const auto text = readFile(configPath());
    EXPECT_NE(text.find("\"role\xEF\xBF\xBD\xEF\xBF\xBD\""), std::string::npos) << text;
    EXPECT_EQ(store.rememberedSize("App", badRole), (Size{640, 480}));
    EXPECT_TRUE(WindowSizeMemory::ConfigFile::parse(text));
}

TEST_F(WindowSizeMemoryTest, ConfigPathThatIsADirectoryOrABlockedFolderWritesNothing) {
    std::filesystem::create_directories(configPath());
    WindowSizeMemory store(home.path());
    store.recordSize({1, 1}, "XTerm", std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(configPath()));

    test::TemporaryDirectory otherHome;
    writeFile(otherHome.path() / ".nivu", "a file where the folder should be");
    WindowSizeMemory blocked(otherHome.path());
    EXPECT_FALSE(blocked.rememberedSize("XTerm", std::nullopt));
    EXPECT_EQ(readFile(otherHome.path() / ".nivu"), "a file where the folder should be");
}

TEST_F(WindowSizeMemoryTest, WithoutAHomeDirectoryNothingIsReadOrWritten) {
    WindowSizeMemory store(std::nullopt);
    store.recordSize({1, 1}, "XTerm", std::nullopt);
    EXPECT_FALSE(store.rememberedSize("XTerm", std::nullopt));
    EXPECT_TRUE(store.configFileURL().empty());
}

} // namespace
} // namespace nivu
