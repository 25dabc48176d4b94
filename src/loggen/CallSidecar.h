#pragma once
// The list of the calls a generated log holds, written beside it on request (--call-list): for
// every call whose SETUP is in the log, its start, line, call reference, numbers, channel,
// result and first cause, as the generator made them. Tests hold the call list of the viewer
// and of tessarydump against it.
#include <string>

#include "loggen/LogProfile.h"

namespace tessary::loggen {

// CSV with a header row: start ("YYYY/MM/DD hh:mm:ss.fff"), line (1 or 2 in a bulk log, else
// empty), callRef ("発1" / "着1"), calling and called (the digits, empty when not shown),
// channel (its number as the network names it, empty for none), result (answered, rejected,
// abandoned, network, open) and cause (the first cause value, empty for none). False with `error`
// when the file cannot be written.
bool WriteCallList(const LogProfile& profile, const std::string& path, std::string& error);

}  // namespace tessary::loggen
