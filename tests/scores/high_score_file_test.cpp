// VORN.DAT read, checked, written and replaced. Every test runs in a scratch
// directory of its own, because the file lives in the current directory.
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
#include <utility>
#include <vector>

#include <unistd.h>

#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "seam/game_entry.h"
#include "tests/scores/default_file.h"
#include "tests/support/case_names.h"
#include "tests/support/fake_file_store.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The name earlier saves wrote before replacing VORN.DAT; a save now makes a
// temporary file of its own under a unique name, and leaves this one alone.
constexpr const char* TemporaryName = "VORN.DAT.tmp";

// The names in the current folder, so that a test sees any file left behind.
std::vector<std::string> FolderNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> DefaultRecords = {"Unknown;50;1;0", "Unknown;40;1;0", "Unknown;30;1;0",
                                                 "Unknown;20;1;0", "Unknown;10;1;0"};

// The checksum of record lines as the load counts them: every byte unsigned,
// one LF per line.
int Sum(const std::vector<std::string>& records) {
    int sum = 0;
    for (const std::string& record : records) {
        for (unsigned char c : record) {
            sum += c;
        }
        sum += '\n';
    }
    return sum;
}

// A file of a guard line, record lines and a checksum line, with `eol` after
// each; the checksum is the right one unless given.
std::string File(const std::vector<std::string>& records, std::optional<std::string> checksum = {},
                 const std::string& eol = "\r\n", const std::string& guard = GuardLine) {
    std::string file = guard + eol;
    for (const std::string& record : records) {
        file += record + eol;
    }
    return file + checksum.value_or(std::to_string(Sum(records))) + eol;
}

std::vector<std::string> WithRecord(int row, const std::string& record) {
    std::vector<std::string> records = DefaultRecords;
    records[row] = record;
    return records;
}

void WriteBytes(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SetEntry(int row, const std::string& name, int score, int level, int lines) {
    HighScoreEntry& entry = HighScores.entries[row];
    std::memset(entry.name, 0, sizeof entry.name);
    std::memcpy(entry.name, name.data(), name.size());
    entry.score = score;
    entry.level = level;
    entry.lines = lines;
}

class ScratchDirectory : public ScratchFolder {
protected:
    // The table a loaded default file gives.
    void ExpectDefaultTable() {
        for (int row = 0; row < HighScoreEntries; ++row) {
            EXPECT_STREQ(HighScores.entries[row].name, "Unknown");
            EXPECT_EQ(HighScores.entries[row].score, 50 - 10 * row);
            EXPECT_EQ(HighScores.entries[row].level, 1);
            EXPECT_EQ(HighScores.entries[row].lines, 0);
        }
    }
};

struct Expected {
    int row;
    std::string name;
    int score, level, lines;
};

struct FileCase {
    const char* what;
    std::optional<std::string> bytes;  // none: no VORN.DAT at all
    std::optional<Expected> loads;     // none: the load fails
};

// Test listings name a case by what it is, not by its bytes.
void PrintTo(const FileCase& c, std::ostream* out) { *out << c.what; }

const std::string Long255(255, 'n');

const FileCase FileCases[] = {
    {"missing file", std::nullopt, std::nullopt},
    {"empty file", ""s, std::nullopt},
    {"guard line of 188 characters", File(DefaultRecords, {}, "\r\n", GuardLine.substr(1)), std::nullopt},
    {"guard line without its full stop", File(DefaultRecords, {}, "\r\n", GuardLine.substr(0, 188) + " "),
     std::nullopt},
    {"full stop at 189 with garbage around it",
     File(DefaultRecords, {}, "\r\n", std::string(188, 'x') + ".garbage;1;2"), Expected{0, "Unknown", 50, 1, 0}},
    {"first line longer than 254 characters runs into the first name",
     File(DefaultRecords, std::to_string(Sum(DefaultRecords) + Sum({"Zed"})), "\r\n",
          GuardLine + std::string(254 - 189, 'n') + "Zed"),
     Expected{0, "Zed\nUnknown", 50, 1, 0}},
    {"checksum one off", File(DefaultRecords, "5676"), std::nullopt},
    {"two characters swapped", File(DefaultRecords, "5675").replace(191, 7, "nUknown"),
     Expected{0, "nUknown", 50, 1, 0}},
    {"changed character", File(DefaultRecords, "5675").replace(191, 7, "Unknowm"), std::nullopt},
    {"score without digits reads 0", File(WithRecord(2, "Unknown;abc;1;0")), Expected{2, "Unknown", 0, 1, 0}},
    {"signs and white space in numbers", File(WithRecord(3, "Unknown; -12x;+3; 7;8")),
     Expected{3, "Unknown", -12, 3, 7}},
    {"number beyond 32 bits stops at the range", File(WithRecord(1, "Unknown;99999999999;-99999999999;0")),
     Expected{1, "Unknown", 2147483647, -2147483647 - 1, 0}},
    {"checksum with leading blanks, sign and trailing text", File(DefaultRecords, " \t+5675 points"),
     Expected{4, "Unknown", 10, 1, 0}},
    {"empty name", File(WithRecord(4, ";10;1;0")), Expected{4, "", 10, 1, 0}},
    {"name bytes above 127 count unsigned", File(WithRecord(0, "\xC4\xE9\xFF;50;1;0"), "5607"),
     Expected{0, "\xC4\xE9\xFF", 50, 1, 0}},
    {"lone CR is a character", File(WithRecord(0, "Un\rknown;50;1;0")), Expected{0, "Un\rknown", 50, 1, 0}},
    {"bare LF line ends", File(DefaultRecords, "5675", "\n"), Expected{4, "Unknown", 10, 1, 0}},
    {"name of 255 characters", File(WithRecord(1, Long255 + ";40;1;0")), Expected{1, Long255, 40, 1, 0}},
    {"name of 256 characters", File(WithRecord(1, Long255 + "n;40;1;0")), std::nullopt},
    {"number field of 256 characters", File(WithRecord(1, "Unknown;" + std::string(254, '0') + "40;1;0")),
     std::nullopt},
    {"lines field running on for 256 characters", File(WithRecord(1, "Unknown;40;1;0" + std::string(255, ';'))),
     std::nullopt},
    {"checksum line of 256 characters", File(DefaultRecords, std::string(252, ' ') + "5675"), std::nullopt},
    {"name without its ';' runs to the end", GuardLine + "\r\nUnknown", std::nullopt},
    {"file ends inside the third record", File(DefaultRecords).substr(0, 191 + 16 * 2 + 9), std::nullopt},
    {"file ends after the records", File(DefaultRecords).substr(0, 191 + 16 * 5), std::nullopt},
    {"checksum line without its line end", File(DefaultRecords).substr(0, File(DefaultRecords).size() - 2),
     std::nullopt},
    {"guard line only", GuardLine + "\r\n", std::nullopt},
    {"NUL in a name", File(WithRecord(0, "Unk\0own;50;1;0"s), std::to_string(Sum(DefaultRecords) - 'n')),
     std::nullopt},
    {"NUL in the checksum line", File(DefaultRecords, "5675\0"s), std::nullopt},
};

class FileLoad : public ScratchDirectory, public ::testing::WithParamInterface<FileCase> {};

TEST_P(FileLoad, LoadsFiveEntriesOrWritesTheDefaultFile) {
    const FileCase& c = GetParam();
    if (c.bytes) {
        WriteBytes(HighScoreFileName, *c.bytes);
    }
    const int loaded = LoadHighScoreTable();
    EXPECT_TRUE(fake::EventsOf(fake::Call::MessageBox).empty());
    EXPECT_FALSE(fs::exists(TemporaryName));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{HighScoreFileName}) << "no temporary file is left";
    if (!c.loads) {
        EXPECT_EQ(loaded, 0);
        EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
        return;
    }
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(ReadBytes(HighScoreFileName), *c.bytes) << "a good file is left as it is";
    const HighScoreEntry& entry = HighScores.entries[c.loads->row];
    EXPECT_EQ(std::string(entry.name), c.loads->name);
    EXPECT_EQ(entry.score, c.loads->score);
    EXPECT_EQ(entry.level, c.loads->level);
    EXPECT_EQ(entry.lines, c.loads->lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLoad, ::testing::ValuesIn(FileCases), CaseNameOf());

using HighScoreFile = ScratchDirectory;

TEST_F(HighScoreFile, MissingFileGivesTheDefaultFileThenTheDefaultTable) {
    EXPECT_EQ(LoadHighScoreTable(), 0);
    EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
    EXPECT_EQ(LoadHighScoreTable(), 1);
    ExpectDefaultTable();
}

// A table offered from outside is checked as the start-up checks a file, and
// the table in play stays whatever the verdict.
TEST_F(HighScoreFile, CheckSaysWhetherTheFileLoadsAndKeepsTheTableInPlay) {
    SetEntry(0, "Playing", 999, 9, 90);
    for (const auto& [bytes, loads] : {std::pair{File(WithRecord(0, "Offered;70;2;12")), 1},
                                       std::pair{File(DefaultRecords, "1"), 0}}) {
        WriteBytes(HighScoreFileName, bytes);
        EXPECT_EQ(CheckHighScoreFile(), loads) << bytes;
        EXPECT_STREQ(HighScores.entries[0].name, "Playing");
        EXPECT_EQ(HighScores.entries[0].score, 999);
    }
}

TEST_F(HighScoreFile, SavingTheDefaultTableWritesTheDefaultFileExactly) {
    WriteBytes(HighScoreFileName, File(DefaultRecords, "5675", "\n"));
    ASSERT_EQ(LoadHighScoreTable(), 1);
    EXPECT_EQ(SaveHighScoreTable(), 1);
    EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
    EXPECT_EQ(WriteDefaultHighScoreFile(), 1);
    EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
}

TEST_F(HighScoreFile, SaveThenLoadGivesTheSameTable) {
    SetEntry(0, "Zo\xEB \xFF\x80", 2147483647, 30, 999);
    SetEntry(1, "", 0, 0, 0);
    SetEntry(2, std::string(255, '~'), -1, -2, -3);
    SetEntry(3, "Ann\r", 20, 2, 11);
    SetEntry(4, "x", -2147483647 - 1, 1, 0);
    const HighScoreTable saved = HighScores;
    ASSERT_EQ(SaveHighScoreTable(), 1);
    const std::string bytes = ReadBytes(HighScoreFileName);
    EXPECT_EQ(bytes.substr(0, 191), GuardLine + "\r\n");
    EXPECT_EQ(bytes.find("Zo\xEB \xFF\x80;2147483647;30;999\r\n;0;0;0\r\n"), 191u);

    HighScores = HighScoreTable{};
    ASSERT_EQ(LoadHighScoreTable(), 1);
    for (int row = 0; row < HighScoreEntries; ++row) {
        const HighScoreEntry& a = saved.entries[row];
        const HighScoreEntry& b = HighScores.entries[row];
        EXPECT_STREQ(b.name, a.name) << "row " << row;
        EXPECT_EQ(b.score, a.score) << "row " << row;
        EXPECT_EQ(b.level, a.level) << "row " << row;
        EXPECT_EQ(b.lines, a.lines) << "row " << row;
    }
}

TEST_F(HighScoreFile, NameWithSeparatorShiftsTheFieldsButKeepsTheChecksum) {
    for (int row = 0; row < HighScoreEntries; ++row) {
        SetEntry(row, "Unknown", 50 - 10 * row, 1, 0);
    }
    SetEntry(0, "a;b", 100, 2, 5);
    ASSERT_EQ(SaveHighScoreTable(), 1);
    EXPECT_EQ(ReadBytes(HighScoreFileName).substr(191, 13), "a;b;100;2;5\r\n");
    ASSERT_EQ(LoadHighScoreTable(), 1);
    EXPECT_STREQ(HighScores.entries[0].name, "a");
    EXPECT_EQ(HighScores.entries[0].score, 0);
    EXPECT_EQ(HighScores.entries[0].level, 100);
    EXPECT_EQ(HighScores.entries[0].lines, 2);
    EXPECT_EQ(HighScores.entries[1].score, 40);
}

// The temporary file cannot be made, as in a read-only folder (made to fail
// through the seam, since root may write anywhere); a stale folder under the
// old temporary name is left alone.
struct ProtectedCase {
    const char* what;
    std::vector<int> answers;
};

void PrintTo(const ProtectedCase& c, std::ostream* out) { *out << c.what; }

class WriteProtected : public ScratchDirectory, public ::testing::WithParamInterface<ProtectedCase> {};

TEST_P(WriteProtected, AsksOnceAndKeepsTheTableAndTheOldFile) {
    WriteBytes(HighScoreFileName, DefaultFile);
    ASSERT_EQ(LoadHighScoreTable(), 1);
    SetEntry(2, "Newcomer", 35, 3, 21);
    fs::create_directory(TemporaryName);
    fake::Files().injections.push_back({"create", platform::FileFault::ReadOnly});
    fake::Files().injections.push_back({"create", platform::FileFault::ReadOnly});
    for (int answer : GetParam().answers) {
        fake::Fake().messageAnswers.push_back(answer);
    }

    EXPECT_EQ(SaveHighScoreTable(), 0);

    const std::vector<fake::Event> boxes = fake::EventsOf(fake::Call::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot write file, is disk write protected?");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].a, platform::RetryCancel);
    EXPECT_STREQ(HighScores.entries[2].name, "Newcomer");
    EXPECT_EQ(HighScores.entries[2].score, 35);
    EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
    EXPECT_TRUE(fs::is_directory(TemporaryName));
}

INSTANTIATE_TEST_SUITE_P(Answers, WriteProtected,
                         ::testing::Values(ProtectedCase{"Retry", {platform::AnswerRetry}},
                                           ProtectedCase{"Cancel", {platform::AnswerCancel}}),
                         [](const ::testing::TestParamInfo<ProtectedCase>& info) { return info.param.what; });

TEST_F(HighScoreFile, DefaultFileThatCannotBeWrittenAsksAndLeavesNoFile) {
    fake::Files().injections.push_back({"create", platform::FileFault::ReadOnly});
    fake::Fake().messageAnswers.push_back(platform::AnswerCancel);
    EXPECT_EQ(LoadHighScoreTable(), 0);
    EXPECT_EQ(fake::EventsOf(fake::Call::MessageBox).size(), 1u);
    EXPECT_FALSE(fs::exists(HighScoreFileName));
}

// VORN.DAT itself a directory: the temporary file is written but cannot
// replace it; the save says why and tidies up after itself.
TEST_F(HighScoreFile, FailedReplaceRemovesTheTemporaryFile) {
    fs::create_directory(HighScoreFileName);
    EXPECT_EQ(SaveHighScoreTable(), 0);
    const std::vector<fake::Event> boxes = fake::EventsOf(fake::Call::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot write file, VORN.DAT is a folder.");
    EXPECT_FALSE(fs::exists(TemporaryName));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{HighScoreFileName});
    EXPECT_TRUE(fs::is_directory(HighScoreFileName));
}

// A save replaces the file rather than rewriting it: a second name for the old
// file still sees every old byte, so a save stopped at any point leaves either
// the old file or the new one under VORN.DAT.
TEST_F(HighScoreFile, SaveNeverWritesIntoTheOldFile) {
    WriteBytes(HighScoreFileName, DefaultFile);
    fs::create_hard_link(HighScoreFileName, "old-table");
    ASSERT_EQ(LoadHighScoreTable(), 1);
    SetEntry(0, "Best", 900, 9, 80);
    ASSERT_EQ(SaveHighScoreTable(), 1);
    EXPECT_EQ(ReadBytes("old-table"), DefaultFile);
    ASSERT_EQ(LoadHighScoreTable(), 1);
    EXPECT_STREQ(HighScores.entries[0].name, "Best");
}

// A save that died before its rename leaves a half-written temporary file: the
// next start loads the old table, and the next save neither reads, writes
// nor removes the leftover, whose name may belong to another copy's save.
TEST_F(HighScoreFile, LeftoverOfAnInterruptedSaveIsIgnored) {
    const std::string leftover = GuardLine + "\r\nBest;900;9;80\r\nUnkn";
    const std::string ownName = "VORN.DAT." + std::to_string(getpid()) + "-0.tmp";
    WriteBytes(HighScoreFileName, DefaultFile);
    WriteBytes(TemporaryName, leftover);
    WriteBytes(ownName.c_str(), leftover);
    ASSERT_EQ(LoadHighScoreTable(), 1);
    ExpectDefaultTable();
    EXPECT_EQ(ReadBytes(HighScoreFileName), DefaultFile);
    SetEntry(4, "Late", 15, 2, 3);
    ASSERT_EQ(SaveHighScoreTable(), 1);
    EXPECT_EQ(ReadBytes(TemporaryName), leftover);
    EXPECT_EQ(ReadBytes(ownName.c_str()), leftover);
    std::vector<std::string> names = {HighScoreFileName, TemporaryName, ownName};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FolderNames(), names) << "the save leaves no file of its own";
    ASSERT_EQ(LoadHighScoreTable(), 1);
    EXPECT_STREQ(HighScores.entries[4].name, "Late");
}

}  // namespace
