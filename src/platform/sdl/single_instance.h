// One running copy per user: a lock file and a local socket in the runtime folder.
#pragma once

#include <string>

namespace platform::desktop {

// The folder that holds the lock and the socket: $XDG_RUNTIME_DIR, else /tmp.
std::string instanceFolder();
// The two paths, named per user.
std::string instanceLockPath();
std::string instanceSocketPath();

// Makes this process act like a fresh copy that has claimed nothing (a forked child
// inherits the claim of its parent; tests start "another copy" that way).
void forgetInstanceClaim();

}  // namespace platform::desktop
