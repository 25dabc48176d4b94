#include "resources/Accelerators.h"

#include "resources/ResourceIds.h"

namespace tessary::res {
namespace {

constexpr Accelerator kMainAccelerators[] = {
    {'O', kAccelControl, kCmdOpen},
    {'P', kAccelControl, kCmdProperty},
    {'F', kAccelControl, kCmdFocusSearch},
    {'L', kAccelControl, kCmdCallList},
    {kVkF2, 0, kCmdReload},
    {kVkF3, 0, kCmdFindNext},
    {kVkF3, kAccelShift, kCmdFindPrevious},
    {kVkF5, 0, kCmdSwapBc},
    {kVkF5, kAccelShift, kCmdAscendingOrder},
    {kVkF5, kAccelControl, kCmdLayoutColumns},
    {kVkF9, 0, kCmdShowSelection},
};

}  // namespace

std::span<const Accelerator> AcceleratorTable(int tableId) {
    if (tableId == kAcceleratorMain) {
        return kMainAccelerators;
    }
    return {};
}

}  // namespace tessary::res
