#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// Opens a new file for writing that must not exist yet; open(2)'s result and errno.
using NewFileOpener = int (*)(const char* path);

// Creates it with O_CREAT | O_EXCL | O_NOFOLLOW, mode 0666 before the umask: never
// through a link planted at the name.
int OpenNewFile(const char* path);

// What became of the file that was there when a replacement failed.
enum class OldFile {
    None,       // there was no regular file (a new name, a FIFO, a device)
    Unchanged,  // the file is exactly as it was
    Damaged,    // a write in place failed after the file had been cut
};

struct ReplaceFailure {
    std::string reason;  // the system's reason
    OldFile oldFile = OldFile::None;
    bool operator==(const ReplaceFailure&) const = default;
};

// Makes `path` (UTF-8, as the user chose it) hold exactly `bytes`. A symbolic link is
// followed to the file it names. An existing regular file is only replaced once the
// new contents are completely written and flushed to a temporary file beside it,
// which takes over its owner, group and permission bits; so a failed write leaves it
// as it was. The temporary file has a random name and is removed when the write
// fails. A file the user may not write is refused, as writing it in place would be.
// The bytes are written in place where no temporary file can be made (a folder
// without write access), for targets that are not regular files (a FIFO, a device),
// for a file that belongs to another user, and where the new file cannot take over
// the group or the rename is refused (a folder with the sticky bit). Before a regular
// file is cut for a write in place, the file-size limit is checked and the whole new
// size reserved on the disk; when either refuses, the file stays as it was.
// A write beyond the file-size limit fails with EFBIG where SIGXFSZ is ignored (the
// program ignores it from its start).
// nullopt on success.
std::optional<ReplaceFailure> ReplaceFileContents(const std::string& path, std::string_view bytes,
                                                  NewFileOpener openTemp = OpenNewFile);

}  // namespace vx
