// Who enters the table and where: ties stay below the older result, a table
// read out of order is not repaired, and an entry moves down whole.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "engine/game_state.h"
#include "scores/high_score_table.h"

namespace {

using Scores = std::array<std::int32_t, HighScoreEntries>;

constexpr Scores DefaultScores{50, 40, 30, 20, 10};
constexpr std::int32_t NoPosition = -7;  // what PendingHighScorePosition held before

struct EntryCase {
    const char* what;
    Scores table;
    std::int32_t score;
    int enters;
    std::int32_t position;
    Scores after;
};

// Test listings name a case by what it is, not by its bytes.
void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.what; }

constexpr EntryCase EntryCases[] = {
    {"equal to the last row", DefaultScores, 10, 0, NoPosition, DefaultScores},
    {"below the last row", DefaultScores, 3, 0, NoPosition, DefaultScores},
    {"just above the last row", DefaultScores, 11, 1, 4, {50, 40, 30, 20, 11}},
    {"tie in the middle goes below", DefaultScores, 30, 1, 3, {50, 40, 30, 30, 20}},
    {"tie with the best goes below", DefaultScores, 50, 1, 1, {50, 50, 40, 30, 20}},
    {"new best", DefaultScores, 51, 1, 0, {51, 50, 40, 30, 20}},
    {"zero against a last row of zero", {50, 40, 30, 20, 0}, 0, 0, NoPosition, {50, 40, 30, 20, 0}},
    {"negative against a last row of zero", {50, 40, 30, 20, 0}, -5, 0, NoPosition, {50, 40, 30, 20, 0}},
    {"negative table", {-1, -2, -3, -4, -5}, -3, 1, 3, {-1, -2, -3, -3, -4}},
    {"reversed table: only the last row decides", {10, 20, 30, 40, 50}, 45, 0, NoPosition, {10, 20, 30, 40, 50}},
    {"reversed table: walks up while above", {10, 20, 30, 40, 50}, 55, 1, 0, {55, 10, 20, 30, 40}},
    {"unsorted table: placed out of order", {10, 20, 30, 40, 5}, 25, 1, 4, {10, 20, 30, 40, 25}},
};

class TableEntry : public ::testing::TestWithParam<EntryCase> {
protected:
    void SetUp() override {
        const EntryCase& c = GetParam();
        for (int row = 0; row < HighScoreEntries; ++row) {
            HighScoreEntry& entry = HighScores.entries[row];
            std::memset(&entry, 0, sizeof entry);
            std::snprintf(entry.name, sizeof entry.name, "row %d", row);
            entry.score = c.table[row];
            entry.level = row + 1;
            entry.lines = 100 + row;
        }
        Game = GameState{};
        Game.score = c.score;
        Game.level = 17;
        Game.linesCleared = 163;
        Game.bestScoreShown = 1234;
        PendingHighScorePosition = NoPosition;
        std::memset(EnteredName, 0, sizeof EnteredName);
        std::memcpy(EnteredName, "Thirteen char", 13);
    }
};

TEST_P(TableEntry, EntersAtItsRowAndMovesTheRestDownWhole) {
    const EntryCase& c = GetParam();
    EXPECT_EQ(QualifiesForHighScore(), c.enters);
    EXPECT_EQ(PendingHighScorePosition, c.position);
    if (c.enters == 0) {
        return;
    }
    InsertHighScore();
    for (int row = 0; row < HighScoreEntries; ++row) {
        const HighScoreEntry& entry = HighScores.entries[row];
        EXPECT_EQ(entry.score, c.after[row]) << "row " << row;
        if (row < c.position) {
            EXPECT_EQ(std::string(entry.name), "row " + std::to_string(row));
        } else if (row == c.position) {
            EXPECT_STREQ(entry.name, "Thirteen char");
            EXPECT_EQ(entry.level, 17);
            EXPECT_EQ(entry.lines, 163);
        } else {
            EXPECT_EQ(std::string(entry.name), "row " + std::to_string(row - 1));
            EXPECT_EQ(entry.level, row);
            EXPECT_EQ(entry.lines, 100 + row - 1);
        }
    }
    // The best-score box is refreshed only by the next game.
    EXPECT_EQ(Game.bestScoreShown, 1234);
}

INSTANTIATE_TEST_SUITE_P(Cases, TableEntry, ::testing::ValuesIn(EntryCases),
                         [](const ::testing::TestParamInfo<EntryCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != '\0'; ++c) {
                                 if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z')) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

// A short name written over a long one leaves nothing of the old one behind.
TEST(TableInsert, ShortNameReplacesLongNameEntirely) {
    for (HighScoreEntry& entry : HighScores.entries) {
        std::memset(entry.name, 'x', sizeof entry.name - 1);
        entry.name[sizeof entry.name - 1] = '\0';
        entry.score = 0;
    }
    Game = GameState{};
    Game.score = 5;
    std::memset(EnteredName, 0, sizeof EnteredName);
    std::memcpy(EnteredName, "Bo", 2);
    ASSERT_EQ(QualifiesForHighScore(), 1);
    InsertHighScore();
    EXPECT_STREQ(HighScores.entries[0].name, "Bo");
    EXPECT_EQ(HighScores.entries[1].name[254], 'x');
}

}  // namespace
