#include "settings/SettingsRecord.h"

#include <algorithm>
#include <cstdio>

namespace tessary {
namespace {

std::string Numbered(const char* family, int number) {
    char name[48];
    std::snprintf(name, sizeof name, "%s_%02d", family, number);
    return name;
}

char16_t FoldAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

void LoadInt(const SettingsStore& store, const char* name, int32_t& value) {
    uint32_t read = 0;
    if (store.GetInt(name, read)) {
        value = static_cast<int32_t>(read);
    }
}

void LoadShowCmd(const SettingsStore& store, const char* name, int32_t& value) {
    LoadInt(store, name, value);
    if (value != kShowNormal && value != kShowMaximized) {
        value = kShowNormal;
    }
}

void LoadPlacement(const SettingsStore& store, WindowPlacement& placement, const char* showCmd,
                   const char* left, const char* top, const char* right, const char* bottom) {
    LoadShowCmd(store, showCmd, placement.showCmd);
    LoadInt(store, left, placement.left);
    LoadInt(store, top, placement.top);
    LoadInt(store, right, placement.right);
    LoadInt(store, bottom, placement.bottom);
}

void LoadHistory(const SettingsStore& store, const char* family,
                 std::vector<std::u16string>& list) {
    for (int i = static_cast<int>(kHistoryMax) - 1; i >= 0; --i) {
        std::u16string text;
        if (store.GetString(Numbered(family, i), text)) {
            AddToHistory(list, TrimBlanks(text));
        }
    }
}

// 1-127 accepted, anything else keeps the present value.
void LoadParaValue(const SettingsStore& store, const char* name, int32_t& value) {
    uint32_t read = 0;
    if (store.GetInt(name, read) && read >= static_cast<uint32_t>(kParaValueMin) &&
        read <= static_cast<uint32_t>(kParaValueMax)) {
        value = static_cast<int32_t>(read);
    }
}

template <size_t N>
void LoadSlot(const SettingsStore& store, const std::string& name, char16_t (&slot)[N], bool trim) {
    std::u16string text;
    if (store.GetString(name, text)) {
        CopyToSlot(slot, trim ? TrimBlanks(text) : std::u16string_view(text));
    }
}

bool SavePlacement(SettingsStore& store, const WindowPlacement& placement, const char* showCmd,
                   const char* left, const char* top, const char* right, const char* bottom) {
    bool ok = store.SetInt(showCmd, static_cast<uint32_t>(placement.showCmd));
    ok &= store.SetInt(left, static_cast<uint32_t>(placement.left));
    ok &= store.SetInt(top, static_cast<uint32_t>(placement.top));
    ok &= store.SetInt(right, static_cast<uint32_t>(placement.right));
    ok &= store.SetInt(bottom, static_cast<uint32_t>(placement.bottom));
    return ok;
}

bool SaveHistory(SettingsStore& store, const char* family,
                 const std::vector<std::u16string>& list) {
    bool ok = true;
    for (size_t i = 0; i < kHistoryMax; ++i) {
        ok &= store.SetString(Numbered(family, static_cast<int>(i)),
                              i < list.size() ? std::u16string_view(list[i]) : u"");
    }
    return ok;
}

}  // namespace

std::u16string_view TrimBlanks(std::u16string_view text) {
    auto blank = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

size_t AddToHistory(std::vector<std::u16string>& list, std::u16string_view text) {
    if (text.empty()) {
        return list.size();
    }
    std::u16string copy(text);
    std::erase_if(list, [&](const std::u16string& entry) {
        return entry.empty() || EqualNoCase(entry, copy);
    });
    if (list.size() >= kHistoryMax) {
        list.resize(kHistoryMax - 1);
    }
    list.insert(list.begin(), std::move(copy));
    return list.size();
}

int AddToHistory(std::vector<std::u16string>& list, std::optional<std::u16string_view> text,
                 const std::function<bool()>& refill) {
    if (text.has_value()) {
        AddToHistory(list, *text);
    }
    if (refill && !refill()) {
        list.clear();
        return -2;
    }
    return static_cast<int>(list.size());
}

void ResetSettings(SettingsRecord& record) {
    record = SettingsRecord{};
    ResetPara(record.para);
    record.searchHistory.emplace_back(kSearchHistorySeed);
}

bool StampProgramVersion(SettingsStore& store, uint32_t programVersion) {
    uint32_t stored = 0;
    store.GetInt(kProgramVersionValue, stored);
    return stored != programVersion && store.SetInt(kProgramVersionValue, programVersion);
}

void LoadSettings(SettingsRecord& record, const SettingsStore& store) {
    LoadPlacement(store, record.mainWindow, "RestoreShowCmd", "RestoreWndLeft", "RestoreWndTop",
                  "RestoreWndRight", "RestoreWndBottom");
    LoadPlacement(store, record.summaryWindow, "RestoreSumShowCmd", "RestoreSumLeft",
                  "RestoreSumTop", "RestoreSumRight", "RestoreSumBottom");

    int32_t point = record.paneFontPoint;
    LoadInt(store, "PaneFontPoint", point);
    point = std::clamp(point, kPaneFontPointMin, kPaneFontPointMax);
    record.paneFontPoint = point - point % kPaneFontPointStep;

    LoadHistory(store, "LogFileMruList", record.recentFiles);
    LoadHistory(store, "FindTextMruList", record.searchHistory);

    CanPara& para = record.para;
    uint32_t flags = 0;
    if (store.GetInt("CanParaFlag", flags)) {
        SetFlagWord(para, flags & kCanParaFlagPersistMask);
    }
    LoadParaValue(store, "CanParaSpcCnt", para.SpcCnt);
    LoadParaValue(store, "CanParaTabLen", para.TabLen);
    LoadParaValue(store, "CanParaBlockLen", para.BlockLen);
    for (int i = 0; i < kColorClassCount; ++i) {
        uint32_t color = 0;
        if (store.GetInt(Numbered("CanParaColText", i), color)) {
            para.Color[i].text = color;
        }
        if (store.GetInt(Numbered("CanParaColBack", i), color)) {
            para.Color[i].back = color;
        }
    }
    LoadSlot(store, "CanParaTitleDemi", para.TitleDemi, true);
    for (int i = 0; i < kBlockCount; ++i) {
        LoadSlot(store, Numbered("CanParaBlockDef", i), para.BlockDef[i], true);
    }
    for (int i = 0; i < static_cast<int>(kMarkIfTextCount); ++i) {
        LoadSlot(store, Numbered("CanParaMarkIfText", i), para.MarkIfText[i], false);
    }
    std::u16string text;
    if (store.GetString("DivideInpPath", text)) {
        record.divideInpPath.assign(TrimBlanks(text));
    }
    if (store.GetString("DivideOutDir", text)) {
        record.divideOutDir.assign(TrimBlanks(text));
    }
    LoadPlacement(store, record.callListWindow, "RestoreCallShowCmd", "RestoreCallLeft",
                  "RestoreCallTop", "RestoreCallRight", "RestoreCallBottom");
}

bool SaveSettings(const SettingsRecord& record, SettingsStore& store) {
    bool ok = SavePlacement(store, record.mainWindow, "RestoreShowCmd", "RestoreWndLeft",
                            "RestoreWndTop", "RestoreWndRight", "RestoreWndBottom");
    ok &= SavePlacement(store, record.summaryWindow, "RestoreSumShowCmd", "RestoreSumLeft",
                        "RestoreSumTop", "RestoreSumRight", "RestoreSumBottom");
    ok &= store.SetInt("PaneFontPoint", static_cast<uint32_t>(record.paneFontPoint));
    ok &= SaveHistory(store, "LogFileMruList", record.recentFiles);
    ok &= SaveHistory(store, "FindTextMruList", record.searchHistory);
    const CanPara& para = record.para;
    ok &= store.SetInt("CanParaFlag", FlagWord(para));
    ok &= store.SetInt("CanParaSpcCnt", static_cast<uint32_t>(para.SpcCnt));
    ok &= store.SetInt("CanParaTabLen", static_cast<uint32_t>(para.TabLen));
    ok &= store.SetInt("CanParaBlockLen", static_cast<uint32_t>(para.BlockLen));
    for (int i = 0; i < kColorClassCount; ++i) {
        ok &= store.SetInt(Numbered("CanParaColText", i), para.Color[i].text);
        ok &= store.SetInt(Numbered("CanParaColBack", i), para.Color[i].back);
    }
    ok &= store.SetString("CanParaTitleDemi", SlotText(para.TitleDemi));
    for (int i = 0; i < kBlockCount; ++i) {
        ok &= store.SetString(Numbered("CanParaBlockDef", i), SlotText(para.BlockDef[i]));
    }
    for (int i = 0; i < static_cast<int>(kMarkIfTextCount); ++i) {
        ok &= store.SetString(Numbered("CanParaMarkIfText", i), SlotText(para.MarkIfText[i]));
    }
    ok &= store.SetString("DivideInpPath", record.divideInpPath);
    ok &= store.SetString("DivideOutDir", record.divideOutDir);
    ok &= SavePlacement(store, record.callListWindow, "RestoreCallShowCmd", "RestoreCallLeft",
                        "RestoreCallTop", "RestoreCallRight", "RestoreCallBottom");
    return ok;
}

}  // namespace tessary
