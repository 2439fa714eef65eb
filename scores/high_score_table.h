// scores/ holds the table of the five best results, VORN.DAT and the name entry.
// The five best results, best first, and the two values that carry one game's
// result from the game-over test to its insertion. Rules only: never touches
// files (high_score_file) or the screen (high_score_page).
#pragma once

#include <cstdint>

constexpr int HighScoreEntries = 5;
constexpr int HighScoreNameSize = 256;  // 255 characters and a terminator
constexpr int EnteredNameSize = 14;     // 13 characters and a terminator

// One result: written by the file's load, by InsertHighScore and by a save's
// merge only.
struct HighScoreEntry {
    char name[HighScoreNameSize];  // bytes in the Windows ANSI code page, terminated;
                                   // an entered name holds at most 13 of them
    std::int32_t score;            // the game's final score; orders the table
    std::int32_t level;            // the level the game ended on
    std::int32_t lines;            // rows removed in the game (linesCleared)
};

struct HighScoreTable {
    HighScoreEntry entries[HighScoreEntries];  // 0 is the best; kept as loaded
};

// The table, filled by LoadHighScoreTable, changed by InsertHighScore, and
// by a save that finds other copies' results on disk (SaveNewHighScore).
extern HighScoreTable HighScores;
// Row the next insertion writes; set only when QualifiesForHighScore says 1.
extern std::int32_t PendingHighScorePosition;
// Name for the next insertion; set by the name entry just before it inserts.
extern char EnteredName[EnteredNameSize];

// 1 when Game.score enters the table (and PendingHighScorePosition is set);
// 0 when it does not, and nothing changes. Ties go to the older result.
int QualifiesForHighScore();
// Moves the entries from PendingHighScorePosition down one row, dropping the
// last, and writes EnteredName with the game's score, level and lines there.
void InsertHighScore();

// The row a result with `score` takes in `table`: the number of rows, counted
// up from the last, whose score is at least it, so a tie goes below the older
// result; HighScoreEntries when it does not enter (only the last row decides).
int HighScoreRowFor(const HighScoreTable& table, std::int32_t score);
// Puts `entry` into `table` at its row, moving the rows below down one and
// dropping the last. Returns 1, or 0 when it does not enter: the table then
// stays as it was. A save uses it to add this game's result to the table
// another copy of the game may have written since this one started.
int MergeHighScore(HighScoreTable& table, const HighScoreEntry& entry);
