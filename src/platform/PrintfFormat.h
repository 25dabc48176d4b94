#pragma once
// Lets GCC and Clang check the arguments of a printf-style function against its format (MinGW's
// C++ library formats as GNU printf does); other compilers take the declaration as it is.
#if defined(__MINGW32__)
#define TESSARY_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__) || defined(__clang__)
#define TESSARY_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define TESSARY_PRINTF_FORMAT(formatIndex, firstArgument)
#endif
