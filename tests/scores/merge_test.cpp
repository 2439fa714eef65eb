// Two copies of the game in one folder: a save puts this game's result into
// the table on disk as it is then, under the lock beside VORN.DAT, so that a
// result another copy saved since this one started is kept. Every test runs
// in a scratch directory of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/game_state.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "tests/scores/default_file.h"
#include "tests/support/case_names.h"
#include "tests/support/fake_file_store.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// One row as the file holds it and the page shows it.
struct Row {
    std::string name;
    int score;

    bool operator==(const Row& other) const { return name == other.name && score == other.score; }
};
using Rows = std::vector<Row>;

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name << " " << row.score; }

const Rows DefaultRows = {{"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}, {"Unknown", 10}};

// A whole VORN.DAT of the rows (level 1, no lines), its checksum right.
std::string TableFile(const Rows& rows) {
    std::string records;
    int sum = 0;
    for (const Row& row : rows) {
        const std::string record = row.name + ";" + std::to_string(row.score) + ";1;0";
        for (unsigned char c : record) sum += c;
        sum += '\n';
        records += record + "\r\n";
    }
    return GuardLine + "\r\n" + records + std::to_string(sum) + "\r\n";
}

void WriteBytes(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Rows HeldRows() {
    Rows rows;
    for (const HighScoreEntry& entry : HighScores.entries) rows.push_back({entry.name, entry.score});
    return rows;
}

// What is on disk when the save starts.
enum class Disk { Table, Gone, BadChecksum, BadGuardLine };

struct MergeCase {
    const char* what;
    Disk disk;
    Rows onDisk;       // for Disk::Table, and as the base the damage is done to
    bool lockRefused;  // the lock is not had in time
    int score;         // this game's, entered as "Bert"
    Rows after;        // the table shown and saved
};

void PrintTo(const MergeCase& c, std::ostream* out) { *out << c.what; }

const MergeCase MergeCases[] = {
    {"file as this copy read it: a single copy's save", Disk::Table, DefaultRows, false, 35,
     {{"Unknown", 50}, {"Unknown", 40}, {"Bert", 35}, {"Unknown", 30}, {"Unknown", 20}}},
    {"the other copy saved a better result: both kept in order", Disk::Table,
     {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}, false, 73,
     {{"Anna", 84}, {"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}}},
    {"the other copy saved a lower result: both kept in order", Disk::Table,
     {{"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Anna", 25}, {"Unknown", 20}}, false, 73,
     {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Anna", 25}}},
    {"a tie with the other copy's result goes below it", Disk::Table,
     {{"Anna", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}, false, 73,
     {{"Anna", 73}, {"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}}},
    {"a tie with the last row of a full table drops nothing", Disk::Table,
     {{"Anna", 90}, {"Cleo", 80}, {"Dora", 70}, {"Emil", 60}, {"Finn", 55}}, false, 55,
     {{"Anna", 90}, {"Cleo", 80}, {"Dora", 70}, {"Emil", 60}, {"Finn", 55}}},
    {"full table drops its lowest", Disk::Table,
     {{"Anna", 90}, {"Cleo", 80}, {"Dora", 70}, {"Emil", 60}, {"Finn", 55}}, false, 73,
     {{"Anna", 90}, {"Cleo", 80}, {"Bert", 73}, {"Dora", 70}, {"Emil", 60}}},
    {"other copies filled the table above it: it no longer enters", Disk::Table,
     {{"Anna", 99}, {"Cleo", 98}, {"Dora", 97}, {"Emil", 96}, {"Finn", 95}}, false, 73,
     {{"Anna", 99}, {"Cleo", 98}, {"Dora", 97}, {"Emil", 96}, {"Finn", 95}}},
    {"file gone at save time: the table this copy holds", Disk::Gone, {}, false, 73,
     {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}},
    {"bad checksum at save time: the table this copy holds", Disk::BadChecksum,
     {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}, false, 73,
     {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}},
    {"bad guard line at save time: the table this copy holds", Disk::BadGuardLine,
     {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}, false, 73,
     {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}},
    {"lock not had in time: the table this copy holds", Disk::Table,
     {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}, true, 73,
     {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}},
};

class Scratch : public ScratchFolder {
protected:
    // This copy starts on the default table, then ends a game of `score`
    // and enters it as "Bert", as the name dialog does.
    static void StartAndEnter(int score) {
        WriteBytes(HighScoreFileName, DefaultFile);
        ASSERT_EQ(LoadHighScoreTable(), 1);
        Game.score = score;
        Game.level = 1;
        Game.linesCleared = 0;
        ASSERT_EQ(QualifiesForHighScore(), 1);
        std::memset(EnteredName, 0, sizeof EnteredName);
        std::memcpy(EnteredName, "Bert", 4);
        InsertHighScore();
        fake::ResetFiles();
    }
};

class Merge : public Scratch, public ::testing::WithParamInterface<MergeCase> {};

TEST_P(Merge, SavesThisResultIntoTheTableOnDisk) {
    const MergeCase& c = GetParam();
    StartAndEnter(c.score);
    std::string disk = TableFile(c.onDisk);
    if (c.disk == Disk::BadChecksum) disk.replace(disk.size() - 6, 4, "9999");
    if (c.disk == Disk::BadGuardLine) disk[188] = ' ';
    if (c.disk == Disk::Gone) {
        fs::remove(HighScoreFileName);
    } else {
        WriteBytes(HighScoreFileName, disk);
    }
    if (c.lockRefused) fake::Files().injections.push_back({"lock", platform::FileFault::Other, 0});

    EXPECT_EQ(SaveNewHighScore(), 1);
    EXPECT_EQ(HeldRows(), c.after) << "the table shown";
    EXPECT_EQ(ReadBytes(HighScoreFileName), TableFile(c.after)) << "the table saved, its checksum right";
    EXPECT_TRUE(fake::EventsOf(fake::Call::MessageBox).empty());

    // The table is read and replaced under the lock, and the lock given up.
    const std::vector<std::string>& steps = fake::Files().steps;
    ASSERT_FALSE(steps.empty());
    if (c.lockRefused) {
        EXPECT_EQ(steps.front(), "lock VORN.DAT failed");
        EXPECT_EQ(std::count(steps.begin(), steps.end(), "unlock"), 0);
    } else {
        EXPECT_EQ(steps.front(), "lock VORN.DAT");
        EXPECT_EQ(steps[1], "open VORN.DAT" + std::string(c.disk == Disk::Gone ? " failed" : ""));
        EXPECT_EQ(steps.back(), "unlock");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Merge, ::testing::ValuesIn(MergeCases), CaseNameOf());

// A save that cannot write keeps the merged result on screen, asks as a
// single copy's save does, and still gives up the lock.
TEST_F(Scratch, AFailedMergedSaveKeepsTheMergedTableAndUnlocks) {
    StartAndEnter(73);
    const Rows anna = {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}};
    WriteBytes(HighScoreFileName, TableFile(anna));
    fake::Fake().messageAnswers = {platform::AnswerCancel};
    fake::Files().injections.push_back({"create", platform::FileFault::ReadOnly, 0});

    EXPECT_EQ(SaveNewHighScore(), 0);
    const Rows merged = {{"Anna", 84}, {"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}};
    EXPECT_EQ(HeldRows(), merged);
    EXPECT_EQ(ReadBytes(HighScoreFileName), TableFile(anna)) << "the file stays as it was";
    ASSERT_EQ(fake::EventsOf(fake::Call::MessageBox).size(), 1u);
    EXPECT_EQ(fake::EventsOf(fake::Call::MessageBox)[0].text, "Cannot write file, is disk write protected?");
    EXPECT_EQ(fake::Files().steps.back(), "unlock");
}

// Holds the lock the way another copy of the game does, in a child process:
// it saves `rows` and gives the lock up after `holdMs`, or, when `dies`,
// kills itself while still holding it. Returns the child once it holds it.
pid_t HoldLockInChild(const Rows& rows, int holdMs, bool dies) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        const int lock = open("VORN.DAT.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock < 0 || flock(lock, LOCK_EX) != 0) _exit(2);
        if (write(ready[1], "x", 1) != 1) _exit(2);
        if (dies) raise(SIGKILL);
        usleep(static_cast<useconds_t>(holdMs) * 1000);
        WriteBytes(HighScoreFileName, TableFile(rows));
        _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    const bool held = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    return held ? child : -1;
}

// The save waits for a copy that holds the lock and then merges into what
// that copy wrote; a copy killed while holding it stops nothing.
TEST_F(Scratch, TheSaveWaitsForTheOtherCopyAndOutlivesOneKilledHoldingTheLock) {
    struct Case {
        bool dies;
        Rows after;
    };
    const Rows anna = {{"Anna", 84}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}};
    const Case cases[] = {
        {false, {{"Anna", 84}, {"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}}},
        {true, {{"Bert", 73}, {"Unknown", 50}, {"Unknown", 40}, {"Unknown", 30}, {"Unknown", 20}}},
    };
    for (const Case& c : cases) {
        StartAndEnter(73);
        const pid_t other = HoldLockInChild(anna, 300, c.dies);
        ASSERT_GT(other, 0);
        EXPECT_EQ(SaveNewHighScore(), 1);
        int status = 0;
        ASSERT_EQ(waitpid(other, &status, 0), other);
        EXPECT_EQ(HeldRows(), c.after) << (c.dies ? "killed" : "waited");
        EXPECT_EQ(ReadBytes(HighScoreFileName), TableFile(c.after));
        EXPECT_EQ(fake::Files().steps.front(), "lock VORN.DAT") << "the lock was had, not given up on";
    }
}

// A link under the lock's name is never followed: the save goes on without
// the lock, as a single copy's save, and nothing is made where it points.
TEST_F(Scratch, ALinkUnderTheLocksNameIsNotFollowed) {
    StartAndEnter(73);
    const fs::path elsewhere = fs::current_path() / "elsewhere";
    fs::create_symlink(elsewhere, "VORN.DAT.lock");
    EXPECT_EQ(SaveNewHighScore(), 1);
    EXPECT_FALSE(fs::exists(elsewhere));
    EXPECT_EQ(fake::Files().steps.front(), "lock VORN.DAT failed");
    EXPECT_EQ(HeldRows()[0], (Row{"Bert", 73}));
}

}  // namespace
