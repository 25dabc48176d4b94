#pragma once
// Status codes shared by the reader, the converter and the windows.
#include <cstdint>

namespace tessary {

inline constexpr int32_t kStatusDone = 0;
inline constexpr int32_t kStatusCrcError = 0x100;    // per record: frame check failed
inline constexpr int32_t kStatusOutOfScope = 0x101;  // per record: not decodable
inline constexpr int32_t kStatusRunning = 0x200;     // also: start refused, a walk runs
inline constexpr int32_t kStatusStopped = 0x300;     // stopped by the user
inline constexpr int32_t kStatusNoRecord = 0x301;
inline constexpr int32_t kStatusReadError = 0x302;
inline constexpr int32_t kStatusNotStarted = 0x303;
inline constexpr int32_t kStatusOutOfMemory = 0x304;
inline constexpr int32_t kStatusNoBlock = 0x305;
inline constexpr int32_t kStatusWriteError = 774;
inline constexpr int32_t kStatusNoLog = 775;  // no log loaded, or save prompt cancelled

// OpenStatus of a reader.
inline constexpr int32_t kOpenOk = 0;
inline constexpr int32_t kOpenFailed = 1;
inline constexpr int32_t kOpenReadError = 2;
inline constexpr int32_t kOpenFormatError = 3;
inline constexpr int32_t kOpenBadArgument = -1;

// Notification wParam values of WM_APP+1.
inline constexpr uint32_t kWmApp = 0x8000;
inline constexpr uintptr_t kNotifyProgress = 0x200;
inline constexpr uintptr_t kNotifyEnded = 0x300;

}  // namespace tessary
