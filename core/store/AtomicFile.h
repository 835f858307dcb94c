#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vandorix {

// Reads a whole file; throws `FileMissingError` when it does not exist.
std::string readWholeFile(const std::filesystem::path &path);

// Writes `bytes` to `path` so that, whatever moment the process dies at, the file on disk is
// either the previous one or the new one, whole: a temporary file beside the target is
// written, flushed to disk and renamed over the target.
void writeFileAtomically(const std::filesystem::path &path, std::string_view bytes);

// Writes and flushes a file under an exact name (no rename); for staged files.
void writeFileDurably(const std::filesystem::path &path, std::string_view bytes);

// Flushes a folder's entries, so that a rename inside it survives a crash.
void syncFolder(const std::filesystem::path &folder);

} // namespace vandorix
