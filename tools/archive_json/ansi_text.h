#pragma once
// Archive text is single-byte Windows-1252; JSON text is UTF-8. Every byte
// maps to one character and back, the five bytes Windows-1252 leaves
// undefined included (as U+0081, U+008D, ...), so no text is lost on the way.
#include <string>

namespace cvl {

std::string ansiToUtf8(const std::string& ansi);
// False when the text is not UTF-8 or holds a character with no byte.
bool utf8ToAnsi(const std::string& utf8, std::string& ansi);

}  // namespace cvl
