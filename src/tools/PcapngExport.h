#pragma once
// Export of a log's frame records as a pcapng file that packet analysers decode as LAPD and
// Q.931: one Enhanced Packet Block per frame record, with its time, direction and ID.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace tessary {

class CTessaryCan;
struct CanPara;

// LINKTYPE_LAPD: a Q.921 frame from its address octets on, no pseudo-header.
inline constexpr uint16_t kLinkTypeLapd = 203;
// if_tsresol values: 10^-3 and 10^-6 seconds.
inline constexpr uint8_t kResolutionMs = 3;
inline constexpr uint8_t kResolutionUs = 6;
// epb_flags direction bits.
inline constexpr uint32_t kPacketInbound = 1;
inline constexpr uint32_t kPacketOutbound = 2;

// The blocks of a little-endian pcapng section with one interface.
class PcapngWriter {
public:
    explicit PcapngWriter(uint8_t resolution = kResolutionUs) : m_resolution(resolution) {}

    void AppendSectionHeader(std::vector<uint8_t>& out) const;
    void AppendInterface(std::vector<uint8_t>& out, uint16_t linkType) const;
    // `timestamp` in units of the interface's resolution since 1970-01-01.
    void AppendPacket(std::vector<uint8_t>& out, uint64_t timestamp, const uint8_t* data,
                      uint32_t length, uint32_t flags, std::string_view comment) const;
    // Ticks of 100 ns since 1601-01-01 as a timestamp of the resolution (0 before 1970).
    uint64_t Timestamp(int64_t ticks) const;

private:
    uint8_t m_resolution;
};

// Buffered output of the blocks to a new file; the first failure sticks and its Windows error
// stays readable.
class PcapngOutput {
public:
    bool Open(const PathString& path);
    // Where the writer appends the next blocks.
    std::vector<uint8_t>& Buffer() { return m_buffer; }
    // Writes the buffer out once it has grown large enough.
    bool FlushIfFull();
    bool Flush();
    // Writes what is buffered and closes the file.
    bool Close();
    uint32_t Error() const { return m_error; }

private:
    File m_file;
    std::vector<uint8_t> m_buffer;
    uint64_t m_offset = 0;
    uint32_t m_error = 0;
};

// The frame of one raw log record: without the 0x01 prefix and, for kind 0, without the two
// check bytes (a kind-0 record longer than 264 bytes counts as kind 6 and keeps them). False
// for a record that holds no frame (layer-1 status, no block, not a record).
bool FrameOfRecord(const uint8_t* record, uint32_t size, const uint8_t*& frame,
                   uint32_t& frameLength, uint32_t& flags);

struct PcapngResult {
    // 0 written; 1 the log cannot be read; 3 the conversion failed; 774 the output cannot be
    // written (`error` holds the Windows error).
    int32_t status = 0;
    uint32_t error = 0;
    uint32_t packets = 0;
};

// Writes the frame records of a converted log (the converter's file still open) to `outPath`:
// one packet per message record that has a block and a frame, with that record's ID.
PcapngResult ExportPcapng(CTessaryCan& converter, const PathString& outPath,
                          uint8_t resolution = kResolutionUs);

// Opens and converts the log with `para` (base time from the end time where the log needs
// it), then exports as above.
PcapngResult ExportPcapngFile(const PathString& logPath, CanPara& para, const PathString& outPath,
                              uint8_t resolution = kResolutionUs);

}  // namespace tessary
