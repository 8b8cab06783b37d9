#pragma once
// Lets the user interface breathe while long work runs on its one thread.
namespace cvl {

// Dispatches every waiting message. False when a quit message came by: it
// is posted again for the loop that owns the thread, and the caller should
// wind down.
bool pumpMessages();

}  // namespace cvl
