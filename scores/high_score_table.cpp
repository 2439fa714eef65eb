// The five best results and how a finished game's result enters them. Rules
// only: reads the finished game from Game, never touches files or the screen,
// and allocates nothing.
#include "scores/high_score_table.h"

#include <cstring>

#include "engine/game_state.h"

HighScoreTable HighScores;
std::int32_t PendingHighScorePosition = 0;
char EnteredName[EnteredNameSize] = {};

// Walks up from the last row: the position is the number of rows whose score
// is at least the game's, so a tie goes below the older result. A table read
// out of order is taken as it is; only the last row decides whether the
// result enters at all.
int HighScoreRowFor(const HighScoreTable& table, std::int32_t score) {
    if (score <= table.entries[HighScoreEntries - 1].score) {
        return HighScoreEntries;
    }
    int position = HighScoreEntries - 1;
    while (position > 0 && score > table.entries[position - 1].score) {
        --position;
    }
    return position;
}

namespace {

// Moves the rows from `position` down one, dropping the last, and writes
// `entry` there: how every result enters a table.
void PutAtRow(HighScoreTable& table, int position, const HighScoreEntry& entry) {
    for (int row = HighScoreEntries - 1; row > position; --row) {
        table.entries[row] = table.entries[row - 1];
    }
    table.entries[position] = entry;
}

}  // namespace

int QualifiesForHighScore() {
    const int position = HighScoreRowFor(HighScores, Game.score);
    if (position == HighScoreEntries) {
        return 0;
    }
    PendingHighScorePosition = position;
    return 1;
}

void InsertHighScore() {
    const std::int32_t position = PendingHighScorePosition;
    if (position < 0 || position >= HighScoreEntries) {
        return;  // only QualifiesForHighScore sets it, always to a row
    }
    HighScoreEntry entry{};
    // EnteredName is always terminated within its 14 bytes, and the entry's
    // name has room for far more; copying the whole array keeps it that way.
    std::memcpy(entry.name, EnteredName, sizeof EnteredName);
    entry.name[EnteredNameSize - 1] = '\0';
    entry.score = Game.score;
    entry.level = Game.level;
    entry.lines = Game.linesCleared;
    PutAtRow(HighScores, position, entry);
}

int MergeHighScore(HighScoreTable& table, const HighScoreEntry& entry) {
    const int position = HighScoreRowFor(table, entry.score);
    if (position == HighScoreEntries) {
        return 0;
    }
    PutAtRow(table, position, entry);
    return 1;
}
