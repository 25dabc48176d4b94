#pragma once
// Shared parts of the converter tests: a log on disk, a converter over it, a line callback
// that records what it was given, and a notify target that counts posts.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "decode/CTessaryCan.h"
#include "logfile/Status.h"
#include "platform/Utf.h"
#include "support/CountingTarget.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {

// Records the Index of every record delivered; `onLine` may answer a status.
struct LineProbe {
    std::function<int32_t(CTessaryCan*, MessageRecord*)> onLine;
    std::vector<uint32_t> indices;

    static int32_t Call(CTessaryCan* converter, MessageRecord* record, void* user) {
        auto* probe = static_cast<LineProbe*>(user);
        probe->indices.push_back(record->Index);
        return probe->onLine ? probe->onLine(converter, record) : 0;
    }
};

// A converter whose store can be made small, so that the next appends must grow it.
class SmallStoreCan : public CTessaryCan {
public:
    using CTessaryCan::CTessaryCan;
    using CTessaryCan::ResizeStore;
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPara(m_para); }

    template <typename Converter = CTessaryCan>
    std::unique_ptr<Converter> Open(const LogBytes& log) {
        m_path = m_dir.File("log.dat");
        log.WriteTo(m_path);
        return std::make_unique<Converter>(m_path, &m_para);
    }

    // Runs one pass to its end; returns the pass's status (or the refusal of the start).
    static int32_t RunPass(CTessaryCan& converter, LineProbe& probe,
                           NotifyTarget* target = nullptr) {
        const int32_t started = converter.StartPass(&LineProbe::Call, &probe, target);
        if (started != kStatusDone) {
            return started;
        }
        converter.WaitForWalk();
        return converter.ConversionStatus();
    }

    static std::string Text(const CTessaryCan& converter, uint32_t i) {
        return Utf8(converter.Record(i)->TextView());
    }

    TempDir m_dir;
    std::string m_path;
    CanPara m_para;
};

// The header row as the converter writes it before FormatTime.
inline std::string HeaderRow(uint32_t id, unsigned kind) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "ID=%07u TM=1234/34/56 12:34:56.789 種=%u ", id, kind);
    return buffer;
}

}  // namespace tessary::test
