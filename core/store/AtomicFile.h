#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vandorix {

// Reads a whole file; throws `FileMissingError` when it does not exist.
std::string readWholeFile(const std::filesystem::path &path);

// Writes `bytes` to `path` so that, whatever moment the process dies at, the file on disk is
// either the previous one or the new one, whole: a temporary file beside the target is
// written, flushed to disk and renamed over the target.
void writeFileAtomically(const std::filesystem::path &path, std::string_view bytes);

// The same through the temporary file `temp`, which gets exactly `mode` when given; the
// temporary file is removed when a step fails.
void replaceFileThrough(const std::filesystem::path &path, const std::filesystem::path &temp,
                        std::string_view bytes, std::optional<unsigned> mode);

// Writes and flushes a file under an exact name (no rename); for staged files. With `mode`
// the file gets exactly those permission bits.
void writeFileDurably(const std::filesystem::path &path, std::string_view bytes,
                      std::optional<unsigned> mode = std::nullopt);

// The permission bits of an existing file, which a file written to replace it keeps.
std::optional<unsigned> ModeToKeep(const std::filesystem::path &target);

// Refuses to let the program replace `target` (throws `ReadOnlyWorkbookError` or
// `WorkbookOpenElsewhereError`) when the user made it read-only or a spreadsheet application
// has it open: LibreOffice's ".~lock.<name>#" or Excel's "~$<name>" lies beside it.
void CheckWorkbookReplaceable(const std::filesystem::path &target);

// What went wrong, in Hungarian, for an `errno` value.
std::string ErrnoText(int error);

// Flushes a folder's entries, so that a rename inside it survives a crash.
void syncFolder(const std::filesystem::path &folder);

} // namespace vandorix
