// The recording file steps: each one is logged, may be made to fail by an
// injection, and otherwise is done by the real POSIX step.
#include "tests/support/fake_file_store.h"

#include "frontends/posix/posix_files.h"

namespace fake {

namespace {

using platform::FileFault;

FileStore& Instance() {
    static FileStore instance;
    return instance;
}

void Log(std::string step, FileFault fault = FileFault::None) {
    Instance().steps.push_back(fault == FileFault::None ? std::move(step) : std::move(step) + " failed");
}

// The fault injected for this call of `step`, or None.
FileFault Injected(const char* step) {
    std::vector<FileInjection>& injections = Instance().injections;
    for (auto it = injections.begin(); it != injections.end(); ++it) {
        if (it->step != step) {
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            return FileFault::None;
        }
        const FileFault fault = it->fault;
        injections.erase(it);
        return fault;
    }
    return FileFault::None;
}

}  // namespace

FileStore& Files() { return Instance(); }

void ResetFiles() { Instance() = FileStore{}; }

}  // namespace fake

namespace platform {

using fake::Injected;
using fake::Log;

FileHandle OpenRegularFile(const char* name) {
    const FileHandle file = posix::OpenRegularFile(name);
    Log(std::string("open ") + name, file < 0 ? FileFault::Other : FileFault::None);
    return file;
}

int ReadFromFile(FileHandle file, char* bytes, int room) { return posix::ReadFromFile(file, bytes, room); }

void CloseReadFile(FileHandle file) { posix::CloseReadFile(file); }

int FindFileToReplace(const char* name, char* path, int room) {
    const int found = posix::FindFileToReplace(name, path, room);
    Log(std::string("find ") + path);
    return found;
}

FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault) {
    fault = Injected("create");
    if (fault != FileFault::None) {
        Log(std::string("create ") + beside, fault);
        return -1;
    }
    const FileHandle file = posix::CreateTemporaryFile(beside, name, room, fault);
    Log(std::string("create ") + (file < 0 ? beside : name), fault);
    return file;
}

FileFault WriteToFile(FileHandle file, const char* bytes, int length) {
    FileFault fault = Injected("write");
    if (fault != FileFault::None) {
        posix::WriteToFile(file, bytes, length / 2);
    } else {
        fault = posix::WriteToFile(file, bytes, length);
    }
    Log("write " + std::to_string(length), fault);
    return fault;
}

FileFault SyncFile(FileHandle file) {
    FileFault fault = Injected("sync file");
    if (fault == FileFault::None) {
        fault = posix::SyncFile(file);
    }
    Log("sync file", fault);
    return fault;
}

FileFault CloseWrittenFile(FileHandle file) {
    FileFault fault = posix::CloseWrittenFile(file);
    if (fault == FileFault::None) {
        fault = Injected("close");
    }
    Log("close", fault);
    return fault;
}

FileFault ReplaceFile(const char* from, const char* to) {
    FileFault fault = Injected("replace");
    if (fault == FileFault::None) {
        fault = posix::ReplaceFile(from, to);
    }
    Log(std::string("replace ") + from + " " + to, fault);
    return fault;
}

FileFault SyncFolderOf(const char* name) {
    FileFault fault = Injected("sync folder");
    if (fault == FileFault::None) {
        fault = posix::SyncFolderOf(name);
    }
    Log(std::string("sync folder ") + name, fault);
    return fault;
}

void RemoveFile(const char* name) {
    posix::RemoveFile(name);
    Log(std::string("remove ") + name);
}

FileLock LockScoreFile(const char* name) {
    if (Injected("lock") != FileFault::None) {
        Log(std::string("lock ") + name, FileFault::Other);
        return -1;
    }
    const FileLock lock = posix::LockScoreFile(name);
    Log(std::string("lock ") + name, lock < 0 ? FileFault::Other : FileFault::None);
    return lock;
}

void UnlockScoreFile(FileLock lock) {
    posix::UnlockScoreFile(lock);
    Log("unlock");
}

int CurrentFolder(char* path, int room) { return posix::CurrentFolder(path, room); }

const char* WritableFolderAdvice() { return posix::WritableFolderAdvice(); }

}  // namespace platform
