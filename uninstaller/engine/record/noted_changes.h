#pragma once
// How a removal treats the changes its record notes: a shared count is
// released, and a RunOnce command started, only once over any number of
// runs, and a record that cannot be trusted makes the run more careful.
#include <cstdint>
#include <string>

#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Opens the run's record beside the store and makes it this run's; says in
// the journal why a record was ignored or cannot be written.
void openRemovalRecord(RemovalContext& context);

// One listing of a shared file in the group context.releasingGroup of
// context.releasingComponent: notes and releases its count, unless an
// earlier run did. 0 when the file goes now; otherwise it stays, for the
// reason given in why.
int32_t releaseNotedShare(RemovalContext& context, const std::string& fullPath, std::string& why);

// For a listing of a shared file found missing: whether this listing's own
// note is the release that took the count to 0, so an earlier run deleted
// the file here and its help side files are due here too.
bool noteSaysDeletedHere(RemovalContext& context, const std::string& fullPath);

// Whether phase 2 will leave the shared file with a count of 0, given what
// the record says earlier runs released: listings is how often this run
// releases it.
bool noteSaysFileGoes(RemovalContext& context, const std::string& fullPath, int listings);

// Notes a RunOnce command before it starts; false (with the reason in the
// journal) when it must not start: an earlier run started it, or the
// record cannot be read or written.
bool mayStartRunOnce(RemovalContext& context, const RunOnceNote& note);

}  // namespace cvl
