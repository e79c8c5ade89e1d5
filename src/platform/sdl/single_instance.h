// One running copy per user: a lock file and a local socket in the runtime folder.
#pragma once

#include <string>

namespace platform::desktop {

// The folder that holds the lock and the socket: $XDG_RUNTIME_DIR when it is an absolute
// path to a private folder of this user, else a private folder in the user's cache
// ($XDG_CACHE_HOME/tallreed, made with mode 0700); "" when there is neither.
std::string instanceFolder();
// The two paths ("" without a folder).
std::string instanceLockPath();
std::string instanceSocketPath();

// Makes this process act like a fresh copy that has claimed nothing (a forked child
// inherits the parent's memory of its claim, though not the lock; tests start "another
// copy" that way).
void forgetInstanceClaim();

}  // namespace platform::desktop
