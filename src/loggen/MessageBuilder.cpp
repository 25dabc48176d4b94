#include "loggen/MessageBuilder.h"

namespace tessary::loggen {

void MakeNumber(Prng& prng, char* out, unsigned digits) {
    out[0] = '0';
    for (unsigned i = 1; i < digits; ++i) {
        out[i] = static_cast<char>('0' + prng.Below(10));
    }
    out[digits] = 0;
}

void MessageBuilder::Build(GeneratedCall& call, const CallStep& step, const char* ownNumber,
                           FrameBytes& f) {
    const bool net = step.fromNetwork;
    const bool flag = net != call.incoming;  // 0 from the side that chose the call reference
    PutMessageHead(f, call.crLength, call.crValue, flag, step.type);
    const uint64_t roll = m_prng.Below(100);
    switch (step.type) {
        case mt::kSetup:
            call.state = call.incoming ? CallState::CallPresent : CallState::CallInitiated;
            BuildSetup(call, net, roll, ownNumber, f);
            break;
        case mt::kCallProceeding:
            call.state = call.incoming ? CallState::IncomingCallProceeding
                                       : CallState::OutgoingCallProceeding;
            if (net || roll < 50) {
                PutChannel(call, f, net, 0);
            }
            break;
        case mt::kAlerting:
            call.state = call.incoming ? CallState::CallReceived : CallState::CallDelivered;
            if (!net && call.incoming && roll < 50) {
                PutChannel(call, f, net, 0);
            }
            if (net && roll < 30) {
                PutIe(f, ie::kProgress, {0x82, 0x88});
            }
            if (net && roll % 4 == 1) {
                PutIe(f, ie::kSignal, {0x01});
            }
            break;
        case mt::kConnect:
            call.state = call.incoming ? CallState::ConnectRequest : CallState::Active;
            if (!net && call.incoming && roll < 30) {
                PutChannel(call, f, net, 0);
            }
            if (net && roll % 5 == 0) {
                PutIeText(f, ie::kDisplay, {}, "CONNECTED");
            }
            break;
        case mt::kConnectAck:
            call.state = CallState::Active;
            break;
        case mt::kProgress:
            PutIe(f, ie::kProgress,
                  {static_cast<uint8_t>(0x80 | m_prng.Below(5)),
                   static_cast<uint8_t>(0x80 | (roll < 50 ? 8 : 1 + m_prng.Below(3)))});
            break;
        case mt::kInformation:
            if (net) {
                if (roll < 40) {
                    PutIeText(f, ie::kDisplay, {}, "CHARGE 10YEN");
                } else if (roll < 80) {
                    PutCodeset6(f);
                } else if (roll < 90) {
                    PutIe(f, ie::kSignal, {0x3F});
                } else {
                    f.Put({ie::kEscape, 0x02, 0x01, 0x02});
                }
            } else {
                PutIeText(f, ie::kKeypad, {}, roll < 50 ? "1" : "*21#");
            }
            break;
        case mt::kNotify:
            PutIe(f, ie::kNotification, {static_cast<uint8_t>(roll < 50 ? 0x80 : 0x81)});
            break;
        case mt::kStatusEnquiry:
            break;
        case mt::kStatus:
            PutCause(f, 30, net ? 2 : 0, roll < 30);
            PutIe(
                f, ie::kCallState,
                {static_cast<uint8_t>(roll % 20 == 0 ? CallState::OverlapReceiving : call.state)});
            break;
        case mt::kSuspend:
            call.state = CallState::SuspendRequest;
            call.identity = static_cast<uint16_t>(m_prng.Between(10, 99));
            if (roll < 70) {
                PutCallIdentity(f, call.identity);
            } else {
                call.identity = 0;  // suspended without a call identity
            }
            break;
        case mt::kSuspendAck:
            call.state = CallState::Null;
            PutIe(f, ie::kNotification, {0x80});
            break;
        case mt::kSuspendReject:
            call.state = CallState::Active;
            PutCause(f, static_cast<uint8_t>(roll < 50 ? 29 : 84), 2, roll < 30);
            break;
        case mt::kResume:
            call.state = CallState::ResumeRequest;
            // The RESUME names the call as its SUSPEND did.
            if (call.identity != 0) {
                PutCallIdentity(f, call.identity);
            }
            break;
        case mt::kResumeAck:
            call.state = CallState::Active;
            PutChannel(call, f, true, 0);
            PutIe(f, ie::kNotification, {0x81});
            break;
        case mt::kResumeReject:
            call.state = CallState::Null;
            PutCause(f, static_cast<uint8_t>(roll < 50 ? 83 : 85), 2, roll < 30);
            break;
        case mt::kDisconnect:
            call.state = net ? CallState::DisconnectIndication : CallState::DisconnectRequest;
            PutCause(f, call.cause, net ? 2 : 0, roll < 30);
            if (net && call.cause != 16 && call.cause != 31) {
                PutIe(f, ie::kProgress, {0x82, 0x88});
            }
            if (net && roll % 3 == 0) {
                PutCodeset6(f);
            }
            break;
        case mt::kRelease:
            call.state = CallState::ReleaseRequest;
            if (roll < 60) {
                PutCause(f, call.cause, net ? 2 : 0, roll < 20);
            }
            if (net && roll % 4 == 0) {
                PutCodeset6(f);
            }
            break;
        case mt::kReleaseComplete:
            call.state = CallState::Null;
            if (roll < 70 || call.stepNext == 2) {
                PutCause(f, call.cause, net ? 2 : 0, roll < 25);
            }
            if (!net && roll % 11 == 0) {
                PutIeText(f, ie::kUserUser, {0x04}, "BYE");
            }
            break;
        case mt::kRestart:
            if (step.variant == 1) {
                PutIe(f, ie::kRestartIndicator, {0x87});
            } else {
                PutIe(f, ie::kChannel, {static_cast<uint8_t>(m_is1500 ? 0xA9 : 0x89), 0x83, 0x81});
                PutIe(f, ie::kRestartIndicator, {0x80});
            }
            break;
        case mt::kRestartAck:
            PutIe(f, ie::kRestartIndicator,
                  {static_cast<uint8_t>(step.variant == 1 ? 0x87 : 0x80)});
            break;
        default:
            break;
    }
}

void MessageBuilder::BuildSetup(GeneratedCall& call, bool net, uint64_t roll, const char* ownNumber,
                                FrameBytes& f) {
    const uint64_t bearer = m_prng.Below(100);
    if (bearer < 3) {
        f.Put(ie::kRepeat);
        PutIe(f, ie::kBearer, {0x80, 0x90, 0xA3});
        PutIe(f, ie::kBearer, {0x90, 0x90, 0xA3});
    } else if (bearer < 50) {
        PutIe(f, ie::kBearer, {0x80, 0x90, 0xA3});
    } else if (bearer < 70) {
        PutIe(f, ie::kBearer, {0x90, 0x90, 0xA3});
    } else if (bearer < 95) {
        PutIe(f, ie::kBearer, {0x88, 0x90});
    } else {
        PutIe(f, ie::kBearer, {0xA8, 0x90});
    }
    PutChannel(call, f, net, net ? 0 : 1);
    if (net) {
        // Presentation forms in rough proportion to a real exchange's mix.
        constexpr uint8_t kForms[20] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 6, 7, 8};
        const unsigned form = kForms[m_prng.Below(20)];
        const bool shown = CallingShown(form);
        if (!shown ? roll < 80 : roll < 20) {
            PutFacility(f, shown);
        }
        if (roll % 5 == 0) {
            PutIe(f, ie::kProgress, {0x82, 0x83});
        }
        if (roll % 7 == 0) {
            PutIeText(f, ie::kDisplay, {}, "INS CALL");
        }
        PutCalling(f, call.remote, form);
        if (roll % 6 == 0) {
            PutIeText(f, ie::kCallingSub, {0x80, 0x50}, "21");
        }
        PutIeText(f, ie::kCalled, {0x80}, ownNumber);
        if (roll % 8 == 0) {
            PutIeText(f, ie::kCalledSub, {0x80, 0x50}, "1234");
        } else if (roll % 8 == 1) {
            PutIe(f, ie::kCalledSub, {0xA0, 0x12, 0x34});
        }
        if (roll % 10 == 3) {
            PutRedirecting(f);
        }
        if (bearer >= 70 && bearer < 95) {
            PutIe(f, ie::kLowLayer, {0x88, 0x90, 0xA2});
        } else {
            PutIe(f, ie::kHighLayer, {0x91, 0x81});
        }
        if (roll % 9 == 0) {
            PutCodeset6(f);
        }
    } else {
        if (roll < 40) {
            if (roll < 25) {
                PutIeText(f, ie::kCalling, {0x00, 0x80}, ownNumber);
            } else {
                PutIeText(f, ie::kCalling, {0x80}, ownNumber);
            }
        }
        if (roll % 10 == 9) {
            PutIeText(f, ie::kCalled, {0xC1}, call.remote);
        } else {
            PutIeText(f, ie::kCalled, {0x80}, call.remote);
        }
        if (roll % 12 == 0) {
            PutIeText(f, ie::kCalledSub, {0x80, 0x50}, "77");
        }
        PutIe(f, ie::kHighLayer, {0x91, 0x81});
    }
}

void MessageBuilder::BuildOversizeInformation(FrameBytes& f, uint8_t crLength, uint32_t crValue,
                                              bool crFlag) {
    PutMessageHead(f, crLength, crValue, crFlag, mt::kInformation);
    const unsigned total = 263 + static_cast<unsigned>(m_prng.Below(2));
    const unsigned content = total - f.size - 2;
    f.Put(ie::kUserUser);
    f.Put(static_cast<uint8_t>(content));
    f.Put(0x04);
    for (unsigned i = 1; i < content; ++i) {
        f.Put(static_cast<uint8_t>('A' + i % 26));
    }
}

void MessageBuilder::PutCallIdentity(FrameBytes& f, uint16_t identity) {
    const char id[3] = {static_cast<char>('0' + identity / 10),
                        static_cast<char>('0' + identity % 10), 0};
    PutIeText(f, ie::kCallIdentity, {}, id);
}

void MessageBuilder::PutChannel(const GeneratedCall& call, FrameBytes& f, bool fromNetwork,
                                uint8_t variant) {
    const uint8_t ch = call.channel;
    if (ch == 0) {
        // No free channel: the terminal asks for any, the network offers none.
        const uint8_t none = m_is1500 ? 0xA0 : 0x80;
        const uint8_t any = m_is1500 ? 0xA3 : 0x83;
        PutIe(f, ie::kChannel, {fromNetwork ? none : any});
        return;
    }
    // variant 0: exclusive (the network's choice); 1: the terminal's request.
    const uint64_t roll = m_prng.Below(100);
    if (!m_is1500) {
        if (variant == 0 || roll < 20) {
            PutIe(f, ie::kChannel, {static_cast<uint8_t>(0x88 | ch)});
        } else if (roll < 60) {
            PutIe(f, ie::kChannel, {static_cast<uint8_t>(0x80 | ch)});
        } else {
            PutIe(f, ie::kChannel, {0x83});
        }
        return;
    }
    if (variant == 1 && roll < 10) {
        PutIe(f, ie::kChannel, {0xA3});
    } else if (roll < 25) {
        uint8_t map[3] = {0, 0, 0};  // channels 17-24, 9-16, 1-8
        map[2 - (ch - 1) / 8] = static_cast<uint8_t>(1u << ((ch - 1) % 8));
        PutIe(f, ie::kChannel,
              {static_cast<uint8_t>(fromNetwork ? 0xA9 : 0xA1), 0x93, map[0], map[1], map[2]});
    } else {
        const uint8_t first = variant == 1 && roll < 50 ? 0xA1 : 0xA9;
        PutIe(f, ie::kChannel, {first, 0x83, static_cast<uint8_t>(0x80 | ch)});
    }
}

void MessageBuilder::PutCalling(FrameBytes& f, const char* number, unsigned form) {
    switch (form) {
        case 0:
            PutIeText(f, ie::kCalling, {0x00, 0x80}, number);
            break;
        case 1:
            PutIeText(f, ie::kCalling, {0x00, 0x81}, number);
            break;
        case 2:
            PutIe(f, ie::kCalling, {0x00, 0xA0});  // restricted
            break;
        case 3:
            PutIe(f, ie::kCalling, {0x00, 0xC3});  // not available
            break;
        case 4:
            PutIe(f, ie::kCalling, {0x00, 0xE0});  // reserved presentation
            break;
        case 5:
            PutIeText(f, ie::kCalling, {0x80}, number);  // depends on the subscription
            break;
        case 6:
            PutIe(f, ie::kCalling, {0x00, 0x80});  // allowed, but no digits
            break;
        case 7:
            PutIeText(f, ie::kCalling, {0x21, 0x80}, number);  // a number type not handled
            break;
        default:
            PutIeText(f, ie::kCalling, {0x00, 0x00}, number);  // octet 3a without extension
            break;
    }
}

void MessageBuilder::PutFacility(FrameBytes& f, bool numberShown) {
    const uint64_t roll = m_prng.Below(20);
    const uint8_t invoke = m_prng.Byte();
    if (roll == 19) {
        PutIe(f, ie::kFacility, {0x91, 0xA1, 0x03});  // too short for either form
    } else if (!numberShown) {
        // 0-3 are the reasons the decoder names; 7 it does not know.
        const uint8_t reason = static_cast<uint8_t>(roll < 18 ? roll % 4 : 7);
        PutIe(f, ie::kFacility,
              {0x91, 0xA1, 0x0E, 0x02, 0x01, invoke, 0x06, 0x06, 0x02, 0x83, 0x38, 0x66, 0x01, 0x01,
               0x0A, 0x01, reason});
    } else {
        const uint8_t n = static_cast<uint8_t>(roll < 18 ? 1 + roll % 3 : 4);  // 4: unknown
        PutIe(f, ie::kFacility, {0x91, 0xA1, 0x11, 0x02, 0x01, invoke, 0x06, 0x07, 0x03, 0xA2,
                                 0x31, 0x87, 0x69, 0x01, 0x05, 0x31,   0x03, 0x81, 0x01, n});
    }
}

void MessageBuilder::PutRedirecting(FrameBytes& f) {
    char number[12];
    MakeNumber(m_prng, number, 10);
    switch (m_prng.Below(4)) {
        case 0:
            PutIeText(f, ie::kRedirecting, {0x80}, number);
            break;
        case 1:
            PutIeText(f, ie::kRedirecting, {0x00, 0x80}, number);
            break;
        case 2:
            PutIeText(f, ie::kRedirecting,
                      {0x00, 0x00, static_cast<uint8_t>(0x80 | m_prng.Between(1, 0xF))}, number);
            break;
        default:
            PutIe(f, ie::kRedirecting, {0x00, 0x00, 0x00});
            break;
    }
}

void MessageBuilder::PutCodeset6(FrameBytes& f) {
    f.Put(ie::kShift6);
    switch (m_prng.Below(3)) {
        case 0:
            PutIe(f, ie::kChargingNotice,
                  {0x02, 0x00, static_cast<uint8_t>(m_prng.Below(100)), 0x00});
            break;
        case 1:
            PutIe(f, ie::kGeneralNotice, {0x81, static_cast<uint8_t>(m_prng.Below(8))});
            break;
        default:
            PutIe(f, ie::kOutgoingOnly, {0x80});
            break;
    }
}

}  // namespace tessary::loggen
