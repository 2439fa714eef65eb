// VORN.DAT: the high-score table on disk, with its guard line and checksum.
// Every operation returns 1 on success and 0 on failure.
#pragma once

// The file's name; it lives in the current directory.
constexpr const char* HighScoreFileName = "VORN.DAT";

// Reads the table from the file. On failure (missing, damaged, bad checksum,
// or anything but a regular file under the name, which is never waited on)
// writes the default file and returns 0.
int LoadHighScoreTable();
// Reads the five records and the checksum line; used only by the load.
int ReadHighScoreRecords();
// Writes the table, guard line and checksum, replacing the file whole (or the
// file a link under the name points to); on failure the old file stays.
int SaveHighScoreTable();
// Saves the result InsertHighScore has just put in at PendingHighScorePosition:
// under the lock beside the file, merges it into the table on disk as it is
// now (another copy of the game may have saved since this one started),
// makes that the table this copy holds and shows, and writes it as
// SaveHighScoreTable does. A missing or damaged file, or a lock not had in
// time, saves the table this copy holds.
int SaveNewHighScore();
// Writes the default table of five "Unknown" entries.
int WriteDefaultHighScoreFile();
// Why the last write of the file failed, as a whole sentence for the player
// (the folder is read-only, the disk is full, a folder has the name), or
// nullptr when it succeeded. A read-only folder is named by its full path,
// with what helps on this system. The start-up shows it when the default file
// could not be written, because restarting would not help then.
const char* HighScoreWriteProblem();
