#pragma once
// Shared parts of the fault tests: the reference texts of an undisturbed conversion, and the
// checks that what a failed pass leaves behind is a clean prefix of that reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"
#include "platform/FaultInjection.h"
#include "platform/Utf.h"
#include "support/FaultReset.h"
#include "support/GeneratedLog.h"
#include "support/LaidOutLog.h"
#include "support/TempDir.h"
#include "tools/DivideRun.h"

namespace tessary::test {

// What an undisturbed conversion of a log gives.
struct Reference {
    std::vector<std::u16string> texts;
    std::vector<uint32_t> dataPos;
    int32_t lines = 0;
};

inline Reference ReferenceOf(const std::string& path) {
    LaidOutLog log;
    Reference reference;
    EXPECT_EQ(log.Open(path), kOpenOk);
    EXPECT_EQ(log.Pass(), kStatusDone);
    for (uint32_t i = 0; i < log.converter->LineCount(); ++i) {
        reference.texts.emplace_back(log.converter->Record(i)->TextView());
        reference.dataPos.push_back(log.converter->Record(i)->DataPos);
    }
    reference.lines = log.table.LineCount();
    return reference;
}

// The store holds the reference's first records, unchanged, and every display line shows a
// stored record; a record's lines are either all laid out or its RowSlot says none.
inline void ExpectCleanPrefix(const LaidOutLog& log, const Reference& reference,
                              const std::string& where) {
    const CTessaryCan& converter = *log.converter;
    ASSERT_LE(converter.LineCount(), reference.texts.size()) << where;
    for (uint32_t i = 0; i < converter.LineCount(); ++i) {
        const MessageRecord* record = converter.Record(i);
        ASSERT_EQ(record->Index, i) << where;
        EXPECT_EQ(record->DataPos, reference.dataPos[i]) << where << " record " << i;
        if (record->TextView() != reference.texts[i]) {
            ADD_FAILURE() << where << " record " << i << ": " << Utf8(record->TextView());
        }
    }
    for (int32_t n = 0; n < log.table.LineCount(); ++n) {
        const DisplayLine* line = log.table.Line(n);
        ASSERT_NE(line, nullptr) << where;
        const MessageRecord* record = log.table.RecordOf(line);
        if (record != nullptr) {
            ASSERT_LT(record->Index, converter.LineCount()) << where << " line " << n;
        }
        log.table.TextOf(line);
    }
    EXPECT_LE(log.table.LineCount(), reference.lines) << where;
}

// Divide outputs in a folder: output number (from "_分割-N_") -> bytes.
inline std::map<int, std::vector<uint8_t>> DivideOutputs(const std::string& folder) {
    std::map<int, std::vector<uint8_t>> files;
    const std::string tag = "_分割-";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::u8string utf8 = entry.path().filename().u8string();
        const std::string name(utf8.begin(), utf8.end());
        const size_t at = name.find(tag);
        if (at != std::string::npos) {
            files[std::stoi(name.substr(at + tag.size()))] = ReadBytes(folder + "/" + name);
        }
    }
    return files;
}

// An undisturbed divide run of `source` into the new folder `folder`; its result.
inline int32_t DivideInto(const std::string& source, const std::string& folder) {
    std::filesystem::create_directory(folder);
    DivideRun run;
    return run.Run(source, folder).result;
}

// A divide output cut short (by a fault or a stop) is the same file as the undisturbed run's,
// closed as a valid log of the records it got: a prefix of them, its data byte count exact.
inline void ExpectLogPrefix(const std::vector<uint8_t>& file, const std::vector<uint8_t>& full,
                            const std::string& where) {
    if (file == full) {
        return;
    }
    ASSERT_GE(file.size(), 64u) << where;
    ASSERT_LT(file.size(), full.size()) << where;
    const uint32_t count = file[8] | file[9] << 8 | file[10] << 16 | uint32_t{file[11]} << 24;
    EXPECT_EQ(count, file.size() - 64) << where;
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 8, full.begin())) << where;
    EXPECT_TRUE(std::equal(file.begin() + 64, file.end(), full.begin() + 64)) << where;
}

}  // namespace tessary::test
