#include "support/LogBytes.h"

#include "decode/Fcs16.h"
#include "support/TempDir.h"

namespace tessary::test {

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

}  // namespace

InsLogHeader DefaultHeader() {
    InsLogHeader h{};
    h.startYear = 2024;
    h.startMonth = 6;
    h.startDay = 7;
    h.startHour = 12;
    h.startMinute = 34;
    h.startSecond = 56;
    h.startMilliseconds = 789;
    h.channelNumber = 1;
    h.dataKind = kDataKindInsSingle;
    h.traceType = 1;
    h.boardKind = 0x0001;
    return h;
}

std::vector<uint8_t> HeaderBytes(const InsLogHeader& h) {
    std::vector<uint8_t> b(32, 0);
    Put16(b, 0x00, h.startYear);
    b[0x02] = h.startMonth;
    b[0x03] = h.startDay;
    b[0x04] = h.startHour;
    b[0x05] = h.startMinute;
    b[0x06] = h.startSecond;
    b[0x07] = h.channelNumber;
    Put32(b, 0x08, h.dataByteCount);
    Put32(b, 0x0C, h.loopCount);
    b[0x10] = h.dataKind;
    b[0x11] = h.traceType;
    Put16(b, 0x12, h.boardKind);
    Put32(b, 0x14, h.timeCountAtStart);
    b[0x18] = h.extHeaderLength;
    b[0x19] = h.correctionHigh;
    Put16(b, 0x1A, h.startMilliseconds);
    Put32(b, 0x1C, h.startCorrectionLow);
    return b;
}

LogBytes::LogBytes(const InsLogHeader& header) : m_header(header) {}

LogBytes& LogBytes::ExtHeader(uint8_t length, uint32_t endValueLow) {
    m_header.extHeaderLength = length;
    m_ext.assign(length, 0);
    for (size_t i = 32; i < m_ext.size(); ++i) {
        m_ext[i] = 0xEE;
    }
    if (m_ext.size() >= 4) {
        Put32(m_ext, 0, endValueLow);
    }
    return *this;
}

LogBytes& LogBytes::Record(char direction, uint8_t kind, uint32_t count,
                           const std::vector<uint8_t>& payload) {
    size_t at = m_data.size();
    m_data.resize(at + 9);
    m_data[at] = 0xFF;
    m_data[at + 1] = static_cast<uint8_t>(direction);
    m_data[at + 2] = kind;
    Put16(m_data, at + 3, static_cast<uint32_t>(payload.size()));
    Put32(m_data, at + 5, count);
    m_data.insert(m_data.end(), payload.begin(), payload.end());
    return *this;
}

LogBytes& LogBytes::FrameWithFcs(char direction, uint32_t count, const std::vector<uint8_t>& frame,
                                 bool badFcs) {
    std::vector<uint8_t> payload = frame;
    uint16_t fcs = Fcs16(frame.data(), frame.size());
    if (badFcs) {
        fcs ^= 0x0100;
    }
    payload.push_back(static_cast<uint8_t>(fcs));
    payload.push_back(static_cast<uint8_t>(fcs >> 8));
    return Record(direction, 0, count, payload);
}

LogBytes& LogBytes::Raw(std::initializer_list<uint8_t> bytes) {
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
}

LogBytes& LogBytes::Raw(const std::vector<uint8_t>& bytes) {
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
}

LogBytes& LogBytes::Fill(uint8_t value, size_t count) {
    m_data.insert(m_data.end(), count, value);
    return *this;
}

LogBytes& LogBytes::SetDataByteCount(uint32_t count) {
    m_header.dataByteCount = count;
    return *this;
}

LogBytes& LogBytes::FixDataByteCount() {
    m_header.dataByteCount = static_cast<uint32_t>(m_data.size());
    return *this;
}

std::vector<uint8_t> LogBytes::Bytes() const {
    std::vector<uint8_t> out = HeaderBytes(m_header);
    out.insert(out.end(), m_ext.begin(), m_ext.end());
    out.insert(out.end(), m_data.begin(), m_data.end());
    return out;
}

const std::string& LogBytes::WriteTo(const std::string& path) const {
    WriteBytes(path, Bytes());
    return path;
}

}  // namespace tessary::test
