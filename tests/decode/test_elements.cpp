// Information elements: the element walk and its ends, the element search, the channel and
// number summaries and every value decoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Layer3TestSupport.h"
#include "decode/Elements.h"

namespace tessary::test {
namespace {

// The text after the second row's call reference of a received SETUP with `elements`.
std::string Tail(const std::vector<uint8_t>& elements) {
    Decoded d = DecodeBytes(SetupFrame(elements), 'R', 1, 127);
    EXPECT_EQ(d.status, 0);
    const std::string head = kSetupRows;
    EXPECT_EQ(d.text.compare(0, head.size(), head), 0) << d.text;
    return d.text.substr(head.size());
}

// Element rows of a message without channel or number elements.
std::string Rows(const std::vector<uint8_t>& elements) {
    std::string tail = Tail(elements);
    EXPECT_EQ(tail.substr(0, 1), "\n");
    return tail.substr(1);
}

// The channel summary on the second row.
std::string Channel(const std::vector<uint8_t>& elements) {
    std::string tail = Tail(elements);
    size_t end = tail.find('\n');
    return tail.substr(0, end).substr(tail.empty() || tail[0] != ' ' ? 0 : 1);
}

// The number row (empty when there is none).
std::string Numbers(const std::vector<uint8_t>& elements) {
    std::string tail = Tail(elements);
    size_t start = tail.find('\n') + 1;
    size_t end = tail.find('\n', start);
    return end == std::string::npos ? "" : tail.substr(start, end - start);
}

TEST(ElementsTest, BearerCapability) {
    EXPECT_EQ(Rows({0x04, 0x03, 0x80, 0x90, 0xA3}), "伝能=音声");
    EXPECT_EQ(Rows({0x04, 0x02, 0x88, 0x90}), "伝能=非制限デジタル");
    EXPECT_EQ(Rows({0x04, 0x02, 0x90, 0x90}), "伝能=3.1kｵ");
    EXPECT_EQ(Rows({0x04, 0x02, 0xA8, 0x90}), "伝能=不明");
    EXPECT_EQ(Rows({0x04, 0x00}), "伝能=");
}

TEST(ElementsTest, CauseInBothLayouts) {
    EXPECT_EQ(Rows({0x08, 0x02, 0x80, 0x90}), "理由表示=正常");
    EXPECT_EQ(Rows({0x08, 0x02, 0x80, 0x9F}), "理由表示=正常");
    EXPECT_EQ(Rows({0x08, 0x02, 0x80, 0x91}), "理由表示=0x11(17)");
    EXPECT_EQ(Rows({0x08, 0x02, 0x82, 0xFF}), "理由表示=0x7F(127)");
    // Octet 1 without its extension bit: a recommendation octet comes before the value.
    EXPECT_EQ(Rows({0x08, 0x03, 0x00, 0x80, 0x90}), "理由表示=正常");
    EXPECT_EQ(Rows({0x08, 0x03, 0x00, 0x80, 0xA2}), "理由表示=0x22(34)");
    // The value octet absent.
    EXPECT_EQ(Rows({0x08, 0x01, 0x80}), "理由表示=");
    EXPECT_EQ(Rows({0x08, 0x02, 0x00, 0x80}), "理由表示=");
}

TEST(ElementsTest, CallStatesComparedWhole) {
    EXPECT_EQ(Rows({0x14, 0x01, 0x00, 0x14, 0x01, 0x0A, 0x14, 0x01, 0x3E}),
              "呼状態=空 呼状態=通信中 呼状態=初期設定");
    // Gaps in the table, and the coding standard bits set.
    EXPECT_EQ(Rows({0x14, 0x01, 0x02, 0x14, 0x01, 0x4A, 0x14, 0x01, 0xFF}),
              "呼状態=不明 呼状態=不明 呼状態=不明");
}

std::vector<uint8_t> WithheldFacility(uint8_t reason) {
    return {0x1C, 0x11, 0x91, 0xA1, 0x0E, 0x02, 0x01, 0x5A, 0x06,  0x06,
            0x02, 0x83, 0x38, 0x66, 0x01, 0x01, 0x0A, 0x01, reason};
}

std::vector<uint8_t> INumberFacility(uint8_t number) {
    return {0x1C, 0x14, 0x91, 0xA1, 0x11, 0x02, 0x01, 0x00, 0x06, 0x07, 0x03,
            0xA2, 0x31, 0x87, 0x69, 0x01, 0x05, 0x31, 0x03, 0x81, 0x01, number};
}

TEST(ElementsTest, FacilityForms) {
    EXPECT_EQ(Rows(WithheldFacility(0)), "ファシリティ=発番Oサービス提供不可");
    EXPECT_EQ(Rows(WithheldFacility(1)), "ファシリティ=発番Pユーザ拒否");
    EXPECT_EQ(Rows(WithheldFacility(2)), "ファシリティ=発番Sサービス競合");
    EXPECT_EQ(Rows(WithheldFacility(3)), "ファシリティ=発番C公衆電話");
    EXPECT_EQ(Rows(WithheldFacility(4)), "ファシリティ=??");
    EXPECT_EQ(Rows(INumberFacility(1)), "ファシリティ=iナンバー1");
    EXPECT_EQ(Rows(INumberFacility(3)), "ファシリティ=iナンバー3");
    EXPECT_EQ(Rows(INumberFacility(0)), "ファシリティ=??");
    EXPECT_EQ(Rows(INumberFacility(4)), "ファシリティ=??");

    // A longer content still matches; one differing octet, or one missing, does not.
    std::vector<uint8_t> longer = WithheldFacility(2);
    longer[1] = 0x12;
    longer.push_back(0x00);
    EXPECT_EQ(Rows(longer), "ファシリティ=発番Sサービス競合");
    std::vector<uint8_t> differing = WithheldFacility(2);
    differing[12] = 0x39;
    EXPECT_EQ(Rows(differing), "ファシリティ=??");
    std::vector<uint8_t> shorter = INumberFacility(1);
    shorter.pop_back();
    shorter[1] = 0x13;
    EXPECT_EQ(Rows(shorter), "ファシリティ=??");
    EXPECT_EQ(Rows({0x1C, 0x03, 0x91, 0xA1, 0x0E}), "ファシリティ=??");
    EXPECT_EQ(Rows({0x1C, 0x00}), "ファシリティ=");
}

TEST(ElementsTest, ProgressSubaddressesAndRedirectingNumber) {
    EXPECT_EQ(Rows({0x1E, 0x02, 0x84, 0x88}), "経過識別＃=8");
    EXPECT_EQ(Rows({0x1E, 0x01, 0x84}), "経過識別＃=");

    EXPECT_EQ(Rows(Concat({0x6D, 0x05, 0x80, 0x50}, "A12")), "発サブ=A12");
    EXPECT_EQ(Rows(Concat({0x71, 0x04, 0x80, 0x50}, "xy")), "着サブ=xy");
    EXPECT_EQ(Rows({0x71, 0x02, 0x80, 0x50}), "着サブ=");
    EXPECT_EQ(Rows({0x71, 0x03, 0xA0, 0x50, 0x31}), "着サブ=非標準");
    EXPECT_EQ(Rows({0x6D, 0x01, 0x80}), "発サブ=非標準");

    EXPECT_EQ(Rows(Concat({0x74, 0x03, 0x81}, "12")), "転送元番号=12");
    EXPECT_EQ(Rows(Concat({0x74, 0x04, 0x01, 0x80}, "34")), "転送元番号=34");
    EXPECT_EQ(Rows(Concat({0x74, 0x05, 0x01, 0x00, 0x8F}, "56")), "転送元番号=理由F=56");
    EXPECT_EQ(Rows({0x74, 0x03, 0x01, 0x00, 0x81}), "転送元番号=理由1=");
    EXPECT_EQ(Rows({0x74, 0x03, 0x01, 0x00, 0x01}), "転送元番号=規定外");
    EXPECT_EQ(Rows({0x74, 0x02, 0x01, 0x00}), "転送元番号=規定外");
    EXPECT_EQ(Rows({0x74, 0x01, 0x00}), "転送元番号=規定外");
}

TEST(ElementsTest, ControlOctetsInDigitsNeverCutTheText) {
    // A NUL would end the stored text and an LF would start a row of its own.
    EXPECT_EQ(Rows({0x71, 0x05, 0x80, 0x50, 0x41, 0x00, 0x0A}), "着サブ=A??");
    EXPECT_EQ(Rows({0x74, 0x04, 0x81, 0x31, 0x7F, 0x32}), "転送元番号=1?2");
}

TEST(ElementsTest, NamesWithoutValues) {
    EXPECT_EQ(Rows({0x03, 0x00, 0x10, 0x01, 0x01, 0x28, 0x01, 0x41, 0x7D, 0x02, 0x91, 0x81, 0xD2,
                    0x7E, 0x01, 0x04}),
              "群6発信専用ＣＨ 呼識別 表示 高位整合性 繰返 ユーザ情報");
}

TEST(ElementsTest, WalkEnds) {
    // Locking shift: single octet, the codeset-6 element after it is looked up by identifier.
    EXPECT_EQ(Rows({0x96, 0x01, 0x02, 0x12, 0x34}), "群６シフト 群6料金通知");
    // An unlisted identifier is the last text.
    EXPECT_EQ(Rows({0x04, 0x01, 0x80, 0x20, 0x01, 0x00, 0x08, 0x02, 0x80, 0x90}),
              "伝能=音声 規定外情報");
    // 0x7F is one octet and ends the walk.
    EXPECT_EQ(Rows({0x7F, 0x04, 0x01, 0x80}), "拡張情報子");
    // Overruns end the walk without text, also for unlisted identifiers.
    EXPECT_EQ(Rows({0x04, 0x01, 0x80, 0x08, 0x05, 0x80, 0x90}), "伝能=音声");
    EXPECT_EQ(Rows({0x04, 0x01, 0x80, 0x20, 0x05, 0x00}), "伝能=音声");
    EXPECT_EQ(Rows({0x04, 0x01, 0x80, 0x08}), "伝能=音声");
    // Length 0: the name alone.
    EXPECT_EQ(Rows({0x14, 0x00, 0x1E, 0x00, 0x74, 0x00}), "呼状態= 経過識別＃= 転送元番号=");
    // Nothing decodable: the text ends with the empty row.
    EXPECT_EQ(Tail({0x08, 0x05, 0x80}), "\n");
    EXPECT_EQ(Tail({}), "\n");
    // Other octets with bit 8 set are not single-octet elements here.
    EXPECT_EQ(Rows({0xA1, 0x01, 0x00, 0x04, 0x01, 0x80}), "規定外情報");
}

TEST(ElementsTest, ChannelIdentification) {
    EXPECT_EQ(Channel({0x18, 0x01, 0x89}), "CH=01変更不可");
    EXPECT_EQ(Channel({0x18, 0x01, 0x81}), "CH=01変更可");
    EXPECT_EQ(Channel({0x18, 0x01, 0x82}), "CH=02変更可");
    EXPECT_EQ(Channel({0x18, 0x01, 0x83}), "CH=任意");
    EXPECT_EQ(Channel({0x18, 0x01, 0xA3}), "CH=任意");
    EXPECT_EQ(Channel({0x18, 0x01, 0x80}), "CH=なし");
    EXPECT_EQ(Channel({0x18, 0x01, 0xA8}), "CH=なし");
    EXPECT_EQ(Channel({0x18, 0x01, 0x84}), "CH=規格外");
    EXPECT_EQ(Channel({0x18, 0x01, 0x01}), "CH=規格外");
    // Primary rate, channel number.
    EXPECT_EQ(Channel({0x18, 0x03, 0xA9, 0x83, 0x85}), "CH=05変更不可");
    EXPECT_EQ(Channel({0x18, 0x03, 0xA1, 0x83, 0x97}), "CH=23変更可");
    EXPECT_EQ(Channel({0x18, 0x03, 0xA1, 0x83, 0x05}), "CH=規格外");
    EXPECT_EQ(Channel({0x18, 0x02, 0xA1, 0x83}), "CH=規格外");
    EXPECT_EQ(Channel({0x18, 0x01, 0xA1}), "CH=規格外");
    EXPECT_EQ(Channel({0x18, 0x02, 0xA1, 0x85}), "CH=不明");
    // Primary rate, slot map: octet 5 holds channels 1-8, octet 3 channels 17-24.
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x00, 0x00, 0x01}), "CH=01変更可");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA9, 0x93, 0x00, 0x00, 0x10}), "CH=05変更不可");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x00, 0x01, 0x00}), "CH=09変更可");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x80, 0x00, 0x00}), "CH=24変更可");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x00, 0x00, 0x03}), "CH=不明");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x01, 0x00, 0x01}), "CH=不明");
    EXPECT_EQ(Channel({0x18, 0x05, 0xA1, 0x93, 0x00, 0x00, 0x00}), "CH=不明");
    EXPECT_EQ(Channel({0x18, 0x04, 0xA1, 0x93, 0x00, 0x01}), "CH=規格外");
}

TEST(ElementsTest, ChannelSearchEnds) {
    // Every element, joined; single-octet elements and unlisted ones are stepped over.
    EXPECT_EQ(Channel({0x18, 0x01, 0x81, 0x96, 0x20, 0x01, 0x00, 0x18, 0x01, 0x82}),
              "CH=01変更可 CH=02変更可");
    // The escape or an element without content ends the search.
    EXPECT_EQ(Channel({0x18, 0x01, 0x81, 0x7F, 0x18, 0x01, 0x82}), "CH=01変更可");
    EXPECT_EQ(Channel({0x18, 0x00, 0x18, 0x01, 0x82}), "");
    // An overrunning element before it hides it.
    EXPECT_EQ(Channel({0x04, 0x09, 0x18, 0x01, 0x82}), "");
    // Channel elements never appear in the element rows.
    EXPECT_EQ(Tail({0x18, 0x01, 0x81, 0x04, 0x01, 0x80}), " CH=01変更可\n伝能=音声");
}

TEST(ElementsTest, CallingNumberPresentation) {
    EXPECT_EQ(Numbers(Concat({0x6C, 0x0C, 0x00, 0x80}, "0312345678")), "発番号=0312345678");
    EXPECT_EQ(Numbers({0x6C, 0x02, 0x00, 0x80}), "発番号=表示可");
    EXPECT_EQ(Numbers({0x6C, 0x02, 0x00, 0xA0}), "発番号=表示不可");
    EXPECT_EQ(Numbers({0x6C, 0x02, 0x00, 0xC3}), "発番号=接続条件で不可");
    EXPECT_EQ(Numbers({0x6C, 0x02, 0x00, 0xE0}), "発番号=規定外");
    EXPECT_EQ(Numbers({0x6C, 0x02, 0x00, 0x00}), "発番号=規定外");
    EXPECT_EQ(Numbers({0x6C, 0x01, 0x00}), "発番号=規定外");
    EXPECT_EQ(Numbers({0x6C, 0x01, 0x80}), "発番号=契約依存");
    EXPECT_EQ(Numbers(Concat({0x6C, 0x03, 0x21}, "12")), "発番号=不明番号種別");
}

TEST(ElementsTest, CalledNumber) {
    EXPECT_EQ(Numbers(Concat({0x70, 0x05, 0x80}, "1234")), "着番号=1234");
    EXPECT_EQ(Numbers(Concat({0x70, 0x05, 0xC1}, "1234")), "着番号=不明番号種別");
    EXPECT_EQ(Numbers({0x70, 0x01, 0x80}), "着番号=");
    EXPECT_EQ(Numbers(Concat({0x70, 0x02, 0x80, 'p', 0x70, 0x02, 0x80}, "2")), "着番号=p 着番号=2");
    EXPECT_EQ(Numbers({0x70, 0x00}), "");
}

TEST(ElementsTest, FindElementResults) {
    const uint8_t elements[] = {0x96, 0x04, 0x01, 0x80, 0x18, 0x01, 0x81, 0x7F, 0x08};
    const uint8_t* cursor = elements;
    int32_t remaining = sizeof elements;
    EXPECT_EQ(FindElement(cursor, remaining, 0x18), 3);
    EXPECT_EQ(cursor, elements + 4);
    EXPECT_EQ(remaining, 5);

    cursor = elements;
    remaining = sizeof elements;
    EXPECT_EQ(FindElement(cursor, remaining, -1), 1);  // the shift, any kind
    EXPECT_EQ(cursor, elements);
    cursor += 1;
    remaining -= 1;
    EXPECT_EQ(FindElement(cursor, remaining, -1), 3);
    EXPECT_EQ(cursor, elements + 1);

    // Not present before the escape: 1 at the escape.
    cursor = elements;
    remaining = sizeof elements;
    EXPECT_EQ(FindElement(cursor, remaining, 0x08), 1);
    EXPECT_EQ(cursor, elements + 7);

    // Overrun, and nothing left.
    cursor = elements + 4;
    remaining = 2;
    EXPECT_EQ(FindElement(cursor, remaining, 0x70), -1);
    cursor = elements + 1;
    remaining = 6;
    EXPECT_EQ(FindElement(cursor, remaining, 0x70), 0);
    EXPECT_EQ(remaining, 0);
}

}  // namespace
}  // namespace tessary::test
