// The score file's steps on a POSIX system: open without waiting, read only a
// regular file, create the temporary file exclusively, rename it over the
// file, sync the file and its folder. Knows nothing of what the file holds.
#include "frontends/posix/posix_files.h"

#include "frontends/common/file_names.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace platform::posix {

namespace {

FileFault FaultOf(int error) {
    switch (error) {
        case EROFS:
        case EACCES:
        case EPERM:
            return FileFault::ReadOnly;
        case ENOSPC:
#if defined(EDQUOT)
        case EDQUOT:
#endif
            return FileFault::DiskFull;
        case EISDIR:
            return FileFault::NameIsFolder;
        default:
            return FileFault::Other;
    }
}

// The folder part of `name` ("." for a bare name) into `folder`.
int FolderOf(const char* name, char* folder, int room) {
    const char* slash = std::strrchr(name, '/');
    if (slash == nullptr) {
        return CopyName(".", folder, room);
    }
    const std::size_t length = slash == name ? 1 : static_cast<std::size_t>(slash - name);
    if (length >= static_cast<std::size_t>(room)) {
        return 0;
    }
    std::memcpy(folder, name, length);
    folder[length] = '\0';
    return 1;
}

}  // namespace

FileHandle OpenRegularFile(const char* name) {
    // O_NONBLOCK: opening a FIFO without a writer, or a device, returns at
    // once instead of waiting; the type is then checked on what was opened.
    const int file = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return -1;
    }
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return -1;
    }
    return file;
}

int ReadFromFile(FileHandle file, char* bytes, int room) {
    for (;;) {
        const ssize_t got = read(file, bytes, static_cast<std::size_t>(room));
        if (got >= 0) {
            return static_cast<int>(got);
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

void CloseReadFile(FileHandle file) { close(file); }

int FindFileToReplace(const char* name, char* path, int room) {
    struct stat status;
    if (lstat(name, &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        struct stat target;
        if (realpath(name, resolved) != nullptr && stat(resolved, &target) == 0 && S_ISREG(target.st_mode)) {
            return CopyName(resolved, path, room);
        }
    }
    return CopyName(name, path, room);
}

FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault) {
    return CreateUniquelyNamed(beside, static_cast<unsigned long>(getpid()), name, room, fault, [](const char* path) {
        // O_EXCL with O_CREAT never opens an existing name, and a link under
        // the name counts as existing: nothing is written through it.
        const int file = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        const int error = errno;
        return CreateTry{file, file < 0 && error == EEXIST, file < 0 ? FaultOf(error) : FileFault::None};
    });
}

FileFault WriteToFile(FileHandle file, const char* bytes, int length) {
    while (length > 0) {
        const ssize_t put = write(file, bytes, static_cast<std::size_t>(length));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FaultOf(errno);
        }
        if (put == 0) {
            return FileFault::Other;
        }
        bytes += put;
        length -= static_cast<int>(put);
    }
    return FileFault::None;
}

FileFault SyncFile(FileHandle file) { return fsync(file) == 0 ? FileFault::None : FaultOf(errno); }

FileFault CloseWrittenFile(FileHandle file) {
    // Linux closes the file even when close reports EINTR; the data were
    // synced before, so only a real error counts.
    return close(file) == 0 || errno == EINTR ? FileFault::None : FaultOf(errno);
}

FileFault ReplaceFile(const char* from, const char* to) {
    return rename(from, to) == 0 ? FileFault::None : FaultOf(errno);
}

FileFault SyncFolderOf(const char* name) {
    char folder[PATH_MAX];
    if (!FolderOf(name, folder, sizeof folder)) {
        return FileFault::Other;
    }
    const int file = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (file < 0) {
        return FaultOf(errno);
    }
    // A file system that cannot sync a folder says EINVAL: there is nothing
    // more the game can do for it.
    const FileFault fault = fsync(file) == 0 || errno == EINVAL ? FileFault::None : FaultOf(errno);
    close(file);
    return fault;
}

void RemoveFile(const char* name) { unlink(name); }

FileLock LockScoreFile(const char* name) {
    char path[PATH_MAX];
    if (std::snprintf(path, sizeof path, "%s%s", name, ScoreLockSuffix) >= static_cast<int>(sizeof path)) {
        return -1;
    }
    // O_NOFOLLOW: a link planted under the lock's name is never opened, so
    // the lock cannot be made to create or hold a file elsewhere.
    int file = -1;
    do {
        file = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    } while (file < 0 && errno == EINTR);
    if (file < 0) {
        return -1;
    }
    // flock, not fcntl locks: an flock belongs to this open file, ends when
    // the process does, and is not given up when some other descriptor on
    // the same file is closed.
    const timespec pause{0, LockPauseMilliseconds * 1000000L};
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        if (flock(file, LOCK_EX | LOCK_NB) == 0) {
            return file;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            break;
        }
        nanosleep(&pause, nullptr);
    }
    close(file);
    return -1;
}

void UnlockScoreFile(FileLock lock) {
    if (lock < 0) {
        return;
    }
    flock(static_cast<int>(lock), LOCK_UN);
    close(static_cast<int>(lock));
}

int CurrentFolder(char* path, int room) {
    return room > 0 && getcwd(path, static_cast<std::size_t>(room)) != nullptr ? 1 : 0;
}

// The installed game runs in its data folder, a build in the folder it is
// started from: either way the player can start it somewhere writable.
const char* WritableFolderAdvice() {
    return "Make the folder writable, or start the game from one you can write to, such as your home folder.";
}

}  // namespace platform::posix
