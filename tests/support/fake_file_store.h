// The seam's file part for the tests: every step goes through to the real
// POSIX one and is recorded in order, and a test can make a chosen step fail
// with a chosen reason, as a read-only folder or a full disk would.
#pragma once

#include <string>
#include <vector>

#include "seam/file_store.h"

namespace fake {

// Makes the next-but-`skip` call of step `step` fail with `fault`. A failing
// "write" first writes half of its bytes, as a disk that fills up half way.
// Steps: "create", "write", "sync file", "close", "replace", "sync folder",
// and "lock", which then fails as a lock not had in time.
struct FileInjection {
    std::string step;
    platform::FileFault fault = platform::FileFault::Other;
    int skip = 0;
};

struct FileStore {
    // One line per step taken: "open NAME", "find NAME", "create NAME",
    // "write N", "sync file", "close", "replace FROM TO", "sync folder NAME",
    // "remove NAME", "lock NAME", "unlock"; a failed step ends in " failed".
    std::vector<std::string> steps;
    std::vector<FileInjection> injections;
};

FileStore& Files();
// Forgets the steps and every injection.
void ResetFiles();

}  // namespace fake
