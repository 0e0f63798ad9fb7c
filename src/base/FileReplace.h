#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// Opens a new file for writing that must not exist yet; open(2)'s result and errno.
using NewFileOpener = int (*)(const char* path);

// Creates it with O_CREAT | O_EXCL, mode 0666 before the umask.
int OpenNewFile(const char* path);

// Makes `path` (UTF-8, as the user chose it) hold exactly `bytes`. A symbolic link is
// followed to the file it names. An existing regular file is only replaced once the
// new contents are completely written and flushed to a temporary file beside it,
// which takes over its owner, group and permission bits; so a failed write leaves it
// as it was. A file the user may not write is refused, as writing it in place would
// be. The bytes are written in place where no temporary file can be made (a folder
// without write access), for targets that are not regular files (a FIFO, a device),
// for a file that belongs to another user, and where the new file cannot take over
// the group or the rename is refused (a folder with the sticky bit).
// Returns the system's reason when the file could not be written; nullopt on success.
std::optional<std::string> ReplaceFileContents(const std::string& path, std::string_view bytes,
                                               NewFileOpener openTemp = OpenNewFile);

}  // namespace vx
