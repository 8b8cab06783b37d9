#pragma once
// A removal cut short after any of its changes, as a killed process is, then
// run again to its end: the machine ends as after one whole removal (or,
// cut once the store was written back, as after a whole removal run again:
// where a store's dependencies are one-sided, a second run may take what
// the first had to leave), no shared count ever drops below what those
// removals leave, every change of both runs is one the checker allows, and
// no RunOnce command starts twice.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "tests/checker/checked_removal.h"

namespace cvl::checker {

// The same choices afresh for each run over one installation.
using ChoicesSource = std::function<std::unique_ptr<Choices>()>;

struct WholeRemoval {
  MachineSnapshot end;
  MachineSnapshot endRunAgain;
  uint64_t changes = 0;  // each a step the cut can stop after
  std::map<std::string, int> starts;  // RunOnce command lines, how often each started
};

WholeRemoval wholeRemoval(const ChoicesSource& source);

// Empty when the property holds for this cut, else what broke it.
std::string cutAndRunAgain(const ChoicesSource& source, uint64_t cut, const WholeRemoval& whole);

}  // namespace cvl::checker
