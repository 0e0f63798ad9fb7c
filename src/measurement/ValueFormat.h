#pragma once

#include <string>
#include <string_view>

#include "base/LocaleFormat.h"

namespace vx {

// The resolution step for the value x on an instrument whose nominal value times
// 0.99 is r: the row of the step table for r, then its large, middle or small step
// by the size of x. 1 when r is above the table or not a number.
double ResolutionStep(double r, double x);

// The {fmt} format for values of that step: fixed point with as many decimals as a
// thousandth of the step needs (a ten-thousandth with hiRes), at least six
// characters wide, a blank in place of the plus sign.
std::string_view BuildValueFormat(double step, bool hiRes);

// x rounded half away from zero to a multiple of q; x itself when q <= 0.
double RoundToMultiple(double x, double q);

// Makes the display texts of measured values. The nominal value is read through the
// pointer, and the decimal separator from its source, at every call, so a new
// instrument or a new locale applies at once.
class ValueFormatter {
  public:
    using SeparatorSource = std::string_view (*)();

    explicit ValueFormatter(const double& nominalValue,
                            SeparatorSource decimalSeparator = ProcessDecimalSeparator)
        : nominalValue_(&nominalValue), decimalSeparator_(decimalSeparator) {}

    std::string FormatValue(double x) const;

    bool hiRes = false;

  private:
    const double* nominalValue_;
    SeparatorSource decimalSeparator_;
};

// For values handed to other programs: the first "," (or, without one, the first
// ".") becomes the DecimalSeparator setting's character. An empty setting leaves
// the text as it is.
void ToExternalSeparator(std::string& text, std::string_view separatorSetting);

// For values read back from files: the first "." (or, without one, the first ",")
// becomes the process's decimal separator.
void ToLocaleSeparator(std::string& text,
                       std::string_view processSeparator = ProcessDecimalSeparator());

}  // namespace vx
