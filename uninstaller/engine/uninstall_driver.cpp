#include "uninstaller/engine/uninstall_driver.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/component_registry.h"
#include "uninstaller/engine/phases/file_removal.h"
#include "uninstaller/engine/phases/file_unregistration.h"
#include "uninstaller/engine/phases/final_cleanup.h"
#include "uninstaller/engine/phases/msi_path.h"
#include "uninstaller/engine/record/noted_changes.h"
#include "uninstaller/engine/phases/restart_removal.h"
#include "uninstaller/engine/phases/run_once.h"
#include "uninstaller/engine/phases/shortcuts.h"
#include "uninstaller/engine/phases/vba_runtime.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

// Visits every component of the catalogue once, working on those due for
// removal, and ticks once per component.
template <class Work>
void forEachComponent(RemovalContext& context, ProgressWindow& progress, Work work) {
  for (const auto& entry : context.catalogue.componentMap) {
    if (entry.component->isDueForRemoval()) work(*entry.component);
    progress.tick();
  }
}

bool markChildren(RemovalContext& context, const SelectionTree& tree, SelectionTree::Item parent) {
  bool any = false;
  for (auto child = tree.firstChild(parent); child != 0; child = tree.nextSibling(child)) {
    any = markSelection(context, tree, child) || any;
  }
  return any;
}

bool markTopLevel(RemovalContext& context, const SelectionTree& tree) {
  bool any = false;
  for (auto item = tree.firstRoot(); item != 0; item = tree.nextSibling(item)) {
    any = markSelection(context, tree, item) || any;
  }
  return any;
}

// Only fully checked top-level items run their commands; a partly checked
// group is not being removed as a whole.
void runCheckedRunOnce(RemovalContext& context, const SelectionTree& tree) {
  for (auto item = tree.firstRoot(); item != 0; item = tree.nextSibling(item)) {
    const CComponent* component = tree.component(item);
    if (tree.checkState(item) == CheckState::Checked && component != nullptr) {
      runComponentRunOnce(context.platform, component->name, context.journal,
                          [&](const std::string& valueName, const std::string& command) {
                            return mayStartRunOnce(context, {component->name, valueName, command});
                          });
    }
  }
}

// Why an installed component the run does not touch stays: it was not
// asked for, or components that stay still need it.
void journalComponentsKept(RemovalContext& context) {
  if (!context.journal->attached()) return;
  for (const auto& entry : context.catalogue.componentMap) {
    const CComponent& component = *entry.component;
    if (!component.isEligible() || component.isDueForRemoval()) continue;
    std::string needers;
    for (const std::string& name : component.requiredBy) {
      const CComponent* needer = context.catalogue.componentMap.find(name);
      if (needer && needer->isEligible() && !needer->isDueForRemoval()) needers += (needers.empty() ? "" : ", ") + needer->name;
    }
    context.journal->kept("component", component.name,
                          component.removalRequests == 0 || needers.empty() ? "not selected" : "still required by " + needers);
  }
}

// The store is written back before anything of the uninstaller's own goes.
// The record stays with the store: through the final clean-up, which it
// lets a second run finish, and after a part of the suite went, so that no
// RunOnce command runs twice.
void finishRemoval(RemovalContext& context) {
  // Noted before the write-back: a run cut short in between finds the
  // clean-up begun, not a store that offers nothing more.
  const auto target = context.pathMacros.find("<TARGETDIR>");
  if (context.allRemoved && !context.platform.changesNothing()) {
    // A clean-up that cannot be noted still runs; only a cut one could not be finished later.
    (void)context.record.noteCleanupBegun(target != context.pathMacros.end() ? target->second : "");
  }
  // A store whose size changes is noted before it is replaced, so the record
  // holds to it whenever a cut comes.
  const auto noteNewSize = [&](const std::string& image) {
    (void)context.record.noteStoreRewritten(bindingOf(context.files(), image));
  };
  const bool writtenBack = !context.platform.changesNothing() &&
                           writeBackSelection(context.catalogue, context.store, context.files(), noteNewSize);
  if (writtenBack) context.record.rebind(bindingOf(context.files(), context.store.path()));
  if (context.allRemoved) {
    context.journal->note("final clean-up: the whole suite was selected");
    removeUninstallerTraces(context);  // removes the record in its turn
  } else if (!context.platform.changesNothing()) {
    (void)context.record.noteRunEnded();  // unnoted, the next run only sweeps missing folders' parents too
  }
}

void runPhases(RemovalContext& context, ProgressWindow& progress) {
  journalComponentsKept(context);
  forEachComponent(context, progress, [&](const CComponent& component) {
    unregisterComponentFiles(context, component);
    collectMsiPath(context, component);
  });
  if (!context.msiPaths.empty()) uninstallVbaRuntime(context.platform, context.msiPaths);

  progress.showStep(RunStep::ProgramFiles);
  forEachComponent(context, progress, [&](const CComponent& component) { removeComponentFiles(context, component); });

  progress.showStep(RunStep::ProgramFolders);
  forEachComponent(context, progress,
                   [&](const CComponent& component) { removeComponentShortcuts(context, component); });

  progress.showStep(RunStep::ProgramDirectories);
  context.notedPaths.removeNotedDirs(context.platform);
  scheduleFoldersLeftForRestart(context);

  progress.showStep(RunStep::RegistryEntries);
  {
    KeyWalker keys(context.registry());
    forEachComponent(context, progress,
                     [&](const CComponent& component) { removeComponentRegistry(context, keys, component); });
  }
  context.notedPaths.removeNotedKeys(context.platform, context.keptKeys());
}

}  // namespace

bool markSelection(RemovalContext& context, const SelectionTree& tree, SelectionTree::Item item) {
  switch (tree.checkState(item)) {
    case CheckState::Checked:
      if (CComponent* component = tree.component(item)) component->requestRemoval();
      return true;
    case CheckState::Partly:
      context.allRemoved = false;
      return markChildren(context, tree, item);
    case CheckState::Unchecked:
    default:
      context.allRemoved = false;
      return false;
  }
}

bool runUninstall(RemovalContext& context, const SelectionTree& tree, ProgressWindow& progress) {
  context.allRemoved = true;
  context.hadErrors = false;
  if (!markTopLevel(context, tree)) return false;

  const int components = static_cast<int>(context.catalogue.componentMap.size());
  progress.create();
  context.ownerWindow = progress.windowHandle();
  progress.setProgressVisible(context.showProgress);
  progress.showStep(RunStep::SelfRegistering);
  progress.setRange(0, 4 * components);

  openRemovalRecord(context);
  runCheckedRunOnce(context, tree);
  runPhases(context, progress);
  context.phasesDone = true;
  finishRemoval(context);

  progress.showStep(context.platform.changesNothing() ? RunStep::PlanWritten : context.hadErrors ? RunStep::PartlyDone
                                               : context.restartNeeded() ? RunStep::RestartNeeded : RunStep::Succeeded);
  progress.tick();
  progress.finish(context.silent);
  return true;
}

}  // namespace cvl
