#pragma once
// The thread's last error, a Windows error number (GetLastError / SetLastError).
#include <cstdint>

namespace tessary {

uint32_t GetLastError();
void SetLastError(uint32_t error);

// Keeps the last error across a scope (traces and clean-up must not disturb it).
class LastErrorKeeper {
public:
    LastErrorKeeper() : m_saved(GetLastError()) {}
    ~LastErrorKeeper() { SetLastError(m_saved); }
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

private:
    uint32_t m_saved;
};

}  // namespace tessary
