#pragma once
// The LAPD links of the terminals: TEI management (identity request, assignment, denial,
// check and removal), link set-up with SABME/UA, I-frame sequence numbers and their RR
// acknowledgements, polling of an idle link, and the disturbances of an established link
// (DISC, RNR, REJ, FRMR) together with the frames the decoder calls out of scope.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "loggen/FrameBytes.h"
#include "loggen/TrafficContext.h"

namespace tessary::loggen {

class MessageBuilder;

// Where a link stands: what it sends when its next link event comes due.
enum class LinkPhase : uint8_t {
    NeedTei,      // asks for a TEI
    AwaitAssign,  // the network assigns one or denies the request
    NeedSabme,    // the terminal sets the link up
    AwaitUa,      // the network answers, or is not ready yet
    Up,           // established: polled once idle
    PollAnswer,   // the poll or reject is answered with F=1
    CheckAnswer,  // the terminal answers an identity check
    AwaitDiscUa,  // the released link is acknowledged
    RnrClear,     // the busy terminal is ready again
    FrmrSabme,    // the network resets the link after a frame reject
    FrmrUa,       // the terminal acknowledges the reset
};

struct Link {
    uint8_t line = 0;
    uint8_t terminal = 0;
    uint8_t tei = 0;
    LinkPhase phase = LinkPhase::NeedTei;
    bool up = false;
    uint8_t vsTe = 0;  // V(S) of the terminal side, mod 128
    uint8_t vsNt = 0;
    bool ackTe = false;  // an acknowledgement from that side is due
    bool ackNt = false;
    uint8_t ri[2] = {0, 0};
    bool answerByNetwork = false;  // who answers the pending poll or DISC
    int activeCalls = 0;
    int64_t lastActivity = 0;
};

class LinkModel {
public:
    LinkModel(TrafficContext& context, MessageBuilder& messages);

    // A terminal's link on `line`; INS-Net 1500 needs no TEI management.
    uint16_t AddLink(uint8_t line, uint8_t terminal);
    Link& At(uint16_t linkIndex) { return m_links[linkIndex]; }

    // The link's next step after its link event came due.
    void Fire(uint16_t linkIndex);
    // The acknowledgement one side owes for the other's I frames.
    void FireAck(uint16_t linkIndex, bool fromNetwork);

    // An I frame: the caller fills the information field into the returned frame.
    FrameBytes& SendI(Link& link, bool fromNetwork);
    // Now and then a frame the decoder calls out of scope, after a frame of this link.
    void MaybeOdd(Link& link);
    // Now and then an INFORMATION that takes a kind-0 record past its largest size.
    void MaybeOversize(Link& link, uint8_t crLength, uint32_t crValue, bool incoming);

private:
    FrameBytes& LinkFrame(Link& link, bool fromNetwork, uint8_t sapi, bool command);
    void SendU(Link& link, bool fromNetwork, uint8_t control, bool command);
    void SendS(Link& link, bool fromNetwork, uint8_t control, bool command, bool pf);
    void SendTeiManagement(Link& link, bool fromNetwork, uint8_t type,
                           std::initializer_list<uint8_t> ai);
    void ResetSequence(Link& link);
    // The established link: polled or disturbed once it has been idle for the poll interval.
    void FireEstablished(Link& link, uint16_t linkIndex);
    void Again(uint16_t linkIndex, int64_t low, int64_t high);

    TrafficContext& m_context;
    MessageBuilder& m_messages;
    Prng& m_prng;
    std::vector<Link> m_links;
};

}  // namespace tessary::loggen
