// Starting a thread that nobody joins, without ending the program when the system has none to
// give (its limit on the user's processes reached): the caller hears that and fails as it would
// on any other refusal.
#pragma once

#include <functional>

// Runs work on a detached thread of its own; false, with work not run, when no thread could be
// started. Any thread.
bool startDetachedThread(std::function<void()> work);
