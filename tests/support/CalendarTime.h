#pragma once
// Calendar times for the tests that reckon with dates: one from its fields, and its ticks.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Calendar.h"

namespace tessary::test {

inline SystemTime MakeSystemTime(unsigned y, unsigned mo, unsigned d, unsigned h = 0,
                                 unsigned mi = 0, unsigned s = 0, unsigned ms = 0) {
    SystemTime t{};
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(mo);
    t.day = static_cast<uint16_t>(d);
    t.hour = static_cast<uint16_t>(h);
    t.minute = static_cast<uint16_t>(mi);
    t.second = static_cast<uint16_t>(s);
    t.milliseconds = static_cast<uint16_t>(ms);
    return t;
}

// The ticks of `t`; a time that does not convert is a test failure (and gives -1).
inline int64_t TicksOfTime(const SystemTime& t) {
    int64_t ticks = -1;
    EXPECT_TRUE(SystemTimeToTicks(t, ticks));
    return ticks;
}

}  // namespace tessary::test
