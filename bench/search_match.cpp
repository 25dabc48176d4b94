// Record tests per second of SearchCondition::Match over decoded-looking record texts.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "decode/SearchCondition.h"
#include "platform/Utf.h"

namespace {

using tessary::SearchCondition;

std::u16string Ascii(const char* text) {
    return tessary::Utf16(text);
}

unsigned Next(std::mt19937& random) {
    return static_cast<unsigned>(random());
}

void AppendHexRows(std::u16string& text, std::mt19937& random, int bytes) {
    char cell[4];
    for (int i = 0; i < bytes; ++i) {
        std::snprintf(cell, sizeof cell, "%02X", static_cast<unsigned>(Next(random) & 0xFF));
        text += Ascii(cell);
        text += (i % 16 == 15 || i + 1 == bytes) ? u'\n' : u' ';
    }
}

std::u16string Header(unsigned id, unsigned ms, int kind) {
    char head[96];
    std::snprintf(head, sizeof head, "ID=%07u TM=07/%02u:%02u:%02u.%03u ", id, ms / 3600000 % 24,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    std::u16string text = Ascii(head);
    text += u"種=";
    text += static_cast<char16_t>(u'0' + kind);
    text += u' ';
    return text;
}

// A mix like a busy line: mostly RR and call control, some layer 1 and a few warnings.
std::vector<std::u16string> MakeRecords(size_t count) {
    static const char16_t* const kMessages[] = {u"呼設定", u"呼設定受付", u"呼出",     u"応答",
                                                u"切断",   u"解放",       u"解放完了", u"情報"};
    std::mt19937 random(1234);
    std::vector<std::u16string> records;
    records.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const auto id = static_cast<unsigned>(i + 1);
        const unsigned ms = 45000000 + id * 37;
        const unsigned pick = Next(random) % 100;
        const char16_t block = static_cast<char16_t>(u'A' + Next(random) % 4);
        std::u16string text;
        if (pick < 3) {
            char warning[96];
            std::snprintf(warning, sizeof warning, "ID=%07u Warning=%u FilePos=%08Xh(%08Xh)", id,
                          1 + Next(random) % 2, id * 40, id * 40 + 24);
            text = Ascii(warning);
        } else if (pick < 10) {
            text = Header(id, ms, 9) + u"LY1=34=後位含め全ok";
        } else if (pick < 55) {
            char tei[64];
            std::snprintf(tei, sizeof tei, "TEI=%u[RR]%c N(R)=%u\n", 64 + Next(random) % 3,
                          Next(random) % 2 ? 'c' : 'r', static_cast<unsigned>(Next(random) % 128));
            text = Header(id, ms, 0) + Ascii(tei);
            AppendHexRows(text, random, 6);
        } else {
            char tei[64];
            std::snprintf(tei, sizeof tei, "TEI=%u[I]c N(S)=%u N(R)=%u\n", 64 + Next(random) % 3,
                          static_cast<unsigned>(Next(random) % 128),
                          static_cast<unsigned>(Next(random) % 128));
            text = Header(id, ms, 0) + Ascii(tei);
            text += block;
            text += u'-';
            text += kMessages[Next(random) % std::size(kMessages)];
            char call[96];
            std::snprintf(call, sizeof call, "- 呼番号=%s%u CH=%02u変更可\n",
                          Next(random) % 2 ? "着" : "発", static_cast<unsigned>(Next(random) % 128),
                          static_cast<unsigned>(1 + Next(random) % 23));
            text += tessary::Utf16(call);
            text += u"発番号=0312345678 着番号=0398765432\n";
            text += u"伝能=音声 情報転送能力=3.1kHzオーディオ 転送モード=回線交換\n";
            text += u"経過識別＃=3 発着情報=発信端末 高位レイヤ整合性=電話\n";
            text += u"低位レイヤ整合性=音声 ユーザ・ユーザ=IA5 00 12 34 進捗表示=相手非ISDN\n";
            AppendHexRows(text, random, 40 + static_cast<int>(Next(random) % 80));
        }
        records.push_back(std::move(text));
    }
    return records;
}

void Measure(const char* label, const std::u16string& definition,
             const std::vector<std::u16string>& records) {
    SearchCondition condition;
    if (condition.Compile(definition, -1) != 0) {
        std::printf("%-30s does not compile\n", label);
        return;
    }
    using Clock = std::chrono::steady_clock;
    size_t tests = 0;
    size_t matches = 0;
    const auto start = Clock::now();
    double seconds = 0;
    do {
        for (const std::u16string& text : records) {
            matches += condition.Match(text) == 0 ? 1 : 0;
        }
        tests += records.size();
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < 1.0);
    std::printf("%-30s %12.0f record tests/s  (%5.2f%% match)  %s\n", label, tests / seconds,
                100.0 * static_cast<double>(matches) / static_cast<double>(tests),
                tessary::Utf8(definition).c_str());
}

}  // namespace

int main() {
    const std::vector<std::u16string> records = MakeRecords(5000);
    size_t characters = 0;
    for (const std::u16string& text : records) {
        characters += text.size();
    }
    std::printf("records: %zu, mean text length: %.0f characters\n", records.size(),
                static_cast<double>(characters) / static_cast<double>(records.size()));
    Measure("AND, Japanese + ASCII word", u";<呼設定> <CH=01>;0", records);
    Measure("AND, two rare ASCII words", u";<setup> <ch=01>;0", records);
    Measure("AND, two common ASCII words", u";<TEI=64> <N(R)=5>;0", records);
    Measure("OR of four words", u";<Warning> | <規定外> | <対象外> | <CRCエラー>;0", records);
    Measure("one word", u";CH=01変更可;0", records);
    return 0;
}
