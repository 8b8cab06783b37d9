#pragma once
// The machine as a plan (/PLAN) sees it: reads go to the real machine but
// answer as if the run's earlier changes had been made, and the changes
// themselves are written to the journal instead of being made. The engine
// runs over it unchanged, so the plan is what a real run would decide.
// Commands and libraries are listed, never started or loaded; what they
// would change, and which files are in use, cannot be known here.
#include <memory>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"

namespace cvl {

class PlanPlatform : public platform::Platform {
 public:
  PlanPlatform(platform::Platform& real, RemovalJournal& journal);
  ~PlanPlatform() override;

  platform::Registry& registry() override;
  platform::FileSystem& files() override;
  platform::System& system() override;
  bool changesNothing() const override { return true; }

 private:
  class Files;
  class Keys;
  class SystemCalls;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Keys> registry_;
  std::unique_ptr<SystemCalls> system_;
};

}  // namespace cvl
