#include <gtest/gtest.h>

#include "desktop/CommandLine.h"
#include "desktop/ExternalParameters.h"

namespace vx {
namespace {

TEST(ExternalParametersTest, TemplateFillsFirstOccurrencesAndSwallowsTheNextCharacter) {
    const ExternalValues values{"-1.50", " 9.25",    " 2.00",     " 8.00",
                                " 5.10", "10:00:00", "15.03.2026"};
    struct Case {
        const char* parameterTemplate;
        const char* expected;
    };
    for (const Case c : {
             Case{"_Mean_", " 5.10 "},
             Case{"_Mean_;_Max_", " 5.10  9.25 "},
             Case{"_Mean_ _Mean_", " 5.10 _Mean_"},
             Case{"_Date_ _Time_ _Mean_", "15.03.2026 10:00:00  5.10 "},
             Case{"_Min_ _Max_ _MinAvr_ _MaxAvr_ _Mean_ _Time_ _Date_",
                  "-1.50  9.25  2.00  8.00  5.10 10:00:00 15.03.2026 "},
             Case{"", ""},
             Case{"--max=_Max_", "--max= 9.25 "},
             // Without a separator the next placeholder loses its first character.
             Case{"_Min__Max_", "-1.50 Max_"},
         }) {
        SCOPED_TRACE(c.parameterTemplate);
        EXPECT_EQ(BuildExternalParameters(c.parameterTemplate, values), c.expected);
    }
}

// The swallowed character is a whole one: no half of a multi-byte character may
// reach the program's arguments.
TEST(ExternalParametersTest, MultiByteCharacterAfterAPlaceholderGoesAsAWhole) {
    const ExternalValues values{"-1,50", " 9,25",    " 2,00",     " 8,00",
                                " 5,10", "10:00:00", "15.03.2026"};
    EXPECT_EQ(BuildExternalParameters("_Mean_\u20AC_Max_\u00E9x", values), " 5,10  9,25 x");
    EXPECT_EQ(BuildExternalParameters("\u00E9_Date_\U0001F600", values), "\u00E915.03.2026 ");
}

TEST(CommandLineTest, ParameterTextSplitsByShellQuotingWithoutExpansion) {
    using Args = std::vector<std::string>;
    struct Case {
        const char* text;
        Args expected;
    };
    for (const Case& c : {
             Case{"", Args{}},
             Case{"  a\tb  ", Args{"a", "b"}},
             Case{"--value=\" 5,10 \" next", Args{"--value= 5,10 ", "next"}},
             Case{"'$HOME \"x\"' \\ a", Args{"$HOME \"x\"", " a"}},
             Case{"\"a\\\"b\\n\" ''", Args{"a\"b\\n", ""}},
             Case{"'open to the end", Args{"open to the end"}},
             Case{"; rm -rf / | cat", Args{";", "rm", "-rf", "/", "|", "cat"}},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitArguments(c.text), c.expected);
    }
}

}  // namespace
}  // namespace vx
