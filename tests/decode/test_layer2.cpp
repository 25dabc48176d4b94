// LAPD header decoding: address, frame kinds, command/response letter, TEI management.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Layer3TestSupport.h"

namespace tessary::test {
namespace {

struct KindCase {
    uint8_t control;
    const char* name;
    int32_t code;
};

TEST(Layer2Test, FrameKindsByControlOctetWithPfHandling) {
    const KindCase cases[] = {
        {0x01, "RR", 0x01},   {0x05, "RNR", 0x05},   {0x09, "REJ", 0x09},   {0x0F, "DM", 0x0F},
        {0x1F, "DM", 0x0F},   {0x43, "DISC", 0x43},  {0x53, "DISC", 0x43},  {0x63, "UA", 0x63},
        {0x73, "UA", 0x63},   {0x6F, "SABME", 0x6F}, {0x7F, "SABME", 0x6F}, {0x87, "FRMR", 0x87},
        {0x97, "FRMR", 0x87},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.control);
        Decoded d = DecodeBytes({0x02, 0x81, c.control, 0x01}, 'R');
        EXPECT_EQ(d.status, 0);
        EXPECT_EQ(d.text, std::string("TEI=64[") + c.name + "]c");
        EXPECT_EQ(d.fields.layer, 1);
        EXPECT_EQ(d.fields.code, c.code);
    }
}

TEST(Layer2Test, UnlistedControlOctetsAreOutOfScopeBeforeAnyText) {
    // Supervisory octets other than the exact RR/RNR/REJ values, and XID.
    for (uint8_t control : {0x0D, 0x11, 0x15, 0x19, 0x81, 0xAF, 0xBF, 0x8F}) {
        SCOPED_TRACE(control);
        Decoded d = DecodeBytes({0x00, 0x81, control, 0x00});
        EXPECT_EQ(d.status, 0x101);
        EXPECT_EQ(d.text, "");
        EXPECT_EQ(d.fields.layer, -1);
        EXPECT_EQ(d.fields.code, 0);
    }
}

TEST(Layer2Test, FramesShorterThanThreeOctetsAreOutOfScope) {
    for (const std::vector<uint8_t>& frame :
         {std::vector<uint8_t>{}, std::vector<uint8_t>{0x02}, std::vector<uint8_t>{0x02, 0x81}}) {
        Decoded d = DecodeBytes(frame);
        EXPECT_EQ(d.status, 0x101);
        EXPECT_EQ(d.text, "");
        EXPECT_EQ(d.fields.layer, -1);
    }
}

TEST(Layer2Test, CommandResponseLetterDependsOnDirection) {
    // C/R = 1
    EXPECT_EQ(DecodeBytes({0x02, 0x81, 0x01, 0x01}, 'T').text, "TEI=64[RR]r");
    EXPECT_EQ(DecodeBytes({0x02, 0x81, 0x01, 0x01}, 't').text, "TEI=64[RR]r");
    EXPECT_EQ(DecodeBytes({0x02, 0x81, 0x01, 0x01}, 'R').text, "TEI=64[RR]c");
    EXPECT_EQ(DecodeBytes({0x02, 0x81, 0x01, 0x01}, 'r').text, "TEI=64[RR]c");
    // C/R = 0
    EXPECT_EQ(DecodeBytes({0x00, 0x81, 0x01, 0x01}, 'T').text, "TEI=64[RR]c");
    EXPECT_EQ(DecodeBytes({0x00, 0x81, 0x01, 0x01}, 'R').text, "TEI=64[RR]r");
}

TEST(Layer2Test, TeiWithoutEaBitIsShownUndeterminedAndDecodingGoesOn) {
    Decoded d = DecodeBytes({0x00, 0x80, 0x7F}, 'T');
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=不明[SABME]c");
    EXPECT_EQ(d.fields.code, 0x6F);

    d = DecodeBytes({0x00, 0xFF, 0x7F}, 'T');
    EXPECT_EQ(d.text, "TEI=127[SABME]c");
    d = DecodeBytes({0x00, 0x01, 0x73}, 'T');
    EXPECT_EQ(d.text, "TEI=0[UA]c");
}

TEST(Layer2Test, LayerIsTwoOnlyForCallControlOnSapiZero) {
    const std::vector<uint8_t> message = {0x08, 0x01, 0x01, 0x7D};  // STATUS
    std::vector<uint8_t> sapi0 = Concat({0x02, 0x81, 0x00, 0x00}, message);
    Decoded d = DecodeBytes(sapi0, 'T', 0);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.fields.layer, 2);
    EXPECT_EQ(d.fields.code, 0x7D);
    EXPECT_EQ(d.text, "TEI=64[I]r\nA-状態表示- 呼番号=発1\n");

    // SAPI 16 (packet data): still read as a message, but the record stays a layer-2 one.
    std::vector<uint8_t> sapi16 = sapi0;
    sapi16[0] = 0x42;
    d = DecodeBytes(sapi16, 'T', 0);
    EXPECT_EQ(d.fields.layer, 1);
    EXPECT_EQ(d.fields.code, 0x7D);
    EXPECT_EQ(d.text, "TEI=64[I]r\nA-状態表示- 呼番号=発1\n");

    // An address octet with its EA bit set is not SAPI 0 call control either.
    std::vector<uint8_t> eaSet = sapi0;
    eaSet[0] = 0x03;
    EXPECT_EQ(DecodeBytes(eaSet, 'T', 0).fields.layer, 1);

    // Frames that end with the layer-2 row keep Layer 1 on SAPI 0.
    EXPECT_EQ(DecodeBytes({0x02, 0x81, 0x01, 0x01}).fields.layer, 1);
}

TEST(Layer2Test, IFrameWithoutMessageIsOutOfScopeAfterLayer2Row) {
    Decoded d = DecodeBytes({0x02, 0x81, 0x00});
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=64[I]c\n");
    EXPECT_EQ(d.fields.layer, 2);
    EXPECT_EQ(d.fields.code, 0);

    d = DecodeBytes({0x02, 0x81, 0x00, 0x00, 0x08});
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=64[I]c\n");
}

TEST(Layer2Test, TeiManagementRows) {
    // Identity assigned, Ri 0x1A2B (octet 5 is the low byte), Ai 64.
    Decoded d = DecodeBytes({0xFE, 0xFF, 0x03, 0x0F, 0x2B, 0x1A, 0x02, 0x81}, 'R');
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=127[UI]c\n-ID割当- Ri=1A2B Ai(TEI)=64");
    EXPECT_EQ(d.fields.layer, 1);
    EXPECT_EQ(d.fields.code, 0x03);

    d = DecodeBytes({0xFC, 0xFF, 0x13, 0x0F, 0x00, 0x00, 0x07, 0xFF}, 'T');
    EXPECT_EQ(d.text, "TEI=127[UI]c\n-ID検証- Ri=0000 Ai(TEI)=127");
}

TEST(Layer2Test, TeiManagementAiListEnds) {
    // EA clear runs on; EA set ends the list even with octets left.
    EXPECT_EQ(DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x01, 0x00, 0x04, 0x80, 0x81}).text,
              "TEI=127[UI]r\n-IDチェック要求- Ri=0001 Ai(TEI)=64 64");
    EXPECT_EQ(DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x01, 0x00, 0x04, 0x81, 0x80}).text,
              "TEI=127[UI]r\n-IDチェック要求- Ri=0001 Ai(TEI)=64");
    EXPECT_EQ(DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x01, 0x00, 0x04, 0x80, 0x82}).text,
              "TEI=127[UI]r\n-IDチェック要求- Ri=0001 Ai(TEI)=64 65");
    // No Ai octet at all.
    Decoded d = DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x01, 0x00, 0x01});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=127[UI]r\n-ID要求- Ri=0001 Ai(TEI)=");
}

TEST(Layer2Test, TeiManagementAiListWrapsAfterSixteenValuesUnderTheFirst) {
    std::vector<uint8_t> frame = {0xFC, 0xFF, 0x03, 0x0F, 0x00, 0x00, 0x01};
    for (uint8_t tei = 0; tei < 34; ++tei) {
        frame.push_back(static_cast<uint8_t>(tei << 1));
    }
    std::string first = "-ID要求- Ri=0000 Ai(TEI)=";
    std::string indent(25, ' ');  // "ID要求" is 6 columns wide
    std::string expected = "TEI=127[UI]r\n" + first;
    for (int tei = 0; tei < 34; ++tei) {
        if (tei > 0) {
            expected += tei % 16 == 0 ? "\n" + indent : " ";
        }
        expected += std::to_string(tei);
    }
    EXPECT_EQ(DecodeBytes(frame).text, expected);
}

TEST(Layer2Test, TeiManagementFaultsAreOutOfScopeAfterTheLayer2Row) {
    Decoded d = DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x00, 0x00});
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=127[UI]r\n");
    EXPECT_EQ(d.fields.layer, 1);
    EXPECT_EQ(d.fields.code, 0x03);

    for (uint8_t type : {0x00, 0x08, 0xFF}) {
        d = DecodeBytes({0xFC, 0xFF, 0x03, 0x0F, 0x00, 0x00, type, 0x81});
        EXPECT_EQ(d.status, 0x101);
        EXPECT_EQ(d.text, "TEI=127[UI]r\n");
    }
}

TEST(Layer2Test, UiFrameOnSapi63WithoutManagementEntityIsALayer3Frame) {
    // Octet 4 = 0x08 is a protocol discriminator here, not a management entity identifier.
    Decoded d = DecodeBytes({0xFE, 0xFF, 0x03, 0x08, 0x01, 0x01, 0x0F}, 'R', 1);
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.text, "TEI=127[UI]c\nB-応答確認- 呼番号=着1\n");
    EXPECT_EQ(d.fields.layer, 1);
    EXPECT_EQ(d.fields.code, 0x0F);

    // Not TEI 127, or a three-octet frame: layer 3 as well (and out of scope).
    d = DecodeBytes({0xFE, 0xFD, 0x03, 0x0F, 0x00, 0x00, 0x01, 0x81});
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=126[UI]c\n");
    d = DecodeBytes({0xFC, 0xFF, 0x03});
    EXPECT_EQ(d.status, 0x101);
    EXPECT_EQ(d.text, "TEI=127[UI]r\n");
}

}  // namespace
}  // namespace tessary::test
