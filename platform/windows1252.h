#pragma once
// Windows-1252 places these characters in 0x80..0x9F (a zero marks the five
// bytes it leaves undefined); the rest of its upper half matches Latin-1.
// Shared by the native build's code page and cvlinst's JSON text.

namespace cvl::platform {

inline constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace cvl::platform
