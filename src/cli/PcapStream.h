#pragma once
// --pcap as a stream: each converted frame record becomes its packet at once and is forgotten.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/RecordStream.h"
#include "platform/File.h"
#include "tools/PcapngExport.h"

namespace tessary::cli {

class PcapConsumer : public RecordConsumer {
public:
    PcapConsumer() = default;
    // Creates the output and writes the section and interface blocks; false with Error().
    bool Open(const std::string& path);
    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override;
    // Nothing is read again once its packet is written.
    void RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) override;
    void Forgotten(const StoreMove&) override {}
    // Writes what is buffered and closes the output; false with Error().
    bool Close();

    // The Windows error of a failed write (Error) or of a failed read of the log (ReadError).
    uint32_t Error() const { return m_output.Error(); }
    uint32_t ReadError() const { return m_readError; }

private:
    PcapngWriter m_writer;
    PcapngOutput m_output;
    uint32_t m_readError = 0;
};

}  // namespace tessary::cli
