#ifndef PONDQUEST_PRINTFFORMAT_H
#define PONDQUEST_PRINTFFORMAT_H

// Format checks for the game's printf-style operations. With MinGW's own printf (C99 formats
// such as %zu) GCC must check against gnu_printf; clang knows only printf, which is the same
// on Linux.
#if defined(__MINGW32__) && !defined(__clang__)
#define PONDQUEST_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define PONDQUEST_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define PONDQUEST_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

#endif
