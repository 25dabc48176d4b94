#pragma once
// The log file divide: copies the records of one log, unchanged, into one new linear log per
// calendar date of their times. A window runs it pass by pass under the progress dialog
// (StartPass / OnNotify / EndPass / Finish); Run does the same on the calling thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "logfile/CTessaryData.h"
#include "logfile/InsLogFormat.h"
#include "platform/Calendar.h"
#include "platform/File.h"

namespace tessary {

struct DivideOutcome {
    // The run's result: 0 normal end, 0x300 aborted, 0x301 no data, 774 an output file could
    // not be written, other reader statuses; -1 the checks before the run failed.
    int32_t result = -1;
    // A message box is due: `message` with `caption` (warning icon).
    bool failed = false;
    std::u16string message;
    std::u16string caption;
    // The status line after the run.
    std::u16string statusLine;
    // For a command line: 0 done, 1 the source cannot be opened or is no INS log, 2 a name is
    // missing or the folder does not exist, 3 the run failed or was aborted.
    int exitCode = 3;
};

class DivideRun {
public:
    // Option byte of the reader: both INS-Net 64 lines.
    static constexpr uint8_t kBothLines = 8;

    DivideRun();
    ~DivideRun();
    DivideRun(const DivideRun&) = delete;
    DivideRun& operator=(const DivideRun&) = delete;

    // The checks and the opening of the source. `correction` (0 = none) is the start correction
    // of the log shown in the main window. False with Outcome() holding the message.
    bool Prepare(const PathString& sourceText, const PathString& folderText, int64_t correction,
                 uint8_t optionByte = kBothLines);

    // The pass under way, for the progress dialog (title, subtitle, total bytes).
    std::u16string PassTitle() const;
    std::u16string PassSubtitle() const;
    uint32_t Total() const;
    CTessaryData* Reader() const { return m_reader.get(); }

    // Control function, start: 0 when the walk runs, else the reader's start result.
    int32_t StartPass(NotifyTarget* window);
    // Control function, stop (the progress dialog's abort).
    void StopPass();
    // Each WM_APP+1 of the reader, on the thread that started the pass. At the end of the walk
    // the output file still open is finished.
    void OnNotify(uintptr_t wParam);
    // "分割個数=%d, 警告数=%u", or empty before the first record.
    std::u16string StatusText() const;
    // After the progress dialog closed with `endCode` (-1 when it refused to run). True when
    // the second pass of a two-pass run must follow.
    bool EndPass(int endCode);
    // The result, its message and the status line; releases the source.
    const DivideOutcome& Finish();

    // Prepare, both passes and Finish on the calling thread; `progress` (bytes done, total) is
    // called on that thread.
    const DivideOutcome& Run(const PathString& sourceText, const PathString& folderText,
                             const std::function<void(uint32_t, uint32_t)>& progress = {});

    const DivideOutcome& Outcome() const { return m_outcome; }
    int FinishedFiles() const { return m_finished.load(); }
    const PathString& OutputPath() const { return m_outputPath; }

private:
    static int32_t RecordCallback(CTessaryData* reader, uint8_t* record, void* user);
    int32_t OnRecordBytes(const uint8_t* record);
    bool BeginFile(const SystemTime& time, int64_t ticks, uint32_t count);
    // Writes the final header and closes the open file; false when a step failed.
    bool FinishFile();
    bool WriteHeader();
    // Writes the buffered records after those already in the file.
    bool FlushRecords();
    void FailOutput();
    void Reset();
    bool Refuse(std::u16string_view message, std::u16string_view caption, int exitCode);

    uint8_t m_optionByte = kBothLines;
    std::unique_ptr<CTessaryData> m_reader;
    bool m_twoPass = false;
    int m_pass = 0;
    PathString m_folder;  // ends with a separator
    PathString m_baseName;
    PathString m_extension;
    PathString m_outputPath;
    int64_t m_firstTime = 0;
    int64_t m_lastTime = 0;
    int64_t m_lastWrittenTime = 0;  // of the last record that reached the file
    std::atomic<int> m_finished{-1};
    InsLogHeader m_header{};
    InsLogExtHeader m_ext{};
    File m_output;
    uint32_t m_bytesWritten = 0;  // record bytes in the file
    std::unique_ptr<uint8_t[]> m_buffer;
    uint32_t m_buffered = 0;
    uint32_t m_outputError = 0;
    int32_t m_result = 0;
    uint32_t m_startError = 0;
    bool m_finishFailed = false;
    DivideOutcome m_outcome;
};

}  // namespace tessary
