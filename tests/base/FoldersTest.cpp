#include "base/Folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vx {
namespace {

// Sets or unsets one environment variable for the life of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SystemFoldersTest, ApplicationDataFollowsTheXdgRule) {
    struct Case {
        const char* configHome;
        const char* home;
        std::optional<std::filesystem::path> expected;
    };
    const Case cases[] = {
        {"/data/conf", "/home/op", "/data/conf"}, {nullptr, "/home/op", "/home/op/.config"},
        {"", "/home/op", "/home/op/.config"},     {"relative/conf", "/home/op", "/home/op/.config"},
        {nullptr, nullptr, std::nullopt},         {"", "", std::nullopt},
        {nullptr, "relative/home", std::nullopt},
    };
    for (const Case& c : cases) {
        ScopedVariable configHome("XDG_CONFIG_HOME", c.configHome);
        ScopedVariable home("HOME", c.home);
        EXPECT_EQ(SystemFolders().ApplicationDataFolder(), c.expected)
            << (c.configHome ? c.configHome : "(unset)") << ", " << (c.home ? c.home : "(unset)");
    }
}

TEST(SystemFoldersTest, FoldersBuiltFromTheLookups) {
    ScopedVariable configHome("XDG_CONFIG_HOME", "/data/conf/");
    const SystemFolders folders;
    EXPECT_EQ(PerUserFolder(folders), "/data/conf/Kelvorn/SoftwareVX212");
    EXPECT_EQ(InstallFolder(folders)->string(),
              std::string(VX_PROGRAMS_FOLDER) + "/Kelvorn/SoftwareVX212");
    EXPECT_EQ(folders.WorkingDirectory(), std::filesystem::current_path().string());
}

}  // namespace
}  // namespace vx
