#pragma once

#include <string>
#include <vector>

#include "base/ManualTimer.h"
#include "device/CommandProtocol.h"
#include "measurement/MeasData.h"
#include "support/LinkParts.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx::test {

// A measurement object on a scripted device, whose store the tests fill by hand.
struct MeasFixture : LinkParts {
    TMeasData meas{1, protocol, usb, timers};
};

// The texts of one data set in store order: date, time, ms, then the five values.
struct StoredTexts {
    std::string date, time, ms, value, min, max, minAvr, maxAvr;
    bool operator==(const StoredTexts&) const = default;
};

inline void StoreTexts(TMeasData& meas, int index, const StoredTexts& t, double stamp = 0.0) {
    tDataListArray& r = meas.dataList[index];
    r.date = t.date, r.time = t.time, r.ms = t.ms, r.value = t.value, r.min = t.min;
    r.max = t.max, r.minAvr = t.minAvr, r.maxAvr = t.maxAvr, r.timeStamp = stamp;
}

inline StoredTexts TextsAt(const TMeasData& meas, int index) {
    return {meas.GetDateText(index),   meas.GetTimeText(index),  meas.GetMsText(index),
            meas.GetValueText(index),  meas.GetMinText(index),   meas.GetMaxText(index),
            meas.GetMinAvrText(index), meas.GetMaxAvrText(index)};
}

// The captions BuildHeader gives for the unit N.
inline const std::array<std::string, 9> kCaptionsN = {
    "Number",    "[Date]",    "[Time]",        "[Diff] = ms",  "[Value] = N",
    "[Min] = N", "[Max] = N", "[MinFilt] = N", "[MaxFilt] = N"};

// The two data sets of the documented example file, 8 December 2026 at 14:03:27.250
// and 14:03:31.875, decimal separator ",".
inline const StoredTexts kExample1 = {"08.12.2026", "14:03:27", "250",    " 12,35",
                                      " 11,98",     " 12,71",   " 12,10", " 12,52"};
inline const StoredTexts kExample2 = {"08.12.2026", "14:03:31", "875",    " 25,40",
                                      " 11,98",     " 25,77",   " 12,10", " 25,49"};

inline const std::string kExampleFile =
    "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
    "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n"
    "1\t08.12.2026\t14:03:27\t250\t 12,35\t 11,98\t 12,71\t 12,10\t 12,52\r\n"
    "2\t08.12.2026\t14:03:31\t875\t 25,40\t 11,98\t 25,77\t 12,10\t 25,49\r\n";

}  // namespace vx::test
