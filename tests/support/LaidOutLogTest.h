#pragma once
// The fixture of the display line and layout tests: a laid-out log in a folder of its own, its
// parts under the short names the tests use, and the fault switches disarmed after each test.
#include <gtest/gtest.h>

#include <memory>

#include "platform/FaultInjection.h"
#include "support/LaidOutLog.h"
#include "support/TempDir.h"

namespace tessary::test {

class LaidOutLogTest : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }

    TempDir m_dir;
    LaidOutLog m_log;
    CanPara& m_para = m_log.para;
    SearchCondition* const m_conditions = m_log.conditions;
    DisplayLineTable& m_table = m_log.table;
    std::unique_ptr<CTessaryCan>& m_converter = m_log.converter;
};

}  // namespace tessary::test
