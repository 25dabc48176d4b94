#pragma once
// printf-style text building for the tools' texts (UTF-8 inside, UTF-16 for the windows).
#include <cstdint>
#include <string>

namespace tessary {

// vsnprintf into a string; a bad format gives an empty text.
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Decimal with a ',' every three digits: 1,234,567.
std::string Grouped(uint64_t value);

// A byte count in "Mbytes": bytes / 2^20 grouped, '.', one truncated digit (1,234.5).
std::string Megabytes(uint64_t bytes);

}  // namespace tessary
