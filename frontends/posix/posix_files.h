// frontends/posix holds the score file's steps on POSIX systems.
// The file steps of seam/file_store.h done with POSIX calls, under their
// own names, so that the tests' recording wrapper can call through to them.
// The front-ends reach them only through seam/file_store.h.
#pragma once

#include "seam/file_store.h"

namespace platform::posix {

FileHandle OpenRegularFile(const char* name);
int ReadFromFile(FileHandle file, char* bytes, int room);
void CloseReadFile(FileHandle file);
int FindFileToReplace(const char* name, char* path, int room);
FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault);
FileFault WriteToFile(FileHandle file, const char* bytes, int length);
FileFault SyncFile(FileHandle file);
FileFault CloseWrittenFile(FileHandle file);
FileFault ReplaceFile(const char* from, const char* to);
FileFault SyncFolderOf(const char* name);
void RemoveFile(const char* name);
FileLock LockScoreFile(const char* name);
void UnlockScoreFile(FileLock lock);
int CurrentFolder(char* path, int room);
const char* WritableFolderAdvice();

}  // namespace platform::posix
