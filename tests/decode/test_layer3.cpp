// Call-control message decoding: call reference, message types, second and number rows,
// element packing, message position in UI frames and prefixed records, robustness.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Layer3TestSupport.h"

namespace tessary::test {
namespace {

// SETUP from the exchange: bearer speech, channel B1 preferred, both numbers, progress 3.
std::vector<uint8_t> ExchangeSetup() {
    std::vector<uint8_t> frame = {0x02, 0x01, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05};
    for (const std::vector<uint8_t>& element :
         {std::vector<uint8_t>{0x04, 0x03, 0x80, 0x90, 0xA3},
          std::vector<uint8_t>{0x18, 0x01, 0x81}, Concat({0x6C, 0x0C, 0x00, 0x80}, "0312345678"),
          Concat({0x70, 0x0B, 0x80}, "0398765432"), std::vector<uint8_t>{0x1E, 0x02, 0x84, 0x83}}) {
        frame = Concat(frame, element);
    }
    return frame;
}

TEST(Layer3Test, SetupFromTheExchange) {
    Decoded d = DecodeBytes(ExchangeSetup(), 'R', 1);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text,
              "TEI=0[I]c\n"
              "B-呼設定- 呼番号=着1 CH=01変更可\n"
              "発番号=0312345678 着番号=0398765432\n"
              "伝能=音声 経過識別＃=3");
    EXPECT_EQ(d.fields.layer, 2);
    EXPECT_EQ(d.fields.code, 0x05);
    EXPECT_EQ(d.fields.callRef, 1);
    EXPECT_EQ(d.fields.flags, 0x0004);
}

TEST(Layer3Test, CallReferenceFlagAndDirection) {
    // Received: flag 1 is an outgoing call, flag 0 an incoming one; transmitted the reverse.
    Decoded d = DecodeBytes(IFrame({0x08, 0x01, 0x81, 0x4D}), 'R', 1);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-解放- 呼番号=発1\n");
    EXPECT_EQ(d.fields.callRef, 1);
    EXPECT_EQ(d.fields.flags, 0);

    d = DecodeBytes(IFrame({0x08, 0x01, 0x81, 0x4D}), 'T', 2);
    EXPECT_EQ(d.text, "TEI=0[I]r\nC-解放- 呼番号=着1\n");
    EXPECT_EQ(d.fields.flags, 0x0004);

    d = DecodeBytes(IFrame({0x08, 0x01, 0x01, 0x4D}), 't', 0);
    EXPECT_EQ(d.text, "TEI=0[I]r\nA-解放- 呼番号=発1\n");
    EXPECT_EQ(d.fields.flags, 0);

    d = DecodeBytes(IFrame({0x08, 0x01, 0x01, 0x4D}), 'r', 3);
    EXPECT_EQ(d.text, "TEI=0[I]c\nD-解放- 呼番号=着1\n");
    EXPECT_EQ(d.fields.flags, 0x0004);
}

TEST(Layer3Test, CallReferenceLengths) {
    Decoded d = DecodeBytes(IFrame({0x08, 0x00, 0x46}), 'R', 1);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-初期設定- 呼番号=ダミー\n");
    EXPECT_EQ(d.fields.callRef, -1);
    EXPECT_EQ(d.fields.flags, 0);

    d = DecodeBytes(IFrame({0x08, 0x02, 0x01, 0x23, 0x45}), 'R', 1);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-切断- 呼番号=着291\n");
    EXPECT_EQ(d.fields.callRef, 291);

    // The flag bit is not part of the value; bits 8-5 of the length octet are ignored.
    d = DecodeBytes(IFrame({0x08, 0xF2, 0xFF, 0xFF, 0x45}), 'R', 1);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-切断- 呼番号=発32767\n");
    EXPECT_EQ(d.fields.callRef, 32767);

    // 32 bits: the first of five octets is shifted out.
    d = DecodeBytes(IFrame({0x08, 0x05, 0x01, 0x82, 0x03, 0x04, 0x05, 0x45}), 'R', 1);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-切断- 呼番号=着2181235717\n");
    EXPECT_EQ(static_cast<uint32_t>(d.fields.callRef), 0x82030405u);
}

TEST(Layer3Test, OutOfScopeMessagesKeepWhatWasRead) {
    // Wrong protocol discriminator: after the layer-2 row, Code still the control code.
    Decoded d = DecodeBytes(IFrame({0x09, 0x01, 0x01, 0x05}));
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=0[I]c\n");
    EXPECT_EQ(d.fields.layer, 2);
    EXPECT_EQ(d.fields.code, 0);
    EXPECT_EQ(d.fields.callRef, 0);

    // Call reference longer than the frame.
    d = DecodeBytes(IFrame({0x08, 0x03, 0x01, 0x02}));
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=0[I]c\n");
    EXPECT_EQ(d.fields.callRef, 0);

    // Frame ends right after the call reference: the value is kept.
    d = DecodeBytes(IFrame({0x08, 0x02, 0x01, 0x23}));
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=0[I]c\n");
    EXPECT_EQ(d.fields.callRef, 291);
    EXPECT_EQ(d.fields.code, 0);

    // Unlisted message type: Code is the type, no second row, no flag.
    d = DecodeBytes(IFrame({0x08, 0x01, 0x01, 0x60, 0x04, 0x01, 0x80}));
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=0[I]c\n");
    EXPECT_EQ(d.fields.code, 0x60);
    EXPECT_EQ(d.fields.callRef, 1);
    EXPECT_EQ(d.fields.flags, 0);

    // Dummy call reference without a type: the value read so far (none) stays 0.
    d = DecodeBytes(IFrame({0x08, 0x00}));
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.fields.callRef, 0);
}

TEST(Layer3Test, BroadcastSetupInUiFrameIsReadFromOctetFour) {
    // A UI frame to TEI 127 has one control octet: the message starts at octet 4.
    std::vector<uint8_t> frame = {0x02, 0xFF, 0x03, 0x08, 0x01, 0x05, 0x05, 0x04,
                                  0x03, 0x80, 0x90, 0xA3, 0x18, 0x01, 0x83};
    frame = Concat(frame, std::vector<uint8_t>{0x70, 0x05, 0x80, '1', '2', '3', '4'});
    Decoded d = DecodeBytes(frame, 'R', 1);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text,
              "TEI=127[UI]c\n"
              "B-呼設定- 呼番号=着5 CH=任意\n"
              "着番号=1234\n"
              "伝能=音声");
    EXPECT_EQ(d.fields.layer, 2);
    EXPECT_EQ(d.fields.code, 0x05);
    EXPECT_EQ(d.fields.callRef, 5);
    EXPECT_EQ(d.fields.flags, 0x0004);

    // Same with the P bit set in the control octet.
    frame[2] = 0x13;
    EXPECT_EQ(DecodeBytes(frame, 'R', 1).status, 0);
}

TEST(Layer3Test, IFrameMessageStartsAtOctetFive) {
    // Octet 4 (N(R)) is not a discriminator; octet 5 is.
    Decoded d = DecodeBytes({0x00, 0x81, 0x02, 0x03, 0x08, 0x01, 0x81, 0x07}, 'T', 0);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=64[I]c\nA-応答- 呼番号=着1\n");

    // An octet-4 discriminator in an I frame is not read as the message.
    d = DecodeBytes({0x00, 0x81, 0x02, 0x08, 0x01, 0x81, 0x07}, 'T', 0);
    EXPECT_EQ(d.status, 0x101);
}

TEST(Layer3Test, PrefixedRecordDecodesFromTheFrameAfterThePrefix) {
    // The converter passes the frame after the 0x01 prefix; nothing before it is read.
    const uint8_t record[] = {0x01, 0x02, 0x01, 0x00, 0x00, 0x08, 0x01,
                              0x01, 0x5A, 0x08, 0x02, 0x80, 0x90};
    std::vector<uint8_t> frame(record + 1, record + sizeof record);
    Decoded d = DecodeBytes(frame, 'R', 1);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=0[I]c\nB-解放完了- 呼番号=着1\n理由表示=正常");
}

TEST(Layer3Test, SecondAndNumberRowsAndTheEmptyRowBeforeHex) {
    // Channel only: no number row, no element rows, text ends with LF.
    EXPECT_EQ(DecodeBytes(SetupFrame({0x18, 0x01, 0x8A})).text,
              std::string(kSetupRows) + " CH=02変更不可\n");
    // Called number only: no leading space.
    EXPECT_EQ(DecodeBytes(SetupFrame(Concat({0x70, 0x03, 0x80}, "12"))).text,
              std::string(kSetupRows) + "\n着番号=12\n");
    // Calling number only.
    EXPECT_EQ(DecodeBytes(SetupFrame({0x6C, 0x01, 0x80})).text,
              std::string(kSetupRows) + "\n発番号=契約依存\n");
    // Several of each, in message order, elements between them decoded on their own rows.
    Decoded d =
        DecodeBytes(SetupFrame(Concat({0x70, 0x02, 0x80, '9',  0x18, 0x01, 0x81, 0x6C, 0x02, 0x00,
                                       0xA0, 0x14, 0x01, 0x0A, 0x18, 0x01, 0x82, 0x70, 0x02, 0x80},
                                      "8")));
    EXPECT_EQ(d.text, std::string(kSetupRows) +
                          " CH=01変更可 CH=02変更可\n発番号=表示不可 着番号=9 着番号=8\n"
                          "呼状態=通信中");
}

TEST(Layer3Test, ElementRowsArePackedByDisplayWidth) {
    // Widths: 伝能=音声 9, 経過識別＃=3 12, 呼状態=通信中 13, 理由表示=正常 13.
    const std::vector<uint8_t> elements = {0x04, 0x01, 0x80, 0x1E, 0x02, 0x80, 0x83,
                                           0x14, 0x01, 0x0A, 0x08, 0x02, 0x80, 0x90};
    const std::string head = std::string(kSetupRows) + "\n";
    EXPECT_EQ(DecodeBytes(SetupFrame(elements), 'R', 1, 22).text,
              head + "伝能=音声 経過識別＃=3\n呼状態=通信中\n理由表示=正常");
    EXPECT_EQ(DecodeBytes(SetupFrame(elements), 'R', 1, 21).text,
              head + "伝能=音声\n経過識別＃=3\n呼状態=通信中\n理由表示=正常");
    EXPECT_EQ(DecodeBytes(SetupFrame(elements), 'R', 1, 27).text,
              head + "伝能=音声 経過識別＃=3\n呼状態=通信中 理由表示=正常");
    EXPECT_EQ(DecodeBytes(SetupFrame(elements), 'R', 1, 48).text,
              head + "伝能=音声 経過識別＃=3 呼状態=通信中\n理由表示=正常");
    // Texts wider than the row stand alone, never split.
    EXPECT_EQ(DecodeBytes(SetupFrame(elements), 'R', 1, 5).text,
              head + "伝能=音声\n経過識別＃=3\n呼状態=通信中\n理由表示=正常");
}

TEST(Layer3Test, TruncatedMessagesNeverReadPastTheFrameNorFailInElements) {
    const std::vector<uint8_t> full = ExchangeSetup();
    const size_t typeEnd = 8;  // octets up to and including the message type
    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        Decoded d = DecodeBytes(std::vector<uint8_t>(full.begin(), full.begin() + length), 'R');
        EXPECT_EQ(d.status, length < typeEnd ? 0x101 : 0);
    }
}

TEST(Layer3Test, RandomFramesNeverCrash) {
    std::mt19937 random(12345);
    const uint8_t favourites[] = {0x00, 0x01, 0x08, 0x18, 0x6C, 0x70, 0x7F, 0x96, 0xD2,
                                  0x1C, 0x91, 0xA1, 0x80, 0x83, 0x93, 0xFF, 0x05, 0x74};
    int decoded = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> frame(random() % 48);
        for (uint8_t& octet : frame) {
            octet = random() % 3 == 0 ? favourites[random() % sizeof favourites]
                                      : static_cast<uint8_t>(random());
        }
        // Steer most frames past layer 2 and the discriminator.
        if (frame.size() > 5 && random() % 4 != 0) {
            bool ui = random() % 2 == 0;
            size_t message = ui ? 3 : 4;
            frame[0] = 0x02;
            frame[2] = ui ? 0x03 : 0x00;
            frame[message] = 0x08;
            frame[message + 1] &= 0x03;
            size_t type = message + 2 + frame[message + 1];
            if (type < frame.size()) {
                frame[type] = random() % 2 == 0 ? 0x05 : 0x45;
            }
        }
        Decoded d = DecodeBytes(frame, round % 2 == 0 ? 'T' : 'R', round % 4,
                                1 + static_cast<int>(random() % 127));
        ASSERT_TRUE(d.status == 0 || d.status == 0x101);
        decoded += d.status == 0 ? 1 : 0;
    }
    EXPECT_GT(decoded, 1000);
}

}  // namespace
}  // namespace tessary::test
