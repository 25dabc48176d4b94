#pragma once
// Accelerator table 128 as data: virtual-key codes and modifiers, as in a resource script.
#include <cstdint>
#include <span>

namespace tessary::res {

inline constexpr uint8_t kAccelShift = 0x04;    // FSHIFT
inline constexpr uint8_t kAccelControl = 0x08;  // FCONTROL
inline constexpr uint8_t kAccelAlt = 0x10;      // FALT

// Virtual-key codes the table uses.
inline constexpr uint16_t kVkF2 = 0x71;
inline constexpr uint16_t kVkF3 = 0x72;
inline constexpr uint16_t kVkF5 = 0x74;
inline constexpr uint16_t kVkF9 = 0x78;

struct Accelerator {
    uint16_t key;  // virtual-key code ('A'-'Z' for letters)
    uint8_t modifiers;
    int command;
};

// The entries of accelerator table 128 (empty for any other id).
std::span<const Accelerator> AcceleratorTable(int tableId);

}  // namespace tessary::res
