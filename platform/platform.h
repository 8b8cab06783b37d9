#pragma once
// The whole set of Windows services the portable core stands on. The real
// one wraps Win32; the in-memory one gives tests the same semantics.
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace cvl::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual System& system() = 0;
  // True for a machine that only writes down what a run would change: a
  // run over it must leave everything as it was, its own store included.
  virtual bool changesNothing() const { return false; }
};

// Converts UTF-16LE text to the ANSI code page; characters the code page
// lacks become '?'. Windows uses CP_ACP, the native build Windows-1252.
std::string wideToAnsi(const std::u16string& text);

// Upper-cases single-byte text the way the system's own names are folded (ASCII).
std::string upper(std::string text);
bool equalsNoCase(const std::string& a, const std::string& b);
// Whether every byte is ASCII, where upper() folds case as Windows does.
bool isPlainAscii(const std::string& text);

}  // namespace cvl::platform
