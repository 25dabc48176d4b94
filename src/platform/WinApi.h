#pragma once
// The Windows API as the platform layer uses it: the lean headers, without the min and max
// macros that would clash with the standard library.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
