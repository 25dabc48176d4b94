#include "loggen/LogWriter.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <vector>

#include "logfile/InsLogFormat.h"
#include "loggen/LogGenerator.h"
#include "platform/File.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary::loggen {

namespace {

constexpr uint32_t kBufferSize = 1u << 20;

std::string ErrorText(uint32_t error) {
    const char* text = nullptr;
    switch (error) {
        case kErrorFileNotFound:
            text = "file not found";
            break;
        case kErrorPathNotFound:
            text = "folder not found";
            break;
        case kErrorAccessDenied:
            text = "access denied";
            break;
        case kErrorFileExists:
        case kErrorAlreadyExists:
            text = "file exists";
            break;
        case kErrorDiskFull:
            text = "disk full";
            break;
        case kErrorWriteFault:
            text = "write fault";
            break;
        case kErrorInvalidName:
            text = "invalid name";
            break;
        case kErrorFilenameExcedRange:
            text = "name too long";
            break;
        default:
            break;
    }
    return (text ? std::string(text) + " " : std::string()) + "(error " + std::to_string(error) +
           ")";
}

// Collects the stream and writes it after the headers in large pieces.
class DataSink {
public:
    DataSink(File& file, uint32_t headerBytes) : m_file(file), m_offset(headerBytes) {
        m_buffer.reserve(kBufferSize);
    }

    bool Write(const uint8_t* bytes, uint32_t count) {
        while (count > 0) {
            const uint32_t room = kBufferSize - static_cast<uint32_t>(m_buffer.size());
            const uint32_t take = count < room ? count : room;
            m_buffer.insert(m_buffer.end(), bytes, bytes + take);
            bytes += take;
            count -= take;
            if (m_buffer.size() == kBufferSize && !Flush()) {
                return false;
            }
        }
        return true;
    }

    bool Flush() {
        if (!m_buffer.empty() &&
            !m_file.WriteAt(m_offset, m_buffer.data(), static_cast<uint32_t>(m_buffer.size()))) {
            return false;
        }
        m_offset += m_buffer.size();
        m_buffer.clear();
        return true;
    }

private:
    File& m_file;
    uint64_t m_offset;
    std::vector<uint8_t> m_buffer;
};

// Copies count bytes inside the file; from the end backwards when the ranges overlap upwards.
bool CopyInFile(File& file, uint64_t from, uint64_t to, uint64_t count,
                std::vector<uint8_t>& buffer) {
    const bool backwards = to > from;
    uint64_t done = 0;
    while (done < count) {
        const uint32_t piece =
            static_cast<uint32_t>(std::min<uint64_t>(buffer.size(), count - done));
        const uint64_t at = backwards ? count - done - piece : done;
        uint32_t got = 0;
        if (!file.ReadAt(from + at, buffer.data(), piece, got)) {
            return false;
        }
        if (got != piece) {
            SetLastError(kErrorReadFault);
            return false;
        }
        if (!file.WriteAt(to + at, buffer.data(), piece)) {
            return false;
        }
        done += piece;
    }
    return true;
}

// Rotates the data area [h, h + n) so that its byte s moves to h + (s + p) mod n: the tail of
// p bytes is parked after the data, the rest moves up, the tail comes to the front. The parked
// copy is cut off afterwards.
bool RotateRight(File& file, uint64_t h, uint64_t n, uint64_t p) {
    if (p == 0) {
        return true;
    }
    std::vector<uint8_t> buffer(kBufferSize);
    return CopyInFile(file, h + n - p, h + n, p, buffer) &&
           CopyInFile(file, h, h + p, n - p, buffer) && CopyInFile(file, h + n, h, p, buffer);
}

// Names are UTF-8 on every system; a plain string would be the ANSI code page on Windows.
std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
    const std::filesystem::path target = FsPath(path);
    std::string name(1, '.');
    name.append(Utf8Name(target.filename()));
    name.append(".insloggen-");
    name.append(std::to_string(::getpid()));
    name.append(".tmp");
    return Utf8Name(target.parent_path() / FsPath(name));
}

namespace {

struct StreamFacts {
    uint64_t bytes = 0;
    uint64_t records = 0;
    int64_t firstTimeMs = 0;
    int64_t lastTimeMs = 0;
    uint64_t badFcs = 0;
    uint64_t warnings = 0;
    bool truncated = false;
};

void Account(StreamFacts& facts, const GeneratedRecord& r) {
    facts.bytes += r.gapLength + r.length;
    if (r.truncated) {
        facts.truncated = true;
        return;
    }
    if (facts.records == 0) {
        facts.firstTimeMs = r.timeMs;
    }
    ++facts.records;
    facts.lastTimeMs = r.timeMs;
    facts.badFcs += r.badFcs ? 1 : 0;
    facts.warnings += (r.warnings & 1) + ((r.warnings >> 1) & 1);
}

// Writes the stream; with `sink` null only measures it.
bool RunStream(const LogProfile& profile, DataSink* sink, StreamFacts& facts, std::string& error) {
    LogGenerator generator(profile);
    const uint64_t limit = 0xFFFFFFFFULL - DataAreaOffset(profile);
    GeneratedRecord r;
    while (generator.Next(r)) {
        Account(facts, r);
        if (facts.bytes > limit) {
            error = "--size/--records: the data area would pass 4 GiB";
            return false;
        }
        if (sink && (!sink->Write(r.gap, r.gapLength) || !sink->Write(r.bytes, r.length))) {
            return false;
        }
    }
    return !sink || sink->Flush();
}

InsLogHeader MakeHeader(const ResolvedProfile& r, uint32_t dataByteCount) {
    const LogProfile& s = r.profile;
    InsLogHeader h{};
    SetStartDateTime(h, s.start);
    h.channelNumber = s.channelNumber;
    h.dataByteCount = dataByteCount;
    h.loopCount = s.ring ? s.loopCount : 0;
    h.dataKind = s.dataKind;
    h.traceType = s.traceType;
    h.boardKind = r.boardKind;
    h.timeCountAtStart = r.countStart;
    h.extHeaderLength = s.extHeaderLength;
    SetStartCorrection(h, s.startCorrectionMs);
    return h;
}

WriteStatus Fail(File& file, const std::string& temp, std::string& error, const std::string& text,
                 WriteStatus status = WriteStatus::kFileError) {
    error = text;
    file.Close();
    DeleteFilePath(temp);
    return status;
}

}  // namespace

WriteStatus WriteLog(const LogProfile& profile, const std::string& path, WriteResult* result,
                     std::string* errorOut) {
    std::string scratch;
    std::string& error = errorOut ? *errorOut : scratch;
    error.clear();
    if (std::string problem = ValidateProfile(profile); !problem.empty()) {
        error = problem;
        return WriteStatus::kBadProfile;
    }
    if (path.empty()) {
        error = "--out: no file name";
        return WriteStatus::kBadProfile;
    }
    const ResolvedProfile resolved = Resolve(profile);
    const uint32_t headerBytes = DataAreaOffset(profile);

    StreamFacts facts;
    const std::string temp = TemporaryPathFor(path);
    File file;
    if (!file.Create(temp, true)) {
        error = "cannot create " + temp + ": " + ErrorText(GetLastError());
        return WriteStatus::kFileError;
    }
    DataSink sink(file, headerBytes);
    if (!RunStream(profile, &sink, facts, error)) {
        if (!error.empty()) {
            return Fail(file, temp, error, error, WriteStatus::kBadProfile);
        }
        return Fail(file, temp, error, "cannot write " + temp + ": " + ErrorText(GetLastError()));
    }

    const uint32_t dataBytes = static_cast<uint32_t>(facts.bytes);
    uint32_t headOffset = 0;
    if (profile.ring) {
        if (!profile.headOffsetSet) {
            headOffset = static_cast<uint32_t>(facts.bytes * 37 / 100);
        } else if (profile.headOffsetPercent) {
            headOffset = static_cast<uint32_t>(facts.bytes * profile.headOffset / 100);
        } else if (profile.headOffset >= facts.bytes) {
            return Fail(file, temp, error,
                        "--head-offset: " + std::to_string(profile.headOffset) +
                            " is not inside the ring of " + std::to_string(facts.bytes) + " bytes",
                        WriteStatus::kBadProfile);
        } else {
            headOffset = static_cast<uint32_t>(profile.headOffset);
        }
        // The oldest data (stream position 0) goes to the head offset.
        if (!RotateRight(file, headerBytes, dataBytes, headOffset)) {
            return Fail(file, temp, error,
                        "cannot write " + temp + ": " + ErrorText(GetLastError()));
        }
    }
    uint32_t countField = profile.ring ? headOffset : (profile.dataCountZero ? 0 : dataBytes);
    InsLogHeader header = MakeHeader(resolved, countField);
    InsLogExtHeader ext{};
    uint64_t endValue = 0;
    if (profile.extHeaderLength != 0) {
        endValue = profile.endValueSet
                       ? profile.endValueMs
                       : static_cast<uint64_t>(facts.lastTimeMs > 0 ? facts.lastTimeMs : 0);
        SetEndValue(header, ext, endValue);
    }
    std::vector<uint8_t> head(headerBytes, 0);
    uint8_t bytes[kInsHeaderSize];
    SerializeInsLogHeader(header, bytes);
    std::copy(bytes, bytes + kInsHeaderSize, head.begin());
    if (profile.extHeaderLength != 0) {
        uint8_t extBytes[kInsExtHeaderSize];
        SerializeInsLogExtHeader(ext, extBytes);
        std::copy(extBytes, extBytes + kInsExtHeaderSize, head.begin() + kInsHeaderSize);
    }
    if (!file.WriteAt(0, head.data(), headerBytes)) {
        return Fail(file, temp, error, "cannot write " + temp + ": " + ErrorText(GetLastError()));
    }
    if (!file.Close()) {
        return Fail(file, temp, error, "cannot close " + temp + ": " + ErrorText(GetLastError()));
    }
    std::error_code ec;
    if (profile.ring) {
        // Drop the scratch copy of the tail that the rotation left past the data.
        std::filesystem::resize_file(FsPath(temp), headerBytes + facts.bytes, ec);
        if (ec) {
            DeleteFilePath(temp);
            error = "cannot write " + temp + ": " + ec.message();
            return WriteStatus::kFileError;
        }
    }
    std::filesystem::rename(FsPath(temp), FsPath(path), ec);
    if (ec) {
        DeleteFilePath(temp);
        error = "cannot write " + path + ": " + ec.message();
        return WriteStatus::kFileError;
    }
    if (result) {
        result->records = facts.records;
        result->fileBytes = headerBytes + facts.bytes;
        result->headerBytes = headerBytes;
        result->dataBytes = dataBytes;
        result->headOffset = headOffset;
        result->firstTimeMs = facts.firstTimeMs;
        result->lastTimeMs = facts.lastTimeMs;
        result->endValueMs = endValue;
        result->badFcs = facts.badFcs;
        result->warnings = facts.warnings;
        result->truncated = facts.truncated;
    }
    return WriteStatus::kOk;
}

}  // namespace tessary::loggen
