// The seam's file part on a POSIX system: each step goes straight to its
// POSIX implementation. Linked into the Linux program and the quiet tests.
#include "seam/file_store.h"

#include "frontends/posix/posix_files.h"

namespace platform {

FileHandle OpenRegularFile(const char* name) { return posix::OpenRegularFile(name); }
int ReadFromFile(FileHandle file, char* bytes, int room) { return posix::ReadFromFile(file, bytes, room); }
void CloseReadFile(FileHandle file) { posix::CloseReadFile(file); }
int FindFileToReplace(const char* name, char* path, int room) { return posix::FindFileToReplace(name, path, room); }
FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault) {
    return posix::CreateTemporaryFile(beside, name, room, fault);
}
FileFault WriteToFile(FileHandle file, const char* bytes, int length) {
    return posix::WriteToFile(file, bytes, length);
}
FileFault SyncFile(FileHandle file) { return posix::SyncFile(file); }
FileFault CloseWrittenFile(FileHandle file) { return posix::CloseWrittenFile(file); }
FileFault ReplaceFile(const char* from, const char* to) { return posix::ReplaceFile(from, to); }
FileFault SyncFolderOf(const char* name) { return posix::SyncFolderOf(name); }
void RemoveFile(const char* name) { posix::RemoveFile(name); }
FileLock LockScoreFile(const char* name) { return posix::LockScoreFile(name); }
void UnlockScoreFile(FileLock lock) { posix::UnlockScoreFile(lock); }
int CurrentFolder(char* path, int room) { return posix::CurrentFolder(path, room); }
const char* WritableFolderAdvice() { return posix::WritableFolderAdvice(); }

}  // namespace platform
