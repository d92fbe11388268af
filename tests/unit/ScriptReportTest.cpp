// Reports that reach Nivu on the session bus from its KWin script: anything malformed is nothing.
#include "kwin/ScriptReport.h"

#include <gtest/gtest.h>

namespace nivu::kwin {
namespace {

TEST(ScriptReportTest, WellFormedReportsAreRead) {
    const auto window = parseScriptReport(
        R"({"e":"window","id":"{a1}","cls":"linguist","role":"","pid":7214,"w":1000,"h":800,)"
        R"("normal":true,"dialog":false,"resizable":true,"existing":false})");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->kind, ScriptReport::Kind::window);
    EXPECT_EQ(window->resourceClass, "linguist");
    EXPECT_EQ(window->pid, 7214);
    EXPECT_EQ(window->width, 1000);
    EXPECT_TRUE(window->normal && window->resizable && !window->existing);
    const auto size = parseScriptReport(R"({"e":"size","id":"{a1}","w":777,"h":555})");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->height, 555);
    const auto none = parseScriptReport(R"({"e":"active","id":""})");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->id.empty()) << "no window is active";
}

TEST(ScriptReportTest, MalformedReportsAreNothing) {
    for (const char* json : {
             R"(not json)",
             R"(["size"])",
             R"({"e":"size","id":"{a1}","w":-1,"h":555})",
             R"({"e":"size","id":"{a1}","w":777.5,"h":555})",
             R"({"e":"size","id":"{a1}","w":1e12,"h":555})",
             R"({"e":"size","id":"{a1}","w":"777","h":555})",
             R"({"e":"size","id":"","w":777,"h":555})",
             R"({"e":"size","w":777,"h":555})",
             R"({"e":"window","id":"{a1}","cls":"x","pid":-3,"w":10,"h":10})",
             R"({"e":"window","id":"{a1}","cls":"x","w":10,"h":10})",
             R"({"e":"closed","id":7})",
             R"({"e":"moved","id":"{a1}","w":10,"h":10})",
         }) {
        EXPECT_FALSE(parseScriptReport(json)) << json;
    }
}

} // namespace
} // namespace nivu::kwin
