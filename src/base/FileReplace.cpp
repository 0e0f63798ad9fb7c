#include "base/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace vx {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows itself before ELOOP.
constexpr int kMaxLinkHops = 40;
constexpr int kTempNameAttempts = 100;

std::string Reason(int error) {
    return std::strerror(error);
}

// The file that a chain of symbolic links ends at; it need not exist.
std::optional<fs::path> ResolveLinks(fs::path path, int& error) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::error_code ec;
        const fs::path link = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return std::nullopt;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    error = ELOOP;
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Closes fd in any case; errno tells the first failure, as close can report a late
// write error of its own.
bool WriteAndClose(int fd, std::string_view bytes, bool flush) {
    const bool written = WriteAll(fd, bytes) && (!flush || fsync(fd) == 0);
    const int error = errno;
    const bool closed = close(fd) == 0;
    if (!written) {
        errno = error;
    }
    return written && closed;
}

ReplaceFailure Failure(int error, OldFile oldFile) {
    return {Reason(error), oldFile};
}

// 0 when a regular file may grow to `size` bytes and the disk holds them; else the
// error, with the file as it was.
int ReserveSize(int fd, const struct stat& before, size_t size) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        size > limit.rlim_cur) {
        return EFBIG;
    }
    if (size <= static_cast<size_t>(before.st_size)) {
        return 0;
    }
    const int error = posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (error != 0) {
        // Where the file system cannot reserve, the C library writes zeros instead; a
        // failure part of the way may have made the file longer. The reservation's
        // error is the one to report, whatever the cut back gives.
        [[maybe_unused]] const int cut = ftruncate(fd, before.st_size);
    }
    return error;
}

// The contents go over the old ones from the start, and the file is cut to their
// length only at the end: a regular file is only damaged when a write fails after
// its whole size was reserved. `existed`: the target was a regular file before.
std::optional<ReplaceFailure> WriteInPlace(const fs::path& target, std::string_view bytes,
                                           bool existed) {
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return Failure(errno, existed ? OldFile::Unchanged : OldFile::None);
    }
    struct stat before {};
    if (fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        if (!WriteAndClose(fd, bytes, false)) {
            return Failure(errno, OldFile::None);
        }
        return std::nullopt;
    }
    // A file that this open created is removed again when the write fails.
    const bool created = !existed;
    const OldFile untouched = created ? OldFile::None : OldFile::Unchanged;
    if (const int error = ReserveSize(fd, before, bytes.size()); error != 0) {
        close(fd);
        if (created) {
            unlink(target.c_str());
        }
        return Failure(error, untouched);
    }
    const bool written =
        WriteAll(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    const int error = errno;
    if (!written) {
        close(fd);
        return Failure(error, created ? OldFile::None : OldFile::Damaged);
    }
    if (close(fd) != 0) {
        return Failure(errno, created ? OldFile::None : OldFile::Damaged);
    }
    return std::nullopt;
}

// 64 random bits: a name that another user cannot guess and plant a link at.
std::string RandomSuffix() {
    std::random_device random;
    std::uniform_int_distribution<uint64_t> bits;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits(random)));
    return text;
}

// A name beside the target that no other file has; -1 and errno when none can be made.
int CreateTemp(const fs::path& folder, NewFileOpener openTemp, fs::path& temp) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        temp = folder / (".vx212-" + RandomSuffix() + ".tmp");
        const int fd = openTemp(temp.c_str());
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

int OpenNewFile(const char* path) {
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

std::optional<ReplaceFailure> ReplaceFileContents(const std::string& path, std::string_view bytes,
                                                  NewFileOpener openTemp) {
    int error = 0;
    const std::optional<fs::path> target = ResolveLinks(path, error);
    if (!target) {
        return Failure(error, OldFile::None);
    }
    struct stat existing {};
    const bool exists = stat(target->c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return Failure(EISDIR, OldFile::None);
    }
    const bool regular = exists && S_ISREG(existing.st_mode);
    const OldFile kept = regular ? OldFile::Unchanged : OldFile::None;
    // Renaming over a FIFO or a device would replace the node, not feed it.
    if (exists && !regular) {
        return WriteInPlace(*target, bytes, regular);
    }
    // A rename could replace a file the user may not write; writing it in place could not.
    if (exists && faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) {
        return Failure(errno, kept);
    }
    // Another user's file (a colleague's, in a shared folder) keeps its owner, group
    // and mode only when it is written in place: a new file would be the saver's.
    if (exists && existing.st_uid != geteuid()) {
        return WriteInPlace(*target, bytes, regular);
    }

    const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
    fs::path temp;
    const int fd = CreateTemp(folder, openTemp, temp);
    if (fd < 0) {
        return WriteInPlace(*target, bytes, regular);
    }
    // The owner goes first: changing it clears set-id bits. A group the user is no
    // member of cannot be given to the new file: then the file is written in place.
    if (exists && fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        close(fd);
        unlink(temp.c_str());
        return WriteInPlace(*target, bytes, regular);
    }
    if (exists && fchmod(fd, existing.st_mode & 07777) != 0) {
        error = errno;
        close(fd);
    } else if (!WriteAndClose(fd, bytes, true)) {
        error = errno;
    } else if (rename(temp.c_str(), target->c_str()) == 0) {
        return std::nullopt;
    } else if (errno == EPERM || errno == EACCES) {
        // A folder with the sticky bit refuses the rename over a file it lets us write.
        unlink(temp.c_str());
        return WriteInPlace(*target, bytes, regular);
    } else {
        error = errno;
    }
    unlink(temp.c_str());
    return Failure(error, kept);
}

}  // namespace vx
