// Durable atomic writing and careful reading of files.
#include "common/FileAccess.h"

#include "TemporaryDirectory.h"
#include "memory/WindowSizeMemory.h"

#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nivu {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

mode_t modeOf(const fs::path& path) {
    struct stat info = {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t entriesIn(const fs::path& directory) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// What this process writes to stderr meanwhile, through a pipe: a file-size limit, which stands
// for a full disk, would cut a file of it (at a length that depends on TMPDIR's).
class StderrCapture {
public:
    StderrCapture() {
        if (::pipe(pipe_) == 0) {
            saved_ = ::dup(STDERR_FILENO);
            ::dup2(pipe_[1], STDERR_FILENO);
        }
    }
    std::string finish() {
        std::cerr.flush();
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        ::close(pipe_[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = ::read(pipe_[0], buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(pipe_[0]);
        return text;
    }

private:
    int pipe_[2] = {-1, -1};
    int saved_ = -1;
};

TEST(FileAccessTest, AtomicWritesKeepModesAndLinksAndLeaveNoTemporary) {
    test::TemporaryDirectory dir;
    const auto file = dir.path() / "config.json";
    writeFile(file, "old");
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(files::writeAtomically(file, "new content"));
    EXPECT_EQ(readFile(file), "new content");
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file may be left behind";

    const mode_t previous = ::umask(022);
    const bool written = files::writeAtomically(dir.path() / "fresh", "x");
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(dir.path() / "fresh"), 0644u) << "the usual mode less the umask";

    writeFile(dir.path() / "dotfiles" / "config.json", "old");
    fs::create_directories(dir.path() / ".nivu");
    const auto link = dir.path() / ".nivu" / "config.json";
    fs::create_symlink("../dotfiles/config.json", link);
    const auto dangling = dir.path() / ".nivu" / "other.json";
    fs::create_symlink(dir.path() / "dotfiles" / "missing.json", dangling);
    ASSERT_TRUE(files::writeAtomically(link, "through the link"));
    ASSERT_TRUE(files::writeAtomically(dangling, "created at the target"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(dir.path() / "dotfiles" / "config.json"), "through the link");
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(readFile(dir.path() / "dotfiles" / "missing.json"), "created at the target");
}

TEST(FileAccessTest, FailedWritesLeaveThePreviousFileAndNoLitter) {
    test::TemporaryDirectory dir;
    const auto file = dir.path() / "config.json";
    writeFile(file, "previous");
    {
        FileSizeLimit diskFull(4);
        EXPECT_FALSE(files::writeAtomically(file, "a longer document than fits"));
    }
    EXPECT_EQ(readFile(file), "previous");
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    // The store on a full disk: it says so once per run of failures, and saves once it can.
    writeFile(dir.path() / ".nivu" / "config.json",
              R"({"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm"]})");
    WindowSizeMemory store(dir.path());
    StderrCapture captured;
    {
        FileSizeLimit diskFull(4);
        store.recordSize({3, 4}, "XTerm", std::nullopt);
        store.recordSize({5, 6}, "XTerm", std::nullopt);
    }
    EXPECT_EQ(captured.finish(), "nivu: cannot save window sizes to " +
                                     (dir.path() / ".nivu/config.json").string() + "\n");
    store.recordSize({7, 8}, "XTerm", std::nullopt);
    EXPECT_EQ(store.rememberedSize("XTerm", std::nullopt), (Size{7, 8}));

    fs::create_directory(dir.path() / "folder");
    EXPECT_FALSE(files::writeAtomically(dir.path() / "folder", "x"));
    EXPECT_FALSE(files::writeAtomically(dir.path() / "missing" / "file", "x"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
}

TEST(FileAccessTest, TheStoreRemovesTemporariesOfKilledWritersAtStartAndLeavesOthers) {
    test::TemporaryDirectory home;
    const auto folder = home.path() / ".nivu";
    writeFile(folder / "config.json", "{}");
    // A pid that no longer runs: a child that has exited.
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const auto stale = folder / (".config.json.tmp-" + std::to_string(gone) + "-0-1");
    const auto live = folder / (".config.json.tmp-" + std::to_string(::getpid()) + "-0-2");
    writeFile(stale, "half");
    writeFile(live, "in progress");
    writeFile(folder / "notes.txt", "mine");

    WindowSizeMemory store(home.path());

    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live)) << "a running writer's file stays";
    EXPECT_TRUE(fs::exists(folder / "notes.txt"));
    EXPECT_EQ(readFile(folder / "config.json"), "{}");
}

TEST(FileAccessTest, ReadingRefusesWhatIsNotASmallRegularFile) {
    test::TemporaryDirectory dir;
    writeFile(dir.path() / "small", std::string("a\0b", 3));
    writeFile(dir.path() / "large", std::string(2000, 'x'));
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);

    EXPECT_EQ(files::readWholeFile(dir.path() / "small", 100), std::string("a\0b", 3));
    EXPECT_FALSE(files::readWholeFile(dir.path() / "large", 1000));
    EXPECT_FALSE(files::readWholeFile(dir.path() / "fifo", 1000)) << "must not block on a FIFO";
    EXPECT_FALSE(files::readWholeFile(dir.path(), 1000));
    EXPECT_FALSE(files::readWholeFile(dir.path() / "absent", 1000));
}

TEST(FileAccessTest, HomeDirectoryComesFromTheEnvironmentWhenAbsolute) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/somewhere/else", 1);
    EXPECT_EQ(files::homeDirectory(), fs::path("/somewhere/else"));
    ::setenv("HOME", "relative", 1);
    const auto fallback = files::homeDirectory();
    ::setenv("HOME", saved.c_str(), 1);
    ASSERT_TRUE(fallback);
    EXPECT_TRUE(fallback->is_absolute()) << "falls back to the password database";
}

} // namespace
} // namespace nivu
