// The installed udev rule, read as udev reads it: where the installed udevadm cannot
// verify rule files, this is the check that the file is well-formed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Assignment {
    std::string key;  // with its {attribute}, if any
    std::string op;
    std::string value;
};

// One rule line: comma-separated KEY{attr}OP"value" pairs. Empty on a syntax error.
std::vector<Assignment> ParseRule(const std::string& line) {
    static const std::regex pair(
        R"(\s*([A-Z]+(?:\{[A-Za-z0-9_]+\})?)(==|!=|\+=|-=|:=|=)\"([^\"]*)\"\s*)");
    std::vector<Assignment> rule;
    size_t at = 0;
    while (at < line.size()) {
        std::smatch match;
        const std::string rest = line.substr(at);
        if (!std::regex_search(rest, match, pair, std::regex_constants::match_continuous)) {
            return {};
        }
        rule.push_back({match[1], match[2], match[3]});
        at += match.length(0);
        if (at < line.size()) {
            if (line[at] != ',') {
                return {};
            }
            ++at;
        }
    }
    return rule;
}

std::string KeyName(const std::string& key) {
    return key.substr(0, key.find('{'));
}

// The keys this rule file may use, and whether each one matches or assigns.
const std::set<std::string> kMatchKeys = {"ACTION", "SUBSYSTEM", "ATTR", "RESULT"};
const std::set<std::string> kAssignKeys = {"TAG", "GOTO", "LABEL"};

struct RuleFile {
    std::vector<std::vector<Assignment>> rules;
    std::vector<std::string> errors;
    std::vector<std::string> exampleLines;  // commented-out rules for the reader to copy
};

RuleFile Read(const std::string& path) {
    RuleFile file;
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty()) {
            continue;
        }
        if (line[0] == '#') {
            if (line.find("==\"") != std::string::npos) {
                file.exampleLines.push_back(line.substr(line.find_first_not_of("# ")));
            }
            continue;
        }
        auto rule = ParseRule(line);
        if (rule.empty()) {
            file.errors.push_back("line " + std::to_string(number) + ": " + line);
        }
        file.rules.push_back(std::move(rule));
    }
    return file;
}

// The errors of one rule: keys it may not use, or with the wrong kind of operator.
std::vector<std::string> CheckKeys(const std::vector<Assignment>& rule) {
    std::vector<std::string> errors;
    for (const Assignment& a : rule) {
        const std::string name = KeyName(a.key);
        const bool match = a.op == "==" || a.op == "!=";
        const bool ok = kMatchKeys.count(name)    ? match
                        : kAssignKeys.count(name) ? !match
                        : name == "ENV"           ? true
                        : name == "PROGRAM"       ? a.op == "="
                                                  : false;
        if (!ok) {
            errors.push_back(a.key + a.op);
        }
    }
    return errors;
}

TEST(UdevRuleTest, EveryLineIsARuleUdevAccepts) {
    const RuleFile file = Read(VX_CONFIGURED_UDEV_RULES);
    ASSERT_FALSE(file.rules.empty());
    EXPECT_EQ(file.errors, std::vector<std::string>{});
    std::set<std::string> labels, gotos;
    for (const auto& rule : file.rules) {
        EXPECT_EQ(CheckKeys(rule), std::vector<std::string>{});
        for (const Assignment& a : rule) {
            if (a.key == "LABEL") {
                labels.insert(a.value);
            } else if (a.key == "GOTO") {
                gotos.insert(a.value);
            }
        }
    }
    for (const std::string& target : gotos) {
        EXPECT_TRUE(labels.count(target)) << "GOTO without LABEL: " << target;
    }
    // The UsbId example, once a reader removes its "#", is a rule of the same kind.
    ASSERT_EQ(file.exampleLines.size(), 1u);
    const auto example = ParseRule(file.exampleLines[0]);
    ASSERT_FALSE(example.empty()) << file.exampleLines[0];
    EXPECT_EQ(CheckKeys(example), std::vector<std::string>{});
}

// The probe runs for added devices with a vendor-specific interface, with the bus and
// device numbers it expects, and only its answer "1" grants access.
TEST(UdevRuleTest, TheProbeDecidesWhoGetsAccess) {
    const RuleFile file = Read(VX_CONFIGURED_UDEV_RULES);
    int probes = 0, grants = 0;
    std::string verdict;
    for (const auto& rule : file.rules) {
        std::map<std::string, std::string> keys;
        for (const Assignment& a : rule) {
            keys[a.key + a.op] = a.value;
        }
        if (keys.count("PROGRAM=")) {
            ++probes;
            EXPECT_EQ(keys["PROGRAM="],
                      std::string(VX_INSTALLED_UDEV_PROBE) + " $attr{busnum} $attr{devnum}");
            EXPECT_EQ(keys["ENV{ID_USB_INTERFACES}=="], "*:ff????:*");
            EXPECT_EQ(keys["RESULT=="], "1");
            ASSERT_EQ(keys.count("ENV{ID_SOFTWAREVX212}="), 1u);
            verdict = "ENV{ID_SOFTWAREVX212}";
        }
        if (keys.count("TAG+=")) {
            ++grants;
            EXPECT_EQ(keys["TAG+="], "uaccess");
            EXPECT_EQ(keys[verdict + "=="], "1");
        }
    }
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(grants, 1);
}

}  // namespace
