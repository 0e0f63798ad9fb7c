// Any parameter template and values for the external program, then the command line
// split into arguments. Properties: a template without placeholders stays as it is;
// a filled placeholder leaves its value in the text; arguments quoted and joined
// again split into the same arguments.
//
// Input: the template, then the seven values, separated by zero bytes.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "desktop/CommandLine.h"
#include "desktop/ExternalParameters.h"

namespace {

using vx::fuzz::Check;

constexpr std::string_view kPlaceholders[] = {"_Min_",  "_Max_",  "_MinAvr_", "_MaxAvr_",
                                              "_Mean_", "_Time_", "_Date_"};

bool HoldsPlaceholder(std::string_view text) {
    for (const std::string_view p : kPlaceholders) {
        if (text.find(p) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The argument in single quotes, each quote of its own as '\''.
std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void CheckSplitting(const std::string& text) {
    const std::vector<std::string> arguments = vx::SplitArguments(text);
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += Quoted(argument) + ' ';
    }
    Check(vx::SplitArguments(joined) == arguments, "quoted arguments split into themselves", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::fuzz::Input in(data, size);
    const std::string parameterTemplate(in.Until('\0'));
    vx::ExternalValues values;
    for (std::string* value : {&values.min, &values.max, &values.minAvr, &values.maxAvr,
                               &values.mean, &values.time, &values.date}) {
        *value = in.Until('\0');
    }

    const std::string parameters = vx::BuildExternalParameters(parameterTemplate, values);
    if (!HoldsPlaceholder(parameterTemplate)) {
        Check(parameters == parameterTemplate, "a template without placeholders stays");
    }
    // Placeholders are filled one after the other: with no other one in the template,
    // and no '_' in the value, no other placeholder can take a character of the value.
    const bool onlyMean = std::ranges::all_of(kPlaceholders, [&](std::string_view p) {
        return (p == "_Mean_") == (parameterTemplate.find(p) != std::string::npos);
    });
    if (onlyMean && values.mean.find('_') == std::string::npos) {
        Check(parameters.find(values.mean + ' ') != std::string::npos,
              "the value replaces its placeholder", parameters);
    }
    CheckSplitting(parameterTemplate);
    CheckSplitting(parameters);
    return 0;
}
