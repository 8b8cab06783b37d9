#pragma once
// Calling convention of the Windows libraries the engine calls into. Only
// 32-bit x86 Windows distinguishes it; elsewhere it is the default one.
#if defined(_WIN32) && defined(__i386__)
#define CVL_STDCALL __attribute__((stdcall))
#else
#define CVL_STDCALL
#endif
