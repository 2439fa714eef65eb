// The score file's steps on Windows: the C runtime's low-level file calls for
// opening, reading and writing, and MoveFileExA, written through to the disk,
// for the one step that puts the new file in the old one's place, and
// LockFileEx for the lock copies of the game save under. Knows nothing of
// what the file holds.
#include "seam/file_store.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <windows.h>
// windows.h names its own ReplaceFile after the code page; the seam's is meant.
#undef ReplaceFile

#include "frontends/common/file_names.h"

namespace platform {

namespace {

FileFault FaultOf(int error) {
    switch (error) {
        case EACCES:
        case EROFS:
        case EPERM:
            return FileFault::ReadOnly;
        case ENOSPC:
            return FileFault::DiskFull;
        case EISDIR:
            return FileFault::NameIsFolder;
        default:
            return FileFault::Other;
    }
}

bool IsFolder(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

FileHandle OpenRegularFile(const char* name) {
    const int file = _open(name, _O_RDONLY | _O_BINARY);
    if (file < 0) {
        return -1;
    }
    struct _stat64 status;
    if (_fstat64(file, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        _close(file);
        return -1;
    }
    return file;
}

int ReadFromFile(FileHandle file, char* bytes, int room) {
    return _read(file, bytes, static_cast<unsigned>(room));
}

void CloseReadFile(FileHandle file) { _close(file); }

// A link under the name is replaced as a file: the game does not follow
// links on Windows.
int FindFileToReplace(const char* name, char* path, int room) { return CopyName(name, path, room); }

FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault) {
    return CreateUniquelyNamed(beside, static_cast<unsigned long>(GetCurrentProcessId()), name, room, fault,
                               [](const char* path) {
        // _O_EXCL creates the file new: an existing file, link or folder
        // under the name is never opened.
        const int file = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        const int error = errno;
        const bool taken = file < 0 && (error == EEXIST || (error == EACCES && IsFolder(path)));
        return CreateTry{file, taken, file < 0 ? FaultOf(error) : FileFault::None};
    });
}

FileFault WriteToFile(FileHandle file, const char* bytes, int length) {
    while (length > 0) {
        const int put = _write(file, bytes, static_cast<unsigned>(length));
        if (put < 0) {
            return FaultOf(errno);
        }
        if (put == 0) {
            return FileFault::DiskFull;
        }
        bytes += put;
        length -= put;
    }
    return FileFault::None;
}

FileFault SyncFile(FileHandle file) { return _commit(file) == 0 ? FileFault::None : FaultOf(errno); }

FileFault CloseWrittenFile(FileHandle file) { return _close(file) == 0 ? FileFault::None : FaultOf(errno); }

FileFault ReplaceFile(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FileFault::None;
    }
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            return IsFolder(to) ? FileFault::NameIsFolder : FileFault::ReadOnly;
        case ERROR_WRITE_PROTECT:
            return FileFault::ReadOnly;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileFault::DiskFull;
        default:
            return FileFault::Other;
    }
}

// MOVEFILE_WRITE_THROUGH returns only once the replace is on the disk.
FileFault SyncFolderOf(const char*) { return FileFault::None; }

void RemoveFile(const char* name) { DeleteFileA(name); }

FileLock LockScoreFile(const char* name) {
    char path[MAX_PATH];
    if (std::snprintf(path, sizeof path, "%s%s", name, ScoreLockSuffix) >= static_cast<int>(sizeof path)) {
        return -1;
    }
    // FILE_FLAG_OPEN_REPARSE_POINT: a link under the lock's name is opened
    // itself, never followed. Sharing read, write and delete lets every
    // copy open the file; the lock below is what excludes.
    const HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // Windows ends the lock when the process ends, as an flock does.
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        OVERLAPPED start{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
            return static_cast<FileLock>(reinterpret_cast<std::intptr_t>(file));
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
            break;
        }
        Sleep(LockPauseMilliseconds);
    }
    CloseHandle(file);
    return -1;
}

int CurrentFolder(char* path, int room) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(room), path);
    return length > 0 && length < static_cast<DWORD>(room) ? 1 : 0;
}

// The zip unpacked under Program Files is the usual case: only
// administrators may write there.
const char* WritableFolderAdvice() {
    return "Move the game's folder to one you can write to, such as Documents.";
}

void UnlockScoreFile(FileLock lock) {
    if (lock < 0) {
        return;
    }
    const HANDLE file = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(lock));
    OVERLAPPED start{};
    UnlockFileEx(file, 0, 1, 0, &start);
    CloseHandle(file);
}

}  // namespace platform
