#include "mainwnd/OpenFlow.h"

#include <new>

#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "mainwnd/ConversionStarter.h"
#include "platform/ErrorText.h"
#include "platform/FormatText.h"
#include "platform/Utf.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

constexpr std::u16string_view kTitleRead = u"INSログデータ読込";
constexpr std::u16string_view kTitleConvert = u"INSログデータ変換";
constexpr std::u16string_view kCancelledSuffix = u"を中止しました";
constexpr std::u16string_view kFirstOfTwo = u"1 / 2";
constexpr std::u16string_view kSecondOfTwo = u"2 / 2";

constexpr std::u16string_view kRunning = u"ログデータ変換は、現在実行中です。";
constexpr std::u16string_view kNoPath = u"ファイル名が指定されていません。";
constexpr std::u16string_view kNoMemory = u"メモリ不足です。";
constexpr std::u16string_view kFileMissing = u"ファイルが存在していません。";
constexpr std::u16string_view kNoFolder = u"サブフォルダーが存在していません。";
constexpr std::u16string_view kShared = u"ファイルは読込モードでオープンできません。(共有違反)\n";
constexpr std::u16string_view kCannotOpen = u"ファイルがオープンできません。 \n\nError = %u";
constexpr std::u16string_view kCannotRead = u"ファイルがリードできません。\n\nError = %u";
constexpr std::u16string_view kBadFormat =
    u"ファイル形式が不正です。\n\nリアルタイム出力ログファイルではありません。";
constexpr std::u16string_view kNotIns = u"INS回線用のログファイルではありません。";
constexpr std::u16string_view kAskLine =
    u"INS64の２回線分が格納されています。第１回線目のデータを表示しますか？\n\n"
    u"「はい」をクリックすると、第１回線目のデータを表示\n\n"
    u"「いいえ」をクリックすると、第２回線目のデータを表示\n\n";
constexpr std::u16string_view kAskLineCaption = u"INS64回線選択";
constexpr std::u16string_view kNothingLoaded = u"ログファイル・データが読み込まれていません。";
// Why the log cannot be opened, as far as the error tells; others show kCannotOpen.
constexpr ErrorText kOpenErrors[] = {
    {kErrorFileNotFound, kFileMissing},
    {kErrorPathNotFound, kNoFolder},
    {kErrorAccessDenied, kShared},
};

// Result texts of a pass: conversion (main window) and aggregation.
struct PassTexts {
    std::u16string_view noData;  // status 0 without anything to show
    std::u16string_view cannotStart;
    std::u16string_view noRecord;
    std::u16string_view threadFailed;  // error number template
    std::u16string_view outOfMemory;
    std::u16string_view resource;  // error number template
};
constexpr PassTexts kConversionTexts{
    u"表示可能なINSデータが存在していません。",
    u"ログデータ変換開始できません。",
    u"有効なINSデータが存在していません。",
    u"ログデータ変換スレッドの起動に失敗しました。\n\nError = %u",
    u"ログデータ変換中に、メモリ不足が発生しました。",
    u"ログデータ変換実行中に、リソース異常が発生しました。\n\nError = %u",
};
constexpr PassTexts kAggregationTexts{
    u"検索文字列に該当するINSデータが存在していません。",
    u"ログデータ集約開始できません。",
    u"有効なINSデータが存在していません。",
    u"ログデータ集約スレッドの起動に失敗しました。\n\nError = %u",
    u"ログデータ集約中に、メモリ不足が発生しました。",
    u"ログデータ集約実行中に、リソース異常が発生しました。\n\nError = %u",
};
constexpr std::u16string_view kNoBlockData =
    u"INSブロックが識別でないデータが含まれています。\n\nFilePos = %Xh";

// The pass result of status 0: no data to show becomes 769.
constexpr int32_t kNoDataResult = kOpenResultNoData;

}  // namespace

std::u16string PassResultText(int32_t result, bool aggregation, uint32_t error, uint32_t filePos) {
    const PassTexts& texts = aggregation ? kAggregationTexts : kConversionTexts;
    switch (result) {
        case kStatusDone:
        case kStatusStopped:
            return {};
        case kStatusRunning:
            return std::u16string(texts.cannotStart);
        case kStatusNoRecord:
            return std::u16string(texts.noRecord);
        case kStatusNotStarted:
            return FormatText(texts.threadFailed, error);
        case kStatusOutOfMemory:
            return std::u16string(texts.outOfMemory);
        case kStatusNoBlock:
            return FormatText(kNoBlockData, filePos);
        default:
            return FormatText(texts.resource, error);
    }
}

bool SyncPassProgress::Run(std::u16string_view title, std::u16string_view, uint32_t total,
                           const std::function<int(bool)>& control) {
    if (title.empty() || !control) {
        return false;
    }
    m_title.assign(title);
    m_total = total;
    m_ended.Reset();
    if (control(true) != kStarterStarted) {
        m_ended.Set();
        return true;
    }
    m_ended.Wait(kInfinite);
    return true;
}

void SyncPassProgress::PostNotify(uint32_t, uintptr_t wParam, void* lParam) {
    const auto* reader = static_cast<const CInsFileRead*>(lParam);
    if (m_onProgress && reader != nullptr) {
        m_onProgress(m_title, reader->CurrentPosition(), m_total);
    }
    if (wParam == kNotifyEnded) {
        m_ended.Set();
    }
}

OpenFlow::OpenFlow(CanPara* para, DisplayLineTable* table, OpenFlowHost* host, UiService* ui,
                   PassProgress* progress, NotifyTarget* notify)
    : m_para(para),
      m_table(table),
      m_host(host),
      m_ui(ui),
      m_progress(progress),
      m_notify(notify) {}

OpenFlow::~OpenFlow() {
    // The table's lines point into the converter's text.
    if (m_table != nullptr) {
        m_table->FreeText();
    }
    m_converter.reset();
}

bool OpenFlow::NeedsTwoPasses(const CTessaryCan& converter) {
    return converter.CorrectionState() == 1;
}

int32_t OpenFlow::Open(const PathString& path, int lineChoice) {
    return Run(true, lineChoice, path);
}

int32_t OpenFlow::Reconvert(int lineChoice) {
    return Run(false, lineChoice, PathString());
}

void OpenFlow::ReleaseTable(WindowState mode) {
    m_host->UpdateState(mode);
    if (mode == WindowState::kNoFile || mode == WindowState::kReconverting) {
        m_table->FreeText();
    }
}

int32_t OpenFlow::Construct(const PathString& path, int lineChoice,
                            std::unique_ptr<CTessaryCan>& converter, std::u16string& text) {
    converter.reset(new (std::nothrow) CTessaryCan(path, m_para));
    if (!converter) {
        text = kNoMemory;
        return kOpenResultOther;
    }
    m_para->Flag[0] &= static_cast<uint8_t>(~kFlag0LineSelectMask);
    const uint32_t error = converter->LastError();
    switch (converter->OpenStatus()) {
        case kOpenOk:
            break;
        case kOpenFailed:
            text = ErrorMessage(kOpenErrors, error, kCannotOpen);
            return kOpenResultNotFound;
        case kOpenReadError:
            text = FormatText(kCannotRead, error);
            return kOpenResultReadFailed;
        case kOpenFormatError:
            text = kBadFormat;
            return kOpenResultBadFormat;
        default:
            text = kNoMemory;
            return kOpenResultOther;
    }
    const uint8_t dataKind = converter->Header().dataKind;
    if (dataKind == kDataKindInsSingle) {
        return kOpenResultDone;
    }
    if (dataKind != kDataKindIns64Bulk) {
        text = kNotIns;
        return kOpenResultBadFormat;
    }
    int line = lineChoice;
    if (line != kLineFirst && line != kLineSecond) {
        const Answer answer = m_ui->Ask(kAskLine, kAskLineCaption);
        if (answer == Answer::kYes) {
            line = kLineFirst;
        } else if (answer == Answer::kNo) {
            line = kLineSecond;
        } else {
            return kOpenResultOther;  // no message
        }
    }
    m_para->Flag[0] |= static_cast<uint8_t>(line << kFlag0LineSelectShift);
    return kOpenResultDone;
}

int32_t OpenFlow::Convert(CTessaryCan& converter, std::u16string_view title,
                          std::u16string_view subtitle, std::u16string& text) {
    ConverterSubject subject(&converter, m_notify);
    const auto control = [&](bool start) { return RunConversionControl(&subject, m_table, start); };
    m_running = true;
    const bool ran = m_progress->Run(title, subtitle, converter.DataSize(), control);
    m_running = false;
    converter.WaitForWalk();
    int32_t result = ran ? subject.ResultCode() : kStatusRunning;
    if (result == kStatusDone && (converter.LineCount() <= 1 || m_table->LineCount() < 1)) {
        text = kConversionTexts.noData;
        result = kNoDataResult;
    } else if (result != kStatusDone) {
        const uint32_t error =
            subject.ResultError() != 0 ? subject.ResultError() : converter.LastError();
        text = PassResultText(result, false, error,
                              converter.FileOffsetOf(converter.RecordPosition()));
    }
    if (converter.IsFileOpen()) {
        converter.CloseFile();
    }
    return result;
}

bool OpenFlow::ApplyEndTimeBase(CTessaryCan& converter, int64_t elapsed) {
    const int64_t base = BaseOffsetFromEndTime(converter.EndTime(), elapsed, converter.StartTime());
    if (!converter.SetBaseTime(base)) {
        return false;
    }
    converter.SetStartCorrectionValue(base);
    return true;
}

int32_t OpenFlow::Run(bool newFile, int lineChoice, const PathString& path) {
    m_para->Flag[1] &= static_cast<uint8_t>(~kFlag1SecondRowSlot);
    const std::u16string_view title = newFile ? kTitleRead : kTitleConvert;
    if (m_running) {
        m_ui->Warn(kRunning, title);
        return kOpenResultCannotStart;
    }
    std::u16string text;
    std::u16string_view subtitle;
    std::unique_ptr<CTessaryCan> fresh;
    CTessaryCan* converter = nullptr;
    int32_t result = kOpenResultDone;
    if (newFile) {
        m_para->Flag[1] &= static_cast<uint8_t>(~(kFlag1SecondRowSlot | kFlag1Redeliver));
        if (path.empty()) {
            m_ui->Warn(kNoPath, title);
            return kOpenResultNotFound;
        }
        const uint8_t lineBits = m_para->Flag[0] & kFlag0LineSelectMask;
        result = Construct(path, lineChoice, fresh, text);
        if (result != kOpenResultDone) {
            // The loaded file stays loaded: keep the line it shows (its legend names it).
            m_para->Flag[0] =
                static_cast<uint8_t>((m_para->Flag[0] & ~kFlag0LineSelectMask) | lineBits);
        }
        if (fresh && result == kOpenResultDone && NeedsTwoPasses(*fresh)) {
            subtitle = kFirstOfTwo;
        }
        converter = fresh.get();
    } else {
        m_para->Flag[1] |= kFlag1Redeliver;
        if (!m_converter) {
            m_ui->Warn(kNothingLoaded, title);
            return kOpenResultCannotStart;
        }
        if (lineChoice == kLineSecondPass) {
            subtitle = kSecondOfTwo;
        }
        converter = m_converter.get();
    }

    bool panesWereVisible = false;
    if (result == kOpenResultDone) {
        if (newFile) {
            ReleaseTable(WindowState::kNoFile);
            m_host->ClearSearch();
            m_converter.reset();
            m_loadedPath.clear();
        } else {
            ReleaseTable(WindowState::kReconverting);
        }
        panesWereVisible = m_host->HidePanes();
        result = Convert(*converter, title, subtitle, text);
    }

    if (result != kOpenResultDone) {
        ReleaseTable(WindowState::kNoFile);
        fresh.reset();
        if (result == kOpenResultCancelled) {
            m_host->ShowStatus(std::u16string(title) + std::u16string(kCancelledSuffix));
        } else if (!text.empty()) {
            text += u"\n\n<";
            text += Utf16(newFile ? path : PathString());
            text += u">";
            m_ui->Warn(text, title);
        }
        if (panesWereVisible) {
            m_host->ShowPanes();
        }
        return result;
    }

    bool secondPass = false;
    if (!newFile) {
        m_host->UpdateState(WindowState::kReconverted);
    } else {
        m_converter = std::move(fresh);
        m_loadedPath = path;
        m_host->UpdateState(WindowState::kLoaded);
        secondPass =
            NeedsTwoPasses(*m_converter) && ApplyEndTimeBase(*m_converter, m_converter->Elapsed());
    }
    if (panesWereVisible) {
        m_host->ShowPanes();
    }
    if (secondPass && !m_host->PostSecondPass()) {
        return Reconvert(kLineSecondPass);
    }
    return kOpenResultDone;
}

}  // namespace tessary
