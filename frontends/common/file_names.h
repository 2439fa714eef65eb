// The names a save works with on every system: a path copied only when it
// fits, the temporary file written before it replaces the score file, named
// beside it "<file>.<process>-<try>.tmp" and tried in turn until one is new,
// and the lock file with the wait for it. Each system creates the files its
// own way; the names, the tries and the wait are the same everywhere.
#pragma once

#include <cstdio>
#include <cstring>

#include "seam/file_store.h"

namespace platform {

// Copies `from` into `to` with its end; returns 0, copying nothing, when it
// does not fit in `room` bytes.
inline int CopyName(const char* from, char* to, int room) {
    const std::size_t length = std::strlen(from);
    if (length >= static_cast<std::size_t>(room)) return 0;
    std::memcpy(to, from, length + 1);
    return 1;
}

// How many unique names a save tries before it gives up: another copy of the
// game, or a stale file, link or folder, may hold the first ones.
constexpr int TemporaryNameTries = 100;

// The lock copies of the game save under sits beside the score file, under
// its name and this ending.
constexpr const char* ScoreLockSuffix = ".lock";
// How long a save waits for the lock before it saves without it: a save
// holds the lock for a few milliseconds, so 150 pauses of 20 ms (3 seconds)
// pass only when something is badly wrong with the other copy or the disk.
constexpr int LockPauseMilliseconds = 20;
constexpr int LockAttempts = 150;

// What one try at creating a file under a name came to.
struct CreateTry {
    FileHandle file;  // the new file, or negative
    bool nameTaken;   // the name exists already: the next name is tried
    FileFault fault;  // why it failed otherwise
};

// Puts each name in turn into `name` and calls `create(name)`, which returns
// a CreateTry; stops at the first file made, or at the first failure that is
// not a taken name. A name that does not fit in `room` ends the tries.
template <typename Create>
FileHandle CreateUniquelyNamed(const char* beside, unsigned long process, char* name, int room, FileFault& fault,
                               Create create) {
    fault = FileFault::Other;
    for (int attempt = 0; attempt < TemporaryNameTries; ++attempt) {
        const int length = std::snprintf(name, static_cast<std::size_t>(room), "%s.%lu-%d.tmp", beside, process, attempt);
        if (length < 0 || length >= room) return -1;
        const CreateTry made = create(name);
        if (made.file >= 0) {
            fault = FileFault::None;
            return made.file;
        }
        if (!made.nameTaken) {
            fault = made.fault;
            return -1;
        }
    }
    return -1;
}

}  // namespace platform
