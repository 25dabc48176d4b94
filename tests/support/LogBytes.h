#pragma once
// Builds INS log files byte by byte, with an encoding of its own (independent of the code
// under test).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "logfile/InsLogFormat.h"

namespace tessary::test {

// A linear INS-Net 64 single-line header starting 2024-06-07 12:34:56.789, no extended header.
InsLogHeader DefaultHeader();

class LogBytes {
public:
    explicit LogBytes(const InsLogHeader& header = DefaultHeader());

    // Extended header of `length` bytes (>= 32) with the given end value low part; bytes after
    // the first 32 are filled with 0xEE.
    LogBytes& ExtHeader(uint8_t length, uint32_t endValueLow);
    // One record: 0xFF, direction, kind, payload length, count, payload.
    LogBytes& Record(char direction, uint8_t kind, uint32_t count,
                     const std::vector<uint8_t>& payload);
    // A kind-0 frame record with a correct (or, when `badFcs`, a wrong) check sequence.
    LogBytes& FrameWithFcs(char direction, uint32_t count, const std::vector<uint8_t>& frame,
                           bool badFcs = false);
    LogBytes& Raw(std::initializer_list<uint8_t> bytes);
    LogBytes& Raw(const std::vector<uint8_t>& bytes);
    LogBytes& Fill(uint8_t value, size_t count);

    // The header bytes reflect the header given (data byte count as set; see SetDataByteCount).
    LogBytes& SetDataByteCount(uint32_t count);
    // Sets the data byte count to the data written so far (a linear file's usual value).
    LogBytes& FixDataByteCount();

    size_t DataSize() const { return m_data.size(); }
    std::vector<uint8_t> Bytes() const;
    // Writes the file; returns its path.
    const std::string& WriteTo(const std::string& path) const;

private:
    InsLogHeader m_header;
    std::vector<uint8_t> m_ext;
    std::vector<uint8_t> m_data;
};

std::vector<uint8_t> HeaderBytes(const InsLogHeader& header);

}  // namespace tessary::test
