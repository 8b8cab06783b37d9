#include "uninstaller/engine/record/noted_changes.h"

#include <algorithm>
#include <vector>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/removal/shared_dll.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

enum class NotedState { None, Done, Pending, Unclear };

struct PathNotes {
  std::vector<const ReleaseNote*> notes;  // in record order
  NotedState state = NotedState::None;
};

// Notes are per count, and each spelling of a path names a count of its own.
bool sameValueName(const std::string& a, const std::string& b) { return platform::upper(a) == platform::upper(b); }

// The count as stored, -1 when there is none to release.
int32_t currentCount(RemovalContext& context, const std::string& fullPath) {
  const int32_t afterOne = releaseSharedDll(context.platform, fullPath, false);
  return afterOne < 0 ? -1 : afterOne + 1;
}

// The last note of a path tells how far the releases of that path got:
// every earlier one was done before it was noted. Notes of components this
// run does not remove belong to runs that ended and are done.
PathNotes notesOf(const RemovalContext& context, const std::string& fullPath, int32_t count) {
  PathNotes found;
  for (const ReleaseNote* note : context.record.releasesOf(fullPath)) {
    const CComponent* component = context.catalogue.componentMap.find(platform::upper(note->component));
    if (component && component->isDueForRemoval()) found.notes.push_back(note);
  }
  if (found.notes.empty()) return found;
  const ReleaseNote& last = *found.notes.back();
  if (last.after == 0 ? count < 0 : count == last.after) {
    found.state = NotedState::Done;
  } else if (count == last.before) {
    found.state = NotedState::Pending;
  } else {
    found.state = NotedState::Unclear;
  }
  return found;
}

bool sameListing(const ReleaseNote& note, const RemovalContext& context, const std::string& fullPath) {
  return note.component == context.releasingComponent && note.group == context.releasingGroup &&
         sameValueName(note.path, fullPath);
}

// This listing's own note: the n-th of its component, group and path.
const ReleaseNote* listingNote(const PathNotes& found, RemovalContext& context, const std::string& fullPath) {
  int listing = context.releaseListings[platform::upper(context.releasingComponent + "\t" + context.releasingGroup + "\t" + fullPath)]++;
  for (const ReleaseNote* note : found.notes) {
    if (sameListing(*note, context, fullPath) && listing-- == 0) return note;
  }
  return nullptr;
}

std::string countChange(int32_t before, int32_t after) {
  return std::to_string(before) + " -> " + std::to_string(after);
}

int32_t releaseNow(RemovalContext& context, const std::string& fullPath, std::string& why) {
  const int32_t released = releaseSharedDll(context.platform, fullPath, true);
  if (released < 0) why = "shared, no usable count";
  if (released > 0) why = "shared, count " + countChange(released + 1, released);
  return released;
}

}  // namespace

void openRemovalRecord(RemovalContext& context) {
  platform::FileSystem& files = context.recordFiles ? *context.recordFiles : context.files();
  const StoreBinding store = bindingOf(files, context.store.path());
  context.record.open(files, context.uninstallDir + kRecordFileName, store, context.platform.changesNothing());
  if (!context.record.whyIgnored().empty()) context.journal->note(context.record.whyIgnored());
  // A run that goes on from one cut short finds folders that run removed.
  context.notedPaths.missingDirsWereRemoved = context.record.runWasCut();
  if (context.record.runWasCut()) {
    context.journal->note("removal record " + context.record.path() + ": going on from a run that was cut short");
  }
  if (!context.record.begin() && !context.platform.changesNothing()) {
    context.journal->note("removal record " + context.record.path() +
                          " cannot be written: no shared count is released and no RunOnce command started");
  }
}

int32_t releaseNotedShare(RemovalContext& context, const std::string& fullPath, std::string& why) {
  RemovalRecord& record = context.record;
  if (record.state() == RemovalRecord::State::Unreadable) {
    why = "shared, the removal record cannot be read";
    return -1;
  }
  const int32_t count = currentCount(context, fullPath);
  const PathNotes found = notesOf(context, fullPath, count);
  if (const ReleaseNote* own = listingNote(found, context, fullPath)) {
    if (found.state == NotedState::Unclear) {
      const ReleaseNote& last = *found.notes.back();
      why = "shared, count is " + (count < 0 ? std::string("gone") : std::to_string(count)) +
            " but the removal record noted " + countChange(last.before, last.after);
      return -1;
    }
    const bool last = own == found.notes.back();
    if (last && found.state == NotedState::Pending) return releaseNow(context, fullPath, why);
    // Released by an earlier run; one that reached 0 may not have removed
    // the current user's copy of the value nor deleted the file yet.
    if (last && own->after == 0) {
      deleteSharedCount(context.platform, fullPath);
      return 0;
    }
    why = "shared, count " + countChange(own->before, own->after) + " released by an earlier run";
    return -1;
  }
  if (count < 0) {
    why = "shared, no usable count";
    return -1;
  }
  if (!record.noteRelease({context.releasingComponent, context.releasingGroup, fullPath, count, count - 1})) {
    why = "shared, the removal record cannot be written";
    return -1;
  }
  return releaseNow(context, fullPath, why);
}

bool noteSaysDeletedHere(RemovalContext& context, const std::string& fullPath) {
  const PathNotes found = notesOf(context, fullPath, currentCount(context, fullPath));
  const ReleaseNote* own = listingNote(found, context, fullPath);
  return own != nullptr && own == found.notes.back() && own->after == 0 && found.state == NotedState::Done;
}

bool noteSaysFileGoes(RemovalContext& context, const std::string& fullPath, int listings) {
  if (context.record.state() == RemovalRecord::State::Unreadable) return false;
  const int32_t count = currentCount(context, fullPath);
  const PathNotes found = notesOf(context, fullPath, count);
  if (found.state == NotedState::Unclear) return false;
  if (found.state == NotedState::Done && found.notes.back()->after == 0) return true;
  const int done = static_cast<int>(found.notes.size()) - (found.state == NotedState::Pending ? 1 : 0);
  return count > 0 && std::max(listings, 1) - done >= count;
}

bool mayStartRunOnce(RemovalContext& context, const RunOnceNote& note) {
  const char* refused = context.record.state() == RemovalRecord::State::Unreadable ? "the removal record cannot be read"
                        : context.record.ranRunOnce(note)                         ? "started by an earlier run"
                        : !context.record.noteRunOnce(note) ? "the removal record cannot be written"
                                                            : nullptr;
  if (refused != nullptr) context.journal->kept("command", note.command, refused);
  return refused == nullptr;
}

}  // namespace cvl
