#include "tools/StartCorrection.h"

#include <string>

#include "logfile/CLogFileRead.h"
#include "platform/ErrorText.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/UiService.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "tools/CorrectionMessages.h"
#include "tools/FileAttributes.h"

namespace tessary {

namespace ct = correctiontext;

namespace {

constexpr int kNothingToSave = 5;

// Why the overwrite save failed, as far as the error tells.
constexpr ErrorText kSaveErrors[] = {
    {kErrorFileNotFound, ct::kSaveNotFound},
    {kErrorPathNotFound, ct::kSaveNotFound},
    {kErrorAccessDenied, ct::kSaveProtected},
    {kErrorSharingViolation, ct::kSaveProtected},
};

std::u16string SaveFailureText(const PathString& path, uint32_t error) {
    return FormatText(ct::kSaveFailed, Utf16(path),
                      ErrorMessage(kSaveErrors, error, ct::kSaveError));
}

}  // namespace

bool IsCorrectionInRange(int64_t ms) {
    return ms >= kMinStartCorrection && ms <= kMaxStartCorrection;
}

int64_t NewCorrection(int64_t enteredTicks, int64_t currentTicks, int64_t currentCorrection) {
    // Representable times lie within years 1601-30827, so neither step can overflow.
    return (enteredTicks - currentTicks) / kTicksPerMs + currentCorrection;
}

bool HasUnsavedCorrection(const CLogFileRead& reader) {
    return reader.StartCorrection() != StartCorrectionOf(reader.Header());
}

int CheckCorrection(CLogFileRead* reader, std::u16string_view question, std::u16string_view caption,
                    UiService& ui) {
    if (reader == nullptr) {
        return -1;
    }
    if (!HasUnsavedCorrection(*reader)) {
        return kNothingToSave;
    }
    const std::u16string text = std::u16string(ct::kCorrected) + std::u16string(question);
    return static_cast<int>(ui.AskWithCancel(text, caption));
}

bool RewriteHeader(const PathString& path, const InsLogHeader& header, const InsLogExtHeader* ext,
                   uint32_t& error) {
    if (HasReadOnlyAttribute(path)) {
        error = kErrorAccessDenied;
        return false;
    }
    uint8_t bytes[kInsHeaderSize + kInsExtHeaderSize] = {};
    uint8_t headerBytes[kInsHeaderSize];
    SerializeInsLogHeader(header, headerBytes);
    uint32_t count = kInsHeaderSize;
    for (uint32_t i = 0; i < kInsHeaderSize; ++i) {
        bytes[i] = headerBytes[i];
    }
    if (ext != nullptr) {
        uint8_t extBytes[kInsExtHeaderSize];
        SerializeInsLogExtHeader(*ext, extBytes);
        for (uint32_t i = 0; i < kInsExtHeaderSize; ++i) {
            bytes[kInsHeaderSize + i] = extBytes[i];
        }
        count += kInsExtHeaderSize;
    }
    File file;
    if (!file.OpenReadWrite(path)) {
        error = ErrorOrOne();
        return false;
    }
    // Writing past the end would grow a file that has changed since it was read.
    uint64_t size = 0;
    if (!file.Size(size)) {
        error = ErrorOrOne();
        return false;
    }
    if (size < count) {
        error = kErrorHandleEof;
        return false;
    }
    if (!file.WriteAt(0, bytes, count) || !file.Close()) {
        error = ErrorOrOne();
        return false;
    }
    return true;
}

int32_t SaveCorrection(CLogFileRead* reader, int64_t value, bool confirm, UiService& ui) {
    const std::u16string_view caption = ct::kSaveCaption;
    if (reader == nullptr || reader->Path().empty()) {
        ui.Warn(ct::kNoLog, caption);
        return kStatusNoLog;
    }
    const PathString& path = reader->Path();
    if (confirm && ui.Ask(FormatText(ct::kSaveConfirm, Utf16(path)), ct::kSaveConfirmCaption) !=
                       Answer::kYes) {
        return 0;
    }
    if (!IsCorrectionInRange(value)) {
        SetStartCorrection(reader->MutableHeader(), 0);
        ui.Warn(FormatText(ct::kSaveOutOfRange, Utf16(path)), caption);
        return -1;
    }
    InsLogHeader header = reader->Header();
    SetStartCorrection(header, value);
    uint32_t error = kErrorSuccess;
    if (!RewriteHeader(path, header, reader->HasExtHeader() ? &reader->ExtHeader() : nullptr,
                       error)) {
        // The header copy keeps its old value: the correction still counts as unsaved.
        ui.Warn(SaveFailureText(path, error), caption);
        SetLastError(error);
        return kStatusWriteError;
    }
    reader->MutableHeader() = header;
    return 0;
}

bool ConfirmLeaving(CLogFileRead* reader, bool beforeExit, UiService& ui) {
    const int answer =
        CheckCorrection(reader, beforeExit ? ct::kBeforeExit : ct::kBeforeOpen,
                        beforeExit ? ct::kBeforeExitCaption : ct::kBeforeOpenCaption, ui);
    if (answer == static_cast<int>(Answer::kCancel)) {
        return false;
    }
    if (answer == static_cast<int>(Answer::kYes)) {
        SaveCorrection(reader, reader->StartCorrection(), false, ui);
    }
    return true;
}

}  // namespace tessary
