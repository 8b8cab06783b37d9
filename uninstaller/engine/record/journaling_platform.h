#pragma once
// The machine as the removal sees it when its run is logged: every call
// goes through to the real platform unchanged, and each deletion that
// succeeded, each command started and each library loaded is written to
// the journal. The removal code itself stays unaware of the log.
#include <memory>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"

namespace cvl {

class JournalingPlatform : public platform::Platform {
 public:
  JournalingPlatform(platform::Platform& inner, RemovalJournal& journal);
  ~JournalingPlatform() override;

  platform::Registry& registry() override;
  platform::FileSystem& files() override;
  platform::System& system() override;

 private:
  class Files;
  class Keys;
  class SystemCalls;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Keys> registry_;
  std::unique_ptr<SystemCalls> system_;
};

}  // namespace cvl
