#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vandorix {

// The files of the four data folders below `root`, by their '/'-separated paths below it:
// everything a restore needs, without the kept versions of the undo store and without files
// of a commit in progress.
std::vector<std::string> BackupMembers(const std::filesystem::path &root);

// Writes the data files of the installation at `root` into a new zip file `archive`, members
// named by their paths below the root, then reads every member back and compares it with its
// file. Returns the number of files. Throws `SaveError` (and leaves no archive behind) when
// the archive cannot be written, exists already, or does not read back the same.
std::size_t WriteBackupArchive(const std::filesystem::path &root,
                               const std::filesystem::path &archive);

} // namespace vandorix
