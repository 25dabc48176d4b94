// The traffic model: what a long log carries must cover the frames, messages and elements the
// decoder knows, and the LAPD sequence numbers must follow the links as Q.921 runs them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "LogWalk.h"
#include "loggen/LogProfile.h"

namespace tessary::test {
namespace {

struct Frame {
    const ExpectedRecord* record;
    std::vector<uint8_t> b;  // frame octets without prefix and check bytes
    bool fromNetwork;
    int line;
};

struct Coverage {
    std::set<std::string> frameKinds;
    std::set<int> teiMessages;
    std::set<int> messageTypes;
    std::set<int> elements;
    std::set<int> callRefLengths;
    std::set<int> callRefFlags;
    std::set<int> layer1Values;
    std::set<int> kinds;
    std::set<uint32_t> channelForms;  // Form() of the first content octets
    std::set<uint32_t> callingForms;
    std::set<int> facilityForms;
    std::set<int> causeLayouts;
    std::set<int> codeset6;
    std::set<int> redirectingForms;
    int broadcastSetups = 0;
    int undeterminedTei = 0;
    int oversize = 0;
    int prefixed = 0;
    int sequenceErrors = 0;
    int iFrames = 0;
    int longAiLists = 0;
    std::map<std::tuple<int, bool, uint32_t>, std::set<uint64_t>> setupChannels;
};

// One or two octets packed with their count, to compare forms of an element.
constexpr uint32_t Form(uint8_t a) {
    return 0x10000u | a;
}
constexpr uint32_t Form(uint8_t a, uint8_t b) {
    return 0x20000u | (a << 8) | b;
}

std::vector<Frame> Frames(const std::vector<ExpectedRecord>& records) {
    std::vector<Frame> frames;
    for (const ExpectedRecord& e : records) {
        if (e.info.truncated || e.info.layer1 || e.info.kind != 0) {
            continue;
        }
        const size_t skip = 9 + (e.info.prefix ? 1 : 0);
        Frame f{&e, std::vector<uint8_t>(e.bytes.begin() + skip, e.bytes.end() - 2),
                e.info.direction == 'R' || e.info.direction == 'r',
                e.info.direction == 't' || e.info.direction == 'r'};
        frames.push_back(std::move(f));
    }
    return frames;
}

void Elements(const std::vector<uint8_t>& b, size_t pos, Coverage& c, uint8_t type,
              bool fromNetwork, int line, uint32_t callRef, bool flag) {
    bool shifted = false;
    while (pos < b.size()) {
        const uint8_t id = b[pos];
        if (id == 0x96 || id == 0xD2) {
            c.elements.insert(id);
            shifted = shifted || id == 0x96;
            ++pos;
            continue;
        }
        if (pos + 1 >= b.size() || pos + 2 + b[pos + 1] > b.size()) {
            return;  // truncated element
        }
        const uint8_t* v = &b[pos + 2];
        const size_t n = b[pos + 1];
        c.elements.insert(id);
        if (shifted) {
            c.codeset6.insert(id);
        }
        if (id == 0x18 && n >= 1) {
            c.channelForms.insert(n >= 2 ? Form(v[0], v[1]) : Form(v[0]));
            if (type == 0x05) {
                uint64_t packed = n;
                for (size_t k = 0; k < n && k < 7; ++k) {
                    packed = (packed << 8) | v[k];
                }
                c.setupChannels[{line, flag != fromNetwork, callRef}].insert(packed);
            }
        }
        if (id == 0x6C && n >= 1) {
            c.callingForms.insert(n >= 2 && v[0] == 0 ? Form(v[0], v[1]) : Form(v[0]));
        }
        if (id == 0x1C && n >= 3) {
            c.facilityForms.insert(v[2]);
        }
        if (id == 0x08 && n >= 2) {
            c.causeLayouts.insert(v[0] & 0x80 ? 1 : 2);
        }
        if (id == 0x74 && n >= 1) {
            c.redirectingForms.insert(v[0] & 0x80 ? 1 : (n >= 2 && (v[1] & 0x80) ? 2 : 3));
        }
        pos += 2 + n;
    }
}

Coverage Survey(const std::vector<ExpectedRecord>& records) {
    Coverage c;
    for (const ExpectedRecord& e : records) {
        c.kinds.insert(e.info.kind);
        c.oversize += e.info.oversize ? 1 : 0;
        c.prefixed += e.info.prefix ? 1 : 0;
        if (e.info.layer1 && e.bytes.size() > 9) {
            c.layer1Values.insert(e.bytes[9]);
        }
    }
    // V(S) per line, TEI and side, reset whenever a UA answers a SABME.
    std::map<std::tuple<int, int, bool>, int> vs;
    for (const Frame& f : Frames(records)) {
        const auto& b = f.b;
        if (b.size() < 3) {
            c.frameKinds.insert("short");
            continue;
        }
        const int sapi = b[0] >> 2;
        const int tei = b[1] >> 1;
        if (!(b[1] & 1)) {
            ++c.undeterminedTei;
            continue;
        }
        const uint8_t ctl = b[2];
        const auto self = std::make_tuple(f.line, tei, f.fromNetwork);
        const auto peer = std::make_tuple(f.line, tei, !f.fromNetwork);
        if (!(ctl & 1)) {
            c.frameKinds.insert("I");
            if (sapi != 0) {
                c.frameKinds.insert("I-other-SAPI");
                continue;
            }
            ++c.iFrames;
            if (b.size() < 4 || (b[3] >> 1) != vs[peer] || (ctl >> 1) != vs[self]) {
                ++c.sequenceErrors;
            }
            vs[self] = (vs[self] + 1) & 0x7F;
            if (b.size() >= 7 && b[4] == 0x08) {
                const int k = b[5] & 0x0F;
                if (b.size() > static_cast<size_t>(6 + k)) {
                    c.callRefLengths.insert(k);
                    uint32_t ref = 0;
                    bool flag = false;
                    for (int i = 0; i < k; ++i) {
                        const uint8_t o = b[6 + i];
                        if (i == 0) {
                            flag = (o & 0x80) != 0;
                            c.callRefFlags.insert(flag);
                        }
                        ref = ref * 256 + (i == 0 ? (o & 0x7F) : o);
                    }
                    const uint8_t type = b[6 + k];
                    c.messageTypes.insert(type);
                    Elements(b, 7 + k, c, type, f.fromNetwork, f.line, ref, flag);
                }
            }
            continue;
        }
        const uint8_t cleared = ctl & ~0x10;
        switch (ctl) {
            case 0x01:
                c.frameKinds.insert("RR");
                break;
            case 0x05:
                c.frameKinds.insert("RNR");
                break;
            case 0x09:
                c.frameKinds.insert("REJ");
                break;
            default:
                break;
        }
        if (ctl == 0x01 || ctl == 0x05 || ctl == 0x09) {
            if (b.size() < 4 || (b[3] >> 1) != vs[peer]) {
                ++c.sequenceErrors;
            }
            continue;
        }
        if ((ctl & 0x03) == 0x01) {
            c.frameKinds.insert("S-undefined");
            continue;
        }
        switch (cleared) {
            case 0x03:
                if (b[1] == 0xFF && (b[0] & 0xFC) == 0xFC && b.size() > 7 && b[3] == 0x0F) {
                    c.frameKinds.insert("UI-TEI");
                    c.teiMessages.insert(b[6]);
                    if (b.size() > 7 + 16) {
                        ++c.longAiLists;
                    }
                } else {
                    c.frameKinds.insert("UI");
                    if (b[1] == 0xFF && b.size() > 7 && b[3] == 0x08 && b[6] == 0x05) {
                        ++c.broadcastSetups;
                    }
                }
                break;
            case 0x0F:
                c.frameKinds.insert("DM");
                break;
            case 0x43:
                c.frameKinds.insert("DISC");
                break;
            case 0x63:
                c.frameKinds.insert("UA");
                vs[self] = 0;
                vs[peer] = 0;
                break;
            case 0x6F:
                c.frameKinds.insert("SABME");
                break;
            case 0x87:
                c.frameKinds.insert("FRMR");
                break;
            default:
                c.frameKinds.insert("other-U");  // XID
                break;
        }
    }
    return c;
}

template <typename T>
std::set<T> Missing(const std::set<T>& have, std::initializer_list<T> want) {
    std::set<T> missing;
    for (const T& w : want) {
        if (!have.count(w)) {
            missing.insert(w);
        }
    }
    return missing;
}

class TrafficCoverage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loggen::LogProfile s64;
        s64.seed = 41;
        s64.records = 150000;
        s64.oversizePerMille = 5;
        s_records64 = new std::vector<ExpectedRecord>(Generate(s64));
        s_survey64 = new Coverage(Survey(*s_records64));
        loggen::LogProfile s1500 = s64;
        s1500.seed = 42;
        s1500.records = 100000;
        s1500.board = loggen::Board::Ins1500;
        s_records1500 = new std::vector<ExpectedRecord>(Generate(s1500));
        s_survey1500 = new Coverage(Survey(*s_records1500));
    }
    static void TearDownTestSuite() {
        delete s_records64;
        delete s_survey64;
        delete s_records1500;
        delete s_survey1500;
    }
    static std::vector<ExpectedRecord>* s_records64;
    static std::vector<ExpectedRecord>* s_records1500;
    static Coverage* s_survey64;
    static Coverage* s_survey1500;
};

std::vector<ExpectedRecord>* TrafficCoverage::s_records64 = nullptr;
std::vector<ExpectedRecord>* TrafficCoverage::s_records1500 = nullptr;
Coverage* TrafficCoverage::s_survey64 = nullptr;
Coverage* TrafficCoverage::s_survey1500 = nullptr;

TEST_F(TrafficCoverage, EveryLapdFrameKindAndTeiMessage) {
    const Coverage& c = *s_survey64;
    EXPECT_EQ(Missing<std::string>(c.frameKinds, {"I", "RR", "RNR", "REJ", "UI", "UI-TEI", "DM",
                                                  "DISC", "UA", "SABME", "FRMR", "other-U",
                                                  "S-undefined", "I-other-SAPI", "short"}),
              std::set<std::string>{});
    EXPECT_EQ(Missing(c.teiMessages, {1, 2, 3, 4, 5, 6, 7}), std::set<int>{});
    EXPECT_GT(c.broadcastSetups, 0);
    EXPECT_GT(c.undeterminedTei, 0);
    EXPECT_GT(c.longAiLists, 0);
    // The 1500 link is point to point: no TEI management, but call control all the same.
    EXPECT_TRUE(s_survey1500->teiMessages.empty());
    EXPECT_GT(s_survey1500->iFrames, 10000);
}

TEST_F(TrafficCoverage, SequenceNumbersFollowTheLinks) {
    EXPECT_GT(s_survey64->iFrames, 20000);
    EXPECT_EQ(s_survey64->sequenceErrors, 0);
    EXPECT_EQ(s_survey1500->sequenceErrors, 0);
}

TEST_F(TrafficCoverage, EveryMessageTypeAndElement) {
    for (const Coverage* c : {s_survey64, s_survey1500}) {
        EXPECT_EQ(Missing(c->messageTypes,
                          {0x01, 0x02, 0x03, 0x05, 0x07, 0x0F, 0x21, 0x22, 0x25, 0x26, 0x2D,
                           0x2E, 0x45, 0x46, 0x4D, 0x4E, 0x5A, 0x6E, 0x75, 0x7B, 0x7D}),
                  std::set<int>{});
        EXPECT_EQ(Missing(c->elements, {0x01, 0x03, 0x04, 0x06, 0x08, 0x10, 0x14, 0x18, 0x1C,
                                        0x1E, 0x27, 0x28, 0x29, 0x2C, 0x34, 0x6C, 0x6D, 0x70,
                                        0x71, 0x74, 0x79, 0x7C, 0x7D, 0x7E, 0x7F, 0x96, 0xD2}),
                  std::set<int>{});
        EXPECT_EQ(Missing(c->codeset6, {0x01, 0x03, 0x06}), std::set<int>{});
        EXPECT_EQ(Missing(c->callRefLengths, {0, 1, 2}), std::set<int>{});
        EXPECT_EQ(Missing(c->callRefFlags, {0, 1}), std::set<int>{});
        EXPECT_EQ(Missing(c->facilityForms, {0x0E, 0x11, 0x03}), std::set<int>{});
        EXPECT_EQ(Missing(c->causeLayouts, {1, 2}), std::set<int>{});
        EXPECT_EQ(Missing(c->redirectingForms, {1, 2, 3}), std::set<int>{});
        EXPECT_EQ(Missing(c->callingForms,
                          {Form(0x00, 0x80), Form(0x00, 0x81), Form(0x00, 0xA0), Form(0x00, 0xC3),
                           Form(0x00, 0xE0), Form(0x80), Form(0x21), Form(0x00, 0x00)}),
                  std::set<uint32_t>{});
    }
}

TEST_F(TrafficCoverage, ChannelFormsOfBothBoards) {
    EXPECT_EQ(Missing(s_survey64->channelForms,
                      {Form(0x81), Form(0x82), Form(0x89), Form(0x8A), Form(0x83), Form(0x80)}),
              std::set<uint32_t>{});
    EXPECT_EQ(
        Missing(s_survey1500->channelForms, {Form(0xA9, 0x83), Form(0xA1, 0x83), Form(0xA9, 0x93),
                                             Form(0xA1, 0x93), Form(0xA3), Form(0xA0)}),
        std::set<uint32_t>{});
}

TEST_F(TrafficCoverage, CallReferencesComeBackOnOtherChannels) {
    for (const Coverage* c : {s_survey64, s_survey1500}) {
        int reused = 0;
        for (const auto& [key, channels] : c->setupChannels) {
            reused += channels.size() > 1 ? 1 : 0;
        }
        EXPECT_GT(reused, 0);
    }
}

TEST_F(TrafficCoverage, LayerOneValuesOfBothTablesAndOthers) {
    for (const Coverage* c : {s_survey64, s_survey1500}) {
        EXPECT_EQ(Missing(c->layer1Values, {0x34, 0x74, 0x00, 0x10, 0x50, 0x44, 0x04, 0x03, 0x30}),
                  std::set<int>{});
        int others = 0;
        for (int v : c->layer1Values) {
            others += (v != 0x34 && v != 0x74 && v != 0x00 && v != 0x10 && v != 0x50 && v != 0x44 &&
                       v != 0x04 && v != 0x03 && v != 0x30);
        }
        EXPECT_GT(others, 0);
        EXPECT_EQ(Missing(c->kinds, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), std::set<int>{});
        EXPECT_GT(c->oversize, 0);
        EXPECT_GT(c->prefixed, 0);
    }
}

}  // namespace
}  // namespace tessary::test
