#pragma once
// A journal line as it may be written: a logged name holding a line break
// could forge a record of its own, and a zero byte would cut a reader's
// line short, so each is shown as "<0xNN>".
#include <string>

namespace cvl {

std::string printableLine(const std::string& line);

}  // namespace cvl
