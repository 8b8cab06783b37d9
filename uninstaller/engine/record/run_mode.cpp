#include "uninstaller/engine/record/run_mode.h"

#include "uninstaller/engine/record/journaling_platform.h"
#include "uninstaller/engine/record/plan_platform.h"

namespace cvl {

RunMode runModeFor(bool plan, bool logged) {
  return plan ? RunMode::Plan : logged ? RunMode::Logged : RunMode::Real;
}

RunMachine::RunMachine(platform::Platform& real, RemovalJournal& journal, RunMode mode) : real_(real) {
  if (mode == RunMode::Logged) layer_ = std::make_unique<JournalingPlatform>(real, journal);
  if (mode == RunMode::Plan) layer_ = std::make_unique<PlanPlatform>(real, journal);
}

RunMachine::~RunMachine() = default;

}  // namespace cvl
