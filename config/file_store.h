#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrik {

// How reading a whole file ended. Failed covers what the others do not (an I/O error).
enum class FileReadStatus { Ok, Missing, Folder, NoPermission, TooLarge, Failed };

// Larger files are refused (a misplaced device or image file must not be read forever).
inline constexpr std::size_t kMaxSettingsFileSize = 64u << 20;

// The whole file, when it holds at most `limit` bytes; a larger one is refused without being
// read (TooLarge), as is a file that grows past the limit while it is read. Missing: there is
// no file at the path.
FileReadStatus ReadFileBytes(const std::string& path, std::string& bytes,
                             std::size_t limit = kMaxSettingsFileSize);

// Replaces the file's contents without ever leaving a truncated or half-written file: the
// bytes go to a temporary file in the same folder, which is then renamed over the original.
// Fails, leaving everything as it was, when the file is read-only or the folder cannot be
// written. With createFolder, a missing parent folder is created first. Temporary files that
// earlier saves of the same file left behind when they died are removed; one that a live
// save is still writing is not (POSIX: a save holds an flock on its temporary file; Windows:
// a save holds it open unshared, marked for deletion until it is whole, so that a save killed
// on the way leaves nothing behind).
bool ReplaceFileBytes(const std::string& path, std::string_view bytes, bool createFolder);

// Whether new files can be created in the folder. A folder without any write permission bit
// counts as read-only even for a privileged user.
bool IsWritableFolder(const std::string& folder);

}  // namespace zentrik
