#include "tools/DivideRun.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "platform/ErrorText.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "tools/DivideMessages.h"
#include "tools/FileAttributes.h"
#include "tools/TextFormat.h"

namespace tessary {

namespace dt = dividetext;

namespace {

constexpr uint32_t kOutputHeaderSize = kInsHeaderSize + kInsExtHeaderSize;
// Records are written in blocks of this size rather than one write each.
constexpr uint32_t kOutputBufferSize = 1 << 16;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

PathString Trim(const PathString& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Why the source cannot be opened, as far as the error tells.
constexpr ErrorText kSourceOpenErrors[] = {
    {kErrorFileNotFound, dt::kSourceNotFound},
    {kErrorPathNotFound, dt::kSourceNoFolder},
    {kErrorAccessDenied, dt::kSourceDenied},
};

// The walk's notifications, handed to the thread that waits for them. The reader's position
// is taken on the worker, which owns it.
class SyncNotify : public NotifyTarget {
public:
    struct Note {
        uintptr_t wParam;
        uint32_t position;
    };

    void PostNotify(uint32_t /*message*/, uintptr_t wParam, void* lParam) override {
        const auto* reader = static_cast<const CInsFileRead*>(lParam);
        const uint32_t position = reader != nullptr ? reader->CurrentPosition() : 0;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_notes.push_back({wParam, position});
        m_ready.notify_one();
    }

    Note Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_notes.empty(); });
        const Note note = m_notes.front();
        m_notes.pop_front();
        return note;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Note> m_notes;
};

}  // namespace

DivideRun::DivideRun() = default;

DivideRun::~DivideRun() {
    if (m_reader) {
        m_reader->StopWorker(false);
    }
    if (m_output.IsOpen()) {
        FinishFile();
    }
}

void DivideRun::Reset() {
    if (m_reader) {
        m_reader->StopWorker(false);
        m_reader.reset();
    }
    if (m_output.IsOpen()) {
        FinishFile();
    }
    m_twoPass = false;
    m_pass = 0;
    m_folder.clear();
    m_baseName.clear();
    m_extension.clear();
    m_outputPath.clear();
    m_firstTime = 0;
    m_lastTime = 0;
    m_lastWrittenTime = 0;
    m_finished.store(-1);
    m_header = InsLogHeader{};
    m_ext = InsLogExtHeader{};
    m_bytesWritten = 0;
    m_buffered = 0;
    m_outputError = 0;
    m_result = 0;
    m_startError = 0;
    m_finishFailed = false;
    m_outcome = DivideOutcome{};
}

bool DivideRun::Refuse(std::u16string_view message, std::u16string_view caption, int exitCode) {
    m_reader.reset();
    m_outcome = DivideOutcome{};
    m_outcome.result = -1;
    m_outcome.failed = true;
    m_outcome.message = message;
    m_outcome.caption = caption;
    m_outcome.exitCode = exitCode;
    return false;
}

bool DivideRun::Prepare(const PathString& sourceText, const PathString& folderText,
                        int64_t correction, uint8_t optionByte) {
    Reset();
    m_optionByte = optionByte;
    if (!m_buffer) {
        m_buffer.reset(new (std::nothrow) uint8_t[kOutputBufferSize]);
        if (!m_buffer) {
            return Refuse(dt::kSourceNoMemory, dt::kSourceCaption, 1);
        }
    }
    const PathString source = Trim(sourceText);
    if (source.empty()) {
        return Refuse(dt::kNoSource, dt::kSourceCaption, 2);
    }
    PathString folder = Trim(folderText);
    const bool rootOnly = !folder.empty() && IsPathSeparator(folder.back());
    while (!folder.empty() && IsPathSeparator(folder.back())) {
        folder.pop_back();
    }
    if (folder.empty() && !rootOnly) {
        return Refuse(dt::kNoFolder, dt::kFolderCaption, 2);
    }
    folder.push_back(kPathSeparator);
    if (!IsDirectory(folder)) {
        return Refuse(dt::kFolderMissing, dt::kFolderCaption, 2);
    }
    m_folder = folder;

    // Base name and extension come from the file name alone, never from a folder.
    size_t nameStart = source.size();
    while (nameStart > 0 && !IsPathSeparator(source[nameStart - 1])) {
        --nameStart;
    }
    const PathString name = source.substr(nameStart);
    const size_t dot = name.rfind('.');
    m_baseName = dot == PathString::npos ? name : name.substr(0, dot);
    m_extension = dot == PathString::npos ? PathString() : name.substr(dot);

    m_reader = std::make_unique<CTessaryData>(source, &m_optionByte);
    const uint32_t error = m_reader->LastError();
    switch (m_reader->OpenStatus()) {
        case kOpenOk:
            break;
        case kOpenFailed:
            return Refuse(ErrorMessage(kSourceOpenErrors, error, dt::kSourceOpenFailed),
                          dt::kSourceCaption, 1);
        case kOpenReadError:
            return Refuse(FormatText(dt::kSourceReadFailed, error), dt::kSourceCaption, 1);
        case kOpenFormatError:
            return Refuse(dt::kSourceFormat, dt::kSourceCaption, 1);
        default:
            return Refuse(dt::kSourceNoMemory, dt::kSourceCaption, 1);
    }
    if (!IsDecodedDataKind(m_reader->Header().dataKind)) {
        return Refuse(dt::kSourceNotIns, dt::kSourceCaption, 1);
    }
    if (correction != 0) {
        m_reader->SetStartCorrectionValue(correction);
        m_reader->SetBaseTime(correction);
    }
    m_twoPass = m_reader->CorrectionState() > 0;
    m_pass = 1;
    m_result = kStatusRunning;
    return true;
}

std::u16string DivideRun::PassTitle() const {
    return std::u16string(m_twoPass && m_pass == 1 ? dt::kTitleRead : dt::kTitleDivide);
}

std::u16string DivideRun::PassSubtitle() const {
    if (m_twoPass) {
        return std::u16string(dt::kSubtitleFirst);
    }
    return m_pass == 2 ? std::u16string(dt::kSubtitleSecond) : std::u16string();
}

uint32_t DivideRun::Total() const {
    return m_reader ? m_reader->DataSize() : 0;
}

int32_t DivideRun::StartPass(NotifyTarget* window) {
    m_startError = 0;
    if (!m_reader) {
        return -1;
    }
    // The first pass of a two-pass run only sums the elapsed time.
    const TessaryDataCallback callback = m_twoPass ? nullptr : &DivideRun::RecordCallback;
    const int32_t start = m_reader->Start(callback, this, window);
    if (start != kStatusDone) {
        m_startError = GetLastError();
    }
    return start;
}

void DivideRun::StopPass() {
    if (m_reader) {
        m_reader->StopWorker(false);
    }
}

void DivideRun::OnNotify(uintptr_t wParam) {
    if (wParam != kNotifyEnded || !m_reader) {
        return;
    }
    // The worker has signalled its end; joining it makes the output state ours.
    m_reader->WaitForWalk();
    if (m_output.IsOpen() && !FinishFile()) {
        m_finishFailed = true;
    }
}

std::u16string DivideRun::StatusText() const {
    const int finished = m_finished.load();
    if (finished < 0 || !m_reader) {
        return std::u16string();
    }
    return FormatText(dt::kStatus, finished, static_cast<unsigned>(m_reader->WarningCounter()));
}

bool DivideRun::EndPass(int endCode) {
    if (!m_reader) {
        return false;
    }
    m_result = endCode == -1 ? kStatusRunning : m_reader->ConversionStatus();
    // A failure while finishing the last file turns whatever ended the walk into 774.
    if (m_finishFailed) {
        m_result = kStatusWriteError;
    }
    if (m_result == kStatusDone && m_twoPass) {
        const int64_t correction =
            BaseOffsetFromEndTime(m_reader->EndTime(), m_reader->Elapsed(), m_reader->StartTime());
        m_reader->SetStartCorrectionValue(correction);
        m_reader->SetBaseTime(correction);
        m_twoPass = false;
        m_pass = 2;
        return true;
    }
    return false;
}

const DivideOutcome& DivideRun::Finish() {
    if (!m_reader) {
        return m_outcome;
    }
    m_reader->StopWorker(false);
    // Normally finished at the walk's end notification; never left open.
    if (m_output.IsOpen() && !FinishFile()) {
        m_result = kStatusWriteError;
    }
    const int finished = m_finished.load();
    // Only a walk that went well can have found nothing; an output failure stays reported.
    if (m_result == kStatusDone && finished < 1) {
        m_result = kStatusNoRecord;
    }
    const uint32_t readerError =
        m_startError != kErrorSuccess ? m_startError : m_reader->LastError();
    std::u16string message;
    switch (m_result) {
        case kStatusDone:
            message = dt::kDone;
            break;
        case kStatusRunning:
            message = dt::kCannotStart;
            break;
        case kStatusStopped:
            message = dt::kAborted;
            break;
        case kStatusNoRecord:
            message = dt::kNoData;
            break;
        case kStatusNotStarted:
            message = FormatText(dt::kNoThread, readerError);
            break;
        case kStatusWriteError:
            message = FormatText(
                dt::kWriteFailed, m_outputError,
                m_outputError == kErrorAccessDenied ? dt::kWriteProtected : std::u16string_view(),
                Utf16(m_outputPath));
            break;
        default:
            message = FormatText(dt::kResourceFailure, readerError);
            break;
    }
    const std::u16string previous = StatusText();
    m_outcome = DivideOutcome{};
    m_outcome.result = m_result;
    m_outcome.message = message;
    if (m_result == kStatusDone || m_result == kStatusStopped) {
        m_outcome.statusLine = m_outcome.message + std::u16string(dt::kStatusJoin) + previous;
        m_outcome.exitCode = m_result == kStatusDone ? 0 : 3;
    } else {
        m_outcome.failed = true;
        m_outcome.caption = dt::kFailedCaption;
        m_outcome.statusLine = std::u16string(dt::kFailedEnd) + previous;
        m_outcome.exitCode = 3;
    }
    m_reader.reset();
    return m_outcome;
}

const DivideOutcome& DivideRun::Run(const PathString& sourceText, const PathString& folderText,
                                    const std::function<void(uint32_t, uint32_t)>& progress) {
    if (!Prepare(sourceText, folderText, 0)) {
        return m_outcome;
    }
    bool again = true;
    while (again) {
        SyncNotify notify;
        const int32_t start = StartPass(&notify);
        if (start != kStatusDone) {
            EndPass(3);
            break;
        }
        for (;;) {
            const SyncNotify::Note note = notify.Wait();
            OnNotify(note.wParam);
            if (progress) {
                progress(note.position, Total());
            }
            if (note.wParam == kNotifyEnded) {
                break;
            }
        }
        again = EndPass(1);
    }
    return Finish();
}

int32_t DivideRun::RecordCallback(CTessaryData* /*reader*/, uint8_t* record, void* user) {
    return static_cast<DivideRun*>(user)->OnRecordBytes(record);
}

int32_t DivideRun::OnRecordBytes(const uint8_t* record) {
    // The walk's begin: the fields every output header takes from the source.
    if (m_finished.load() < 0) {
        const InsLogHeader& source = m_reader->Header();
        m_header = InsLogHeader{};
        m_ext = InsLogExtHeader{};
        m_header.channelNumber = source.channelNumber;
        m_header.dataKind = source.dataKind;
        m_header.traceType = source.traceType;
        m_header.boardKind = source.boardKind;
        m_header.extHeaderLength = static_cast<uint8_t>(kInsExtHeaderSize);
        m_bytesWritten = 0;
        m_buffered = 0;
        m_finished.store(0);
        return 0;
    }

    int64_t ticks = 0;
    SystemTime time{};
    const int64_t base = m_reader->BaseTime();
    if (base == 0 || !AddMsToTicks(base, m_reader->Elapsed(), ticks) ||
        !TicksToSystemTime(ticks, time)) {
        m_outputError = kErrorInvalidFunction;
        FailOutput();
        return kStatusWriteError;
    }
    const InsRecordHeader header = ParseRecordHeader(record);
    if (time.year != m_header.startYear || time.month != m_header.startMonth ||
        time.day != m_header.startDay) {
        if (m_output.IsOpen() && !FinishFile()) {
            return kStatusWriteError;
        }
        if (!BeginFile(time, ticks, header.timeCount)) {
            return kStatusWriteError;
        }
    }
    if (!m_output.IsOpen()) {
        m_outputError = kErrorInvalidHandle;
        return kStatusWriteError;
    }
    const uint32_t length = kRecordHeaderSize + header.payloadLength;
    if (m_buffered + length > kOutputBufferSize && !FlushRecords()) {
        FailOutput();
        return kStatusWriteError;
    }
    std::memcpy(m_buffer.get() + m_buffered, record, length);
    m_buffered += length;
    m_lastTime = ticks;
    return 0;
}

bool DivideRun::FlushRecords() {
    if (m_buffered == 0) {
        return true;
    }
    const uint32_t count = m_buffered;
    m_buffered = 0;
    if (!m_output.WriteAt(kOutputHeaderSize + uint64_t{m_bytesWritten}, m_buffer.get(), count)) {
        m_outputError = ErrorOrOne();
        return false;
    }
    m_bytesWritten += count;
    m_lastWrittenTime = m_lastTime;
    return true;
}

bool DivideRun::BeginFile(const SystemTime& time, int64_t ticks, uint32_t count) {
    m_firstTime = ticks;
    m_lastTime = 0;
    m_lastWrittenTime = 0;
    m_outputPath =
        Printf(dt::kOutputName, m_folder.c_str(), m_baseName.c_str(), m_finished.load() + 1,
               unsigned{time.year}, unsigned{time.month}, unsigned{time.day}, m_extension.c_str());
    SetStartDateTime(m_header, time);
    m_header.timeCountAtStart = count;
    m_header.correctionHigh = 0;
    m_header.startCorrectionLow = 0;
    m_header.dataByteCount = 0;
    m_header.loopCount = 0;
    m_ext = InsLogExtHeader{};
    m_bytesWritten = 0;
    m_buffered = 0;

    // An existing file of that name is replaced: its name is removed and a new file made, so
    // that a link placed under an output name can never lead a write elsewhere (the source
    // included). A read-only file is refused as the system refuses to overwrite it.
    if (HasReadOnlyAttribute(m_outputPath)) {
        m_outputError = kErrorAccessDenied;
        return false;
    }
    if (!DeleteFilePath(m_outputPath) && GetLastError() != kErrorFileNotFound) {
        m_outputError = ErrorOrOne();
        return false;
    }
    if (!m_output.Create(m_outputPath, true)) {
        m_outputError = ErrorOrOne();
        return false;
    }
    if (!WriteHeader()) {
        m_outputError = ErrorOrOne();
        FailOutput();
        return false;
    }
    return true;
}

bool DivideRun::WriteHeader() {
    uint8_t bytes[kOutputHeaderSize];
    uint8_t headerBytes[kInsHeaderSize];
    uint8_t extBytes[kInsExtHeaderSize];
    SerializeInsLogHeader(m_header, headerBytes);
    SerializeInsLogExtHeader(m_ext, extBytes);
    for (uint32_t i = 0; i < kInsHeaderSize; ++i) {
        bytes[i] = headerBytes[i];
        bytes[kInsHeaderSize + i] = extBytes[i];
    }
    return m_output.WriteAt(0, bytes, kOutputHeaderSize);
}

bool DivideRun::FinishFile() {
    if (!m_output.IsOpen()) {
        return true;
    }
    // The header counts only what reached the file: a failed write leaves a valid log.
    const bool flushed = FlushRecords();
    m_header.dataByteCount = m_bytesWritten;
    // A span that runs backward (times going back within one date) or beyond 36 bits is 0.
    const int64_t span = m_lastWrittenTime >= m_firstTime && m_lastWrittenTime != 0
                             ? (m_lastWrittenTime - m_firstTime) / kTicksPerMs
                             : 0;
    const uint64_t endValue = FitsUnsigned36(span) ? static_cast<uint64_t>(span) : 0;
    SetEndValue(m_header, m_ext, endValue);
    bool valid = WriteHeader();
    if (!valid && flushed) {
        m_outputError = ErrorOrOne();
    }
    if (!m_output.Close() && valid) {
        if (flushed) {
            m_outputError = ErrorOrOne();
        }
        valid = false;
    }
    if (valid) {
        m_finished.fetch_add(1);
    }
    return flushed && valid;
}

void DivideRun::FailOutput() {
    // A failed write closes the file; what it holds so far stays a valid log. The first error
    // is the one reported.
    const uint32_t error = m_outputError;
    FinishFile();
    m_outputError = error;
}

}  // namespace tessary
