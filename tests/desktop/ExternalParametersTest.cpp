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
