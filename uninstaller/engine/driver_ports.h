#pragma once
// What the removal driver needs from the windows around it: the selection
// tree it reads check states from, and the progress window it reports to.
// The dialogs implement these; tests use plain recorders.
#include <cstdint>

namespace cvl {

class CComponent;

enum class CheckState : int { Unchecked = 0, Checked = 1, Partly = 2 };

// What the progress window shows: the five phases of a run in order, then
// one result. The numbers are the window's own (its marks and texts).
enum class RunStep : int {
  SelfRegistering = 1,
  ProgramFiles,
  ProgramFolders,
  ProgramDirectories,
  RegistryEntries,
  Succeeded,
  PartlyDone,
  RestartNeeded,
  PlanWritten,
};

// The selection tree, read-only. Items are opaque ids; 0 means none.
class SelectionTree {
 public:
  using Item = std::uintptr_t;
  virtual ~SelectionTree() = default;
  virtual Item firstRoot() const = 0;
  virtual Item firstChild(Item item) const = 0;
  virtual Item nextSibling(Item item) const = 0;
  virtual CheckState checkState(Item item) const = 0;
  virtual CComponent* component(Item item) const = 0;  // may be null
};

// The progress window of one run. create() makes it the application's
// main window; finish() ends the run: destroyed when silent, else activated
// with its OK button for the user.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void create() = 0;
  // The window once created, as a handle value; 0 when there is none.
  virtual std::uintptr_t windowHandle() const { return 0; }
  virtual void setProgressVisible(bool visible) = 0;
  // A RunStep's number; anything else is ignored.
  virtual void showStep(int step) = 0;
  void showStep(RunStep step) { showStep(static_cast<int>(step)); }
  // Beside the result, once: the run's log file could not be written.
  virtual void showLogNotWritten() = 0;
  virtual void setRange(int minimum, int maximum) = 0;
  virtual void tick() = 0;  // advances the bar by one and lets waiting messages through
  virtual void finish(bool silent) = 0;
};

}  // namespace cvl
