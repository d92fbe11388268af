// Whole-file reading and durable atomic writing, the only way the core touches files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nivu::files {

// True when something exists at path, following symbolic links (a directory counts; a dangling
// link does not).
bool exists(const std::filesystem::path& path) noexcept;

// Creates the directory and its parents; true when it exists as a directory afterwards.
bool createDirectories(const std::filesystem::path& path) noexcept;

// All bytes of a regular file (links followed), or nothing when it cannot be opened, is not a
// regular file (a directory, a FIFO), or is larger than maxBytes.
std::optional<std::string> readWholeFile(const std::filesystem::path& path,
                                         std::size_t maxBytes) noexcept;

// Replaces the file with bytes so that a reader sees the old or the new content, never a part:
// a temporary file beside the target, fsync, rename, fsync of the directory. A symbolic link is
// kept and the file it points to is replaced; an existing file keeps its permissions. False on
// any failure, in which case the previous file is untouched and no temporary file is left.
bool writeAtomically(const std::filesystem::path& path, std::string_view bytes) noexcept;

// Removes temporary files that writeAtomically left beside path when its process was killed
// mid-write (those of processes that no longer run).
void removeStaleTemporaries(const std::filesystem::path& path) noexcept;

// The current user's home directory: $HOME, else the password database; nothing when neither
// names an absolute path.
std::optional<std::filesystem::path> homeDirectory();

} // namespace nivu::files
