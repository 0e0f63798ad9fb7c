#include "lang/LanguageFile.h"

#include <sys/stat.h>

#include <ctime>

namespace vx {

std::string LanguageSection(int32_t index) {
    return "LANGUAGE" + std::to_string(index);
}

namespace {

// What identifies one state of the file on disk.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

// A file modified less than this before it was read may change again without a new
// modification time (coarse file system clocks, two-second FAT times).
constexpr time_t kRacySeconds = 2;

struct KeptFile {
    std::filesystem::path path;
    FileStamp stamp;
    // The file was old enough when read that its stamp tells every later change.
    bool stampTellsChanges = false;
    IniFile file;
};

std::optional<KeptFile> kept;

std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

}  // namespace

IniFile* OpenLanguageFile(const Folders& folders, MessageSink& messages) {
    const auto perUser = PerUserFolder(folders, messages);
    if (!perUser) {
        return nullptr;
    }
    const std::filesystem::path path = *perUser / kLanguageFileName;
    const std::optional<FileStamp> stamp = StampOf(path);
    if (kept && stamp && kept->path == path && kept->stampTellsChanges && kept->stamp == *stamp) {
        return &kept->file;
    }
    kept.reset();
    timespec readAt{};
    clock_gettime(CLOCK_REALTIME, &readAt);
    std::string whyNot;
    std::optional<IniFile> file = IniFile::Load(path, &whyNot);
    if (!file) {
        messages.Show(LanguageFileError(path, whyNot), "WARNING");
        return nullptr;
    }
    // Kept under the stamp seen before the read: a change during the read shows next time.
    const bool old = stamp && stamp->modified.tv_sec + kRacySeconds < readAt.tv_sec;
    kept = KeptFile{path, stamp.value_or(FileStamp{}), old, std::move(*file)};
    return &kept->file;
}

void ForgetLanguageFile() {
    kept.reset();
}

std::string LanguageFileError(const std::filesystem::path& path, const std::string& whyNot) {
    return "Error Language File\n" + path.string() + " cannot be used: " + whyNot;
}

std::vector<std::string> LanguageNames(const IniFile& languageFile) {
    std::vector<std::string> names;
    std::string name = "English";
    while (!name.empty() && name != kMissingMarker) {
        names.push_back(name);
        name = languageFile.ReadString(LanguageSection(static_cast<int32_t>(names.size())),
                                       "Language", kMissingMarker);
    }
    return names;
}

int LanguageListItem(int32_t languageIndex, size_t languageCount) {
    const bool listed = languageIndex >= 0 && static_cast<size_t>(languageIndex) < languageCount;
    return listed ? static_cast<int>(languageIndex) : -1;
}

}  // namespace vx
