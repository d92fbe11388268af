// Whole-file reading and durable atomic writing on POSIX.
#include "common/FileAccess.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace nivu::files {

namespace fs = std::filesystem;

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting whether the kernel accepted the close (deferred write errors).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

// Follows symbolic links to the path that really holds the file, also when the last link
// dangles (then the file is created where it points).
fs::path resolveLinks(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info = {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
        const auto length = ::readlink(path.c_str(), target.data(), target.size() - 1);
        if (length < 0) {
            return path;
        }
        const fs::path next(std::string(target.data(), static_cast<std::size_t>(length)));
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string temporaryPrefix(const fs::path& target) {
    return "." + target.filename().string() + ".tmp-";
}

// ".config.json.tmp-<pid>-<counter>-<random>"
std::string temporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    return temporaryPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           "-" + std::to_string(random() % 1000000);
}

void syncDirectory(const fs::path& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

} // namespace

bool exists(const fs::path& path) noexcept {
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0;
}

bool createDirectories(const fs::path& path) noexcept {
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

std::optional<std::string> readWholeFile(const fs::path& path, std::size_t maxBytes) noexcept {
    try {
        // O_NONBLOCK so that a FIFO put in the file's place cannot hang us.
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.valid()) {
            return std::nullopt;
        }
        struct stat info = {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            static_cast<std::size_t>(info.st_size) > maxBytes) {
            return std::nullopt;
        }
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[64 * 1024];
        while (true) {
            const auto count = ::read(fd.get(), buffer, sizeof buffer);
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return std::nullopt;
            }
            if (count == 0) {
                return bytes;
            }
            if (bytes.size() + static_cast<std::size_t>(count) > maxBytes) {
                return std::nullopt; // grew while we read it
            }
            bytes.append(buffer, static_cast<std::size_t>(count));
        }
    } catch (...) {
        return std::nullopt;
    }
}

bool writeAtomically(const fs::path& path, std::string_view bytes) noexcept {
    try {
        const fs::path target = resolveLinks(path);
        const fs::path directory = target.has_parent_path() ? target.parent_path() : ".";
        struct stat existing = {};
        const bool replacing = ::stat(target.c_str(), &existing) == 0;
        if (replacing && !S_ISREG(existing.st_mode)) {
            return false;
        }

        fs::path temporary;
        int rawFd = -1;
        for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
            temporary = directory / temporaryName(target);
            // A new file gets the usual 0666 less the umask, as any editor would give it.
            rawFd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (rawFd < 0 && errno != EEXIST) {
                return false;
            }
        }
        FileDescriptor fd(rawFd);
        if (!fd.valid()) {
            return false;
        }
        const auto discard = [&] {
            ::unlink(temporary.c_str());
            return false;
        };
        if (replacing) {
            if (::fchmod(fd.get(), existing.st_mode & 07777) != 0) {
                return discard();
            }
            [[maybe_unused]] auto ignored = ::fchown(fd.get(), existing.st_uid, existing.st_gid);
        }
        if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close()) {
            return discard();
        }
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            return discard();
        }
        syncDirectory(directory);
        return true;
    } catch (...) {
        return false;
    }
}

void removeStaleTemporaries(const fs::path& path) noexcept {
    try {
        const fs::path target = resolveLinks(path);
        const std::string prefix = temporaryPrefix(target);
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(target.parent_path(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) != 0) {
                continue;
            }
            const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
            if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
                ::unlink(entry.path().c_str());
            }
        }
    } catch (...) {
    }
}

std::optional<fs::path> homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home == '/') {
        return fs::path(home);
    }
    std::vector<char> buffer(16384);
    struct passwd entry = {};
    struct passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir && result->pw_dir[0] == '/') {
        return fs::path(result->pw_dir);
    }
    return std::nullopt;
}

} // namespace nivu::files
