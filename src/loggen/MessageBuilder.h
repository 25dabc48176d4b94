#pragma once
// The Q.931 / INS-Net messages of the generated calls and their information elements: bearer
// capability, channel identification in the forms of both boards, the presentation forms of the
// calling number, facility, redirecting number, codeset-6 notices, causes and call states.
#include <cstdint>

#include "loggen/FrameBytes.h"
#include "loggen/GeneratedCall.h"
#include "loggen/Prng.h"

namespace tessary::loggen {

// A subscriber number of `digits` digits with the leading 0.
void MakeNumber(Prng& prng, char* out, unsigned digits);

class MessageBuilder {
public:
    MessageBuilder(Prng& prng, bool is1500) : m_prng(prng), m_is1500(is1500) {}

    // The message of `step` into `f` after its link header; moves the call to its new state.
    // `ownNumber` is the number of the call's terminal.
    void Build(GeneratedCall& call, const CallStep& step, const char* ownNumber, FrameBytes& f);
    // An INFORMATION with a user-user element that takes a kind-0 record past 264 bytes.
    void BuildOversizeInformation(FrameBytes& f, uint8_t crLength, uint32_t crValue, bool crFlag);

private:
    void BuildSetup(GeneratedCall& call, bool net, uint64_t roll, const char* ownNumber,
                    FrameBytes& f);
    void PutChannel(const GeneratedCall& call, FrameBytes& f, bool fromNetwork, uint8_t variant);
    // Calling number forms 0-8; the lower ones show the number.
    void PutCalling(FrameBytes& f, const char* number, unsigned form);
    static bool CallingShown(unsigned form) { return form <= 1 || form == 5; }
    void PutRedirecting(FrameBytes& f);
    // Why the number is not shown, or the i-number service when it is.
    void PutFacility(FrameBytes& f, bool numberShown);
    void PutCodeset6(FrameBytes& f);
    void PutCallIdentity(FrameBytes& f, uint16_t identity);

    Prng& m_prng;
    bool m_is1500;
};

}  // namespace tessary::loggen
