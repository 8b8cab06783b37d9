#pragma once
// The three ways a removal can run, and the machine each one works on. The
// program picks the mode from its switches; the driver only sees the
// machine, which says itself whether it changes anything.
#include <memory>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"

namespace cvl {

enum class RunMode {
  Real,    // no log: straight onto the machine, paying nothing for a journal
  Logged,  // onto the machine, every change written to the journal
  Plan,    // nothing changed; the journal says what a real run would do
};

RunMode runModeFor(bool plan, bool logged);

// Owns whatever layer the mode puts between the run and the real machine.
class RunMachine {
 public:
  RunMachine(platform::Platform& real, RemovalJournal& journal, RunMode mode);
  ~RunMachine();
  RunMachine(const RunMachine&) = delete;
  RunMachine& operator=(const RunMachine&) = delete;

  platform::Platform& platform() { return layer_ ? *layer_ : real_; }

 private:
  platform::Platform& real_;
  std::unique_ptr<platform::Platform> layer_;
};

}  // namespace cvl
