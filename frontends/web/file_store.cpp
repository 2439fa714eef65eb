// The seam's file part in the page: VORN.DAT is the localStorage item of that
// name, holding the base64 text of the file's exact bytes, so that a table
// moves between the page and the desktop programs. A save writes its
// temporary file as an item of its own, then puts it in VORN.DAT's place in
// one setItem. A full storage (QuotaExceededError) is the full disk; storage
// the browser refuses altogether counts as a read-only folder. While a table
// offered for loading is checked, the reading steps read it and nothing is
// written. Never decides what the file holds.
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "frontends/common/file_names.h"
#include "frontends/web/web_front_end.h"
#include "seam/file_store.h"

namespace {

using platform::FileFault;
using platform::FileHandle;

// More than the loader ever reads of a file; a longer item reads as cut
// there, which the loader treats as it treats any file that long.
constexpr int FileRoom = 65536;

// The one file that can be open for reading: a copy of the item's bytes.
struct ReadFile {
    bool open;
    unsigned char bytes[FileRoom];
    int length;
    int at;
};

// The one temporary file that can be open for writing.
struct WrittenFile {
    bool open;
    char name[256];
    unsigned char bytes[FileRoom];
    int length;
};

ReadFile Reading;
WrittenFile Writing;

// The table offered for loading, while it is checked.
unsigned char Candidate[FileRoom];
int CandidateLength;

constexpr FileHandle ReadHandle = 1;
constexpr FileHandle WriteHandle = 2;

// What a page-side storage step reports, as the fault the game is told.
// By the page's code: 0 stored, 1 storage full, 2 storage refused, 3 other.
constexpr FileFault PageFaults[] = {FileFault::None, FileFault::DiskFull, FileFault::ReadOnly, FileFault::Other};

constexpr FileFault FaultOf(int code) { return code >= 0 && code < 3 ? PageFaults[code] : FileFault::Other; }

// clang-format off
// Returns the item's length (cut at `room`), -1 when there is none or the
// storage cannot be read; bytes that are not base64 read as an empty file.
EM_JS(int, LoadItem, (const char* name, unsigned char* into, int room), {
    const bytes = QV.loadItem(UTF8ToString(name));
    if (bytes === null) return -1;
    const length = Math.min(bytes.length, room);
    HEAPU8.set(bytes.subarray(0, length), into);
    return length;
});
// 0 stored, 1 storage full, 2 storage refused, 3 anything else.
EM_JS(int, StoreItem, (const char* name, const unsigned char* bytes, int length), {
    return QV.storeItem(UTF8ToString(name), HEAPU8.subarray(bytes, bytes + length));
});
EM_JS(int, MoveItem, (const char* from, const char* to), {
    return QV.moveItem(UTF8ToString(from), UTF8ToString(to));
});
EM_JS(void, RemoveItem, (const char* name), { QV.removeItem(UTF8ToString(name)); });
EM_JS(int, StorageUsable, (), { return QV.storageUsable(); });
EM_JS(int, TemporaryNumber, (), { return QV.tabNumber; });
EM_JS(int, ItemExists, (const char* name), { return QV.itemExists(UTF8ToString(name)); });
// Waits at most `waitMs` for the origin's lock of that name, which every tab
// of the page shares; 1 when it is held, 0 when it was not had in time or the
// browser has no locks.
EM_ASYNC_JS(int, TakeLock, (const char* name, int waitMs), {
    return await QV.takeLock(UTF8ToString(name), waitMs);
});
EM_JS(void, ReleaseLock, (), { QV.releaseLock(); });
// The page's address without its file name: where its storage belongs.
EM_JS(int, PageFolder, (char* into, int room), {
    const folder = location.href.replace(/[?#].*$/, "").replace(/[^/]*$/, "");
    if (lengthBytesUTF8(folder) >= room) return 0;
    stringToUTF8(folder, into, room);
    return 1;
});
// clang-format on

}  // namespace

// The table check in table_check.cpp hands the candidate over here.
void OfferCandidateTable(const unsigned char* bytes, int length) {
    CandidateLength = length < FileRoom ? length : FileRoom;
    std::memcpy(Candidate, bytes, static_cast<std::size_t>(CandidateLength));
}

namespace platform {

FileHandle OpenRegularFile(const char* name) {
    if (Reading.open) return -1;
    if (FrontEnd.checkingOnly) {
        std::memcpy(Reading.bytes, Candidate, static_cast<std::size_t>(CandidateLength));
        Reading.length = CandidateLength;
    } else {
        Reading.length = LoadItem(name, Reading.bytes, FileRoom);
        if (Reading.length < 0) return -1;
    }
    Reading.at = 0;
    Reading.open = true;
    return ReadHandle;
}

int ReadFromFile(FileHandle file, char* bytes, int room) {
    if (file != ReadHandle || !Reading.open) return -1;
    const int left = Reading.length - Reading.at;
    const int count = left < room ? left : room;
    std::memcpy(bytes, Reading.bytes + Reading.at, static_cast<std::size_t>(count));
    Reading.at += count;
    return count;
}

void CloseReadFile(FileHandle file) {
    if (file == ReadHandle) Reading.open = false;
}

// Items have no links: a save replaces the item itself. A check replaces
// nothing, so its writes fail at the first step and change nothing.
int FindFileToReplace(const char* name, char* path, int room) {
    if (FrontEnd.checkingOnly) return 0;
    return platform::CopyName(name, path, room);
}

// Named as on the desktops, with the tab's own number for the process, so
// that two tabs saving at once never write into each other's temporary file.
FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault) {
    if (Writing.open) {
        fault = FileFault::Other;
        return -1;
    }
    const FileHandle file = platform::CreateUniquelyNamed(
        beside, static_cast<unsigned long>(TemporaryNumber()), name, room, fault, [](const char* candidate) {
            if (!StorageUsable()) return platform::CreateTry{-1, false, FileFault::ReadOnly};
            if (ItemExists(candidate)) return platform::CreateTry{-1, true, FileFault::Other};
            if (!platform::CopyName(candidate, Writing.name, static_cast<int>(sizeof Writing.name))) {
                return platform::CreateTry{-1, false, FileFault::Other};
            }
            return platform::CreateTry{WriteHandle, false, FileFault::None};
        });
    if (file < 0) return -1;
    Writing.length = 0;
    Writing.open = true;
    return file;
}

FileFault WriteToFile(FileHandle file, const char* bytes, int length) {
    if (file != WriteHandle || !Writing.open) return FileFault::Other;
    if (length > FileRoom - Writing.length) return FileFault::DiskFull;
    std::memcpy(Writing.bytes + Writing.length, bytes, static_cast<std::size_t>(length));
    Writing.length += length;
    return FileFault::None;
}

// The temporary file reaches the storage here, where a full one says so.
FileFault SyncFile(FileHandle file) {
    if (file != WriteHandle || !Writing.open) return FileFault::Other;
    return FaultOf(StoreItem(Writing.name, Writing.bytes, Writing.length));
}

FileFault CloseWrittenFile(FileHandle file) {
    if (file != WriteHandle || !Writing.open) return FileFault::Other;
    Writing.open = false;
    return FileFault::None;
}

FileFault ReplaceFile(const char* from, const char* to) { return FaultOf(MoveItem(from, to)); }

// One setItem either happened or did not: there is nothing more to sync.
FileFault SyncFolderOf(const char*) { return FileFault::None; }

void RemoveFile(const char* name) { RemoveItem(name); }

// Tabs of the page share one storage, as copies of a desktop program share a
// folder: a save waits for the others' as it does there, through the
// browser's own locks (navigator.locks), which end with the tab that holds
// them. The lock is one of the page's, so no item is made for it.
FileLock LockScoreFile(const char* name) {
    char lockName[256];
    if (std::snprintf(lockName, sizeof lockName, "%s%s", name, ScoreLockSuffix) >= static_cast<int>(sizeof lockName)) {
        return -1;
    }
    return TakeLock(lockName, LockPauseMilliseconds * LockAttempts) ? 1 : -1;
}

void UnlockScoreFile(FileLock lock) {
    if (lock >= 0) ReleaseLock();
}

int CurrentFolder(char* path, int room) { return PageFolder(path, room); }

const char* WritableFolderAdvice() {
    return "Let this site keep data in the browser's settings (a private window may refuse it), then reload the page.";
}

}  // namespace platform
