// The platform seam's file part: the single steps the score file takes on disk,
// each one checked and reported. The order of the steps, and what the player is
// told when one fails, belong to scores/high_score_file.cpp; only how a step is
// done differs between the systems (POSIX in frontends/posix, Win32 in
// frontends/win32, and a recording wrapper around the POSIX one for the tests).
#pragma once

namespace platform {

// Why a file step failed, in the terms the player is told. None: it did not.
enum class FileFault : int { None, ReadOnly, DiskFull, NameIsFolder, Other };

// An open file; negative means none.
using FileHandle = int;

// Opens `name` for reading, following links but never waiting (a FIFO or a
// device does not block); returns a handle only when it is a regular file.
FileHandle OpenRegularFile(const char* name);
// Reads up to `room` bytes; returns how many, 0 at the end, -1 on a read error.
int ReadFromFile(FileHandle file, char* bytes, int room);
// Closes a file opened for reading.
void CloseReadFile(FileHandle file);
// Puts into `path` the file a save of `name` replaces: the end of its chain of
// links when that is a regular file (so the link stays), else `name` itself.
// Returns 0 when the path does not fit in `room`.
int FindFileToReplace(const char* name, char* path, int room);
// Creates a new file under a unique name in the folder of `beside`, never
// opening an existing name or link; puts the name into `name`. Returns the
// handle, or a negative value with the reason in `fault`.
FileHandle CreateTemporaryFile(const char* beside, char* name, int room, FileFault& fault);
// Writes all `length` bytes; returns why it could not write them all.
FileFault WriteToFile(FileHandle file, const char* bytes, int length);
// Pushes what was written from the system's cache to the disk.
FileFault SyncFile(FileHandle file);
// Closes a written file; the handle is gone even when this reports a fault.
FileFault CloseWrittenFile(FileHandle file);
// Puts `from` in the place of `to` in one step, so that `to` names either the
// old file or the new one; on Windows, written through to the disk.
FileFault ReplaceFile(const char* from, const char* to);
// Makes the folder of `name` remember a replace across a power cut (POSIX);
// where the replace was written through already, does nothing.
FileFault SyncFolderOf(const char* name);
// Removes the file `name` itself, never what a link points to.
void RemoveFile(const char* name);

// A held lock on the score file; negative means none.
using FileLock = long long;

// Takes the exclusive lock that copies of the game sharing `name` save under:
// a lock on the file "<name>.lock" beside it, made when missing and never
// opened through a link. Waits a few seconds at most while another copy holds
// it; returns the lock, or a negative value when it could not be had. The
// lock ends with the process, so a copy that dies holding it blocks no one.
FileLock LockScoreFile(const char* name);
// Gives up a lock LockScoreFile returned; the lock file stays.
void UnlockScoreFile(FileLock lock);

// Puts the full path of the current folder, where the score file lives, into
// `path`. Returns 0 when it is not known or does not fit in `room`.
int CurrentFolder(char* path, int room);
// One sentence, in this system's terms, on what helps when the score file's
// folder cannot be written.
const char* WritableFolderAdvice();

}  // namespace platform
