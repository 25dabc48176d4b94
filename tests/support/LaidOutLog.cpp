#include "support/LaidOutLog.h"

#include "logfile/Status.h"

namespace tessary::test {

DisplayModel::DisplayModel() {
    ResetPara(para);
    table.SetSource(DisplaySource{&para, conditions});
}

DisplayModel::~DisplayModel() {
    table.FreeText();
}

LaidOutLog::~LaidOutLog() {
    table.FreeText();
    converter.reset();
}

int32_t LaidOutLog::Open(const std::string& path) {
    table.FreeText();
    converter.reset();
    converter = std::make_unique<CTessaryCan>(path, &para);
    return converter->OpenStatus();
}

int32_t LaidOutLog::Pass(LineCallback callback, void* user, NotifyTarget* notify) {
    const int32_t started = converter->StartPass(callback, user != nullptr ? user : &table, notify);
    if (started != kStatusDone) {
        return started;
    }
    converter->WaitForWalk();
    return converter->ConversionStatus();
}

int32_t LaidOutLog::Redeliver(LineCallback callback, void* user, NotifyTarget* notify) {
    table.FreeText();
    para.Flag[1] |= kFlag1Redeliver;
    const int32_t status = Pass(callback, user, notify);
    para.Flag[1] &= static_cast<uint8_t>(~kFlag1Redeliver);
    return status;
}

}  // namespace tessary::test
