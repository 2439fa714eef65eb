// VORN.DAT against a hostile or failing file system: a FIFO, a folder or a
// link under the name, stale temporary files, a read-only folder, a full disk,
// steps that fail half way, two copies of the game saving at once, and the
// order in which a save reaches the disk. Every case runs the real load (the
// start-up) or the real save in a scratch folder and checks the questions the
// player is asked, what the save returns, and every file in the folder (and
// in the folder a link points to) afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "seam/game_entry.h"
#include "tests/scores/default_file.h"
#include "tests/support/case_names.h"
#include "tests/support/fake_file_store.h"
#include "tests/support/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using platform::FileFault;

// What the player is told, word for word.
const std::string RestartText = "High score file corrupted or missing, please restart game.";
const std::string WriteProtectedText = "Cannot write file, is disk write protected?";
const std::string DiskFullText = "Cannot write file, the disk is full.";
const std::string NameIsFolderText = "Cannot write file, VORN.DAT is a folder.";
const std::string DiskErrorText = "Cannot write file, the disk reported an error.";
// The start-up's notice names the game's folder ({game}) and says what helps.
const std::string ReadOnlyProblem =
    "High score file could not be written:\n"
    "the folder is read-only.\n"
    "Restarting will not help until it can be written.\n"
    "\n"
    "Folder: {game}\n"
    "Make the folder writable, or start the game from one you can write to, such as your home folder.";
const std::string DiskFullProblem =
    "High score file could not be written:\n"
    "the disk is full.\n"
    "Restarting will not help until there is room.";
const std::string NameIsFolderProblem =
    "High score file could not be written:\n"
    "the name VORN.DAT is taken by a folder.\n"
    "Restarting will not help until it is moved.";

// The file a save of the default table with "Newcomer" in row 2 writes.
std::string TableFile(const std::string& row2) {
    const std::string records[] = {"Unknown;50;1;0", "Unknown;40;1;0", row2, "Unknown;20;1;0", "Unknown;10;1;0"};
    std::string file = GuardLine + "\r\n";
    int sum = 0;
    for (const std::string& record : records) {
        file += record + "\r\n";
        for (unsigned char c : record) sum += c;
        sum += '\n';
    }
    return file + std::to_string(sum) + "\r\n";
}
const std::string NewFile = TableFile("Newcomer;35;3;21");

void SetNewcomerTable() {
    for (int row = 0; row < HighScoreEntries; ++row) {
        HighScoreEntry& entry = HighScores.entries[row];
        std::memset(entry.name, 0, sizeof entry.name);
        std::strcpy(entry.name, row == 2 ? "Newcomer" : "Unknown");
        entry.score = row == 2 ? 35 : 50 - 10 * row;
        entry.level = row == 2 ? 3 : 1;
        entry.lines = row == 2 ? 21 : 0;
    }
}

void WriteBytes(const fs::path& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const fs::path& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every entry of a folder, by name: a regular file's bytes, "link to X",
// "folder" or "fifo".
using Listing = std::map<std::string, std::string>;

Listing ListFolder(const fs::path& folder) {
    Listing listing;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const fs::file_status status = fs::symlink_status(entry.path());
        if (fs::is_symlink(status)) {
            listing[name] = "link to " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_directory(status)) {
            listing[name] = "folder";
        } else if (fs::is_fifo(status)) {
            listing[name] = "fifo";
        } else {
            listing[name] = ReadBytes(entry.path());
        }
    }
    return listing;
}

// The first temporary name this process's save tries, which a stale file may
// already hold.
std::string OwnTemporaryName() { return "VORN.DAT." + std::to_string(getpid()) + "-0.tmp"; }

// A scratch root with the game's folder (the current directory) and a folder
// outside it that links may point to.
class FileSystem : public ::testing::Test {
public:
    void SetUp() override {
        home_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "quarvelle-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        game_ = root_ / "game";
        outside_ = root_ / "outside";
        fs::create_directory(game_);
        fs::create_directory(outside_);
        fs::current_path(game_);
        fake::ResetFake();
        fake::ResetFiles();
        HighScores = HighScoreTable{};
    }
    void TearDown() override {
        fs::current_path(home_);
        if (mounted_) {
            umount2(game_.c_str(), MNT_DETACH);
        }
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Makes the game's folder read-only with a read-only bind mount where the
    // test may mount; otherwise the creation of the temporary file fails as
    // it would there. Returns whether the mount was made.
    bool MakeFolderReadOnly(bool mayMount = true) {
        if (mayMount && mount(game_.c_str(), game_.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            mounted_ = true;
            if (mount(nullptr, game_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) {
                fs::current_path(game_);
                std::printf("[ folder   ] a read-only bind mount\n");
                return true;
            }
        }
        std::printf("[ folder   ] read-only through the seam\n");
        fake::Files().injections.push_back({"create", FileFault::ReadOnly});
        return false;
    }

    // Puts the game's folder on a disk of one page (4096 bytes) where the
    // test may mount one, filled up to the page with the folder's files;
    // otherwise writing fails as it would there. Returns whether it mounted.
    bool MakeDiskFull(const Listing& files, bool mayMount = true) {
        if (mayMount && mount("tmpfs", game_.c_str(), "tmpfs", 0, "size=4k") == 0) {
            mounted_ = true;
            fs::current_path(game_);
            std::printf("[ disk     ] a full tmpfs of 4096 bytes\n");
            std::size_t used = 0;
            for (const auto& [name, bytes] : files) {
                WriteBytes(name, bytes);
                used += bytes.size();
            }
            if (used == 0) {
                WriteBytes("filler", std::string(4096, 'f'));
            }
            return true;
        }
        for (const auto& [name, bytes] : files) {
            WriteBytes(name, bytes);
        }
        std::printf("[ disk     ] full through the seam\n");
        fake::Files().injections.push_back({"write", FileFault::DiskFull});
        return false;
    }

    fs::path home_, root_, game_, outside_;
    bool mounted_ = false;
};

// What a case does: the start-up (which loads VORN.DAT and may write the
// default file), or a save of the Newcomer table.
enum class Action { StartUp, Save };

struct Box {
    std::string text;
    int buttons;
};

struct FaultCase {
    const char* what;
    Action action;
    // Lays out the folders (and the injections); given the fixture.
    std::function<void(FileSystem&, const fs::path& outside)> arrange;
    std::vector<int> answers;  // to the questions, first first; then Cancel
    int result;                // what the start-up or the save returns
    std::vector<Box> boxes;
    // Every file afterwards; "{tmp}" stands for this process's first
    // temporary name, "{outside}" for the outside folder.
    Listing game;
    Listing outside;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.what; }

std::string Expand(std::string text, const fs::path& outside) {
    for (auto [key, value] : {std::pair<std::string, std::string>{"{tmp}", OwnTemporaryName()},
                              std::pair<std::string, std::string>{"{outside}", outside.string()}}) {
        for (std::size_t at; (at = text.find(key)) != std::string::npos;) {
            text.replace(at, key.size(), value);
        }
    }
    return text;
}

Listing Expand(const Listing& listing, const fs::path& outside) {
    Listing expanded;
    for (const auto& [name, value] : listing) {
        expanded[Expand(name, outside)] = Expand(value, outside);
    }
    return expanded;
}

constexpr int Question = platform::RetryCancel;
constexpr int Notice = platform::Ok;
const std::string Damaged = "damaged";

void Fifo(const char* name) { ASSERT_EQ(mkfifo(name, 0644), 0); }

// Where a reader may block, opening the FIFO for writing lets it go on.
void Unblock() {
    struct stat status;
    if (lstat(HighScoreFileName, &status) == 0 && S_ISFIFO(status.st_mode)) {
        const int writer = open(HighScoreFileName, O_WRONLY | O_NONBLOCK);
        if (writer >= 0) close(writer);
    }
}

const FaultCase FaultCases[] = {
    {"FIFO under the name is damaged and replaced without waiting", Action::StartUp,
     [](FileSystem&, const fs::path&) { Fifo(HighScoreFileName); }, {}, 0, {{RestartText, Notice}},
     {{"VORN.DAT", DefaultFile}}, {}},
    {"folder under the name cannot take the default file", Action::StartUp,
     [](FileSystem&, const fs::path&) { fs::create_directory(HighScoreFileName); }, {}, 0,
     {{NameIsFolderText, Question}, {NameIsFolderProblem, Notice}}, {{"VORN.DAT", "folder"}}, {}},
    {"folder under the name keeps a save out", Action::Save,
     [](FileSystem&, const fs::path&) { fs::create_directory(HighScoreFileName); }, {}, 0,
     {{NameIsFolderText, Question}}, {{"VORN.DAT", "folder"}}, {}},
    {"link to a table outside loads", Action::StartUp,
     [](FileSystem&, const fs::path& outside) {
         WriteBytes(outside / "table", NewFile);
         fs::create_symlink(outside / "table", HighScoreFileName);
     },
     {}, 1, {}, {{"VORN.DAT", "link to {outside}/table"}}, {{"table", NewFile}}},
    {"link to a table outside: the save updates the table and keeps the link", Action::Save,
     [](FileSystem&, const fs::path& outside) {
         WriteBytes(outside / "table", DefaultFile);
         fs::create_symlink(outside / "table", HighScoreFileName);
     },
     {}, 1, {}, {{"VORN.DAT", "link to {outside}/table"}}, {{"table", NewFile}}},
    {"link to a folder is replaced, the folder kept", Action::Save,
     [](FileSystem&, const fs::path& outside) {
         fs::create_directory(outside / "shelf");
         fs::create_symlink(outside / "shelf", HighScoreFileName);
     },
     {}, 1, {}, {{"VORN.DAT", NewFile}}, {{"shelf", "folder"}}},
    {"stale temporary files as links are neither followed nor in the way of a save", Action::Save,
     [](FileSystem&, const fs::path& outside) {
         WriteBytes(HighScoreFileName, DefaultFile);
         WriteBytes(outside / "precious", "precious");
         fs::create_symlink(outside / "precious", "VORN.DAT.tmp");
         fs::create_symlink(outside / "precious", OwnTemporaryName());
     },
     {}, 1, {},
     {{"VORN.DAT", NewFile}, {"VORN.DAT.tmp", "link to {outside}/precious"},
      {"{tmp}", "link to {outside}/precious"}},
     {{"precious", "precious"}}},
    {"stale temporary files as links are not followed by the default file", Action::StartUp,
     [](FileSystem&, const fs::path& outside) {
         WriteBytes(outside / "precious", "precious");
         fs::create_symlink(outside / "precious", "VORN.DAT.tmp");
         fs::create_symlink(outside / "precious", OwnTemporaryName());
     },
     {}, 0, {{RestartText, Notice}},
     {{"VORN.DAT", DefaultFile}, {"VORN.DAT.tmp", "link to {outside}/precious"},
      {"{tmp}", "link to {outside}/precious"}},
     {{"precious", "precious"}}},
    {"stale temporary folders are not in the way of a save", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fs::create_directory("VORN.DAT.tmp");
         fs::create_directory(OwnTemporaryName());
     },
     {}, 1, {}, {{"VORN.DAT", NewFile}, {"VORN.DAT.tmp", "folder"}, {"{tmp}", "folder"}}, {}},
    {"read-only folder: the save asks and keeps the old file", Action::Save,
     [](FileSystem& f, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         f.MakeFolderReadOnly();
     },
     {}, 0, {{WriteProtectedText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"read-only folder: the start-up says the file cannot be written", Action::StartUp,
     [](FileSystem& f, const fs::path&) {
         WriteBytes(HighScoreFileName, Damaged);
         f.MakeFolderReadOnly();
     },
     {}, 0, {{WriteProtectedText, Question}, {ReadOnlyProblem, Notice}}, {{"VORN.DAT", Damaged}}, {}},
    {"read-only folder through the seam: the save asks and keeps the old file", Action::Save,
     [](FileSystem& f, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         f.MakeFolderReadOnly(false);
     },
     {}, 0, {{WriteProtectedText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"full disk through the seam: the save asks and keeps the old file", Action::Save,
     [](FileSystem& f, const fs::path&) { f.MakeDiskFull({{"VORN.DAT", DefaultFile}}, false); }, {}, 0,
     {{DiskFullText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"full disk: the save asks and keeps the old file", Action::Save,
     [](FileSystem& f, const fs::path&) { f.MakeDiskFull({{"VORN.DAT", DefaultFile}}); }, {}, 0,
     {{DiskFullText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"full disk: the start-up says the file cannot be written", Action::StartUp,
     [](FileSystem& f, const fs::path&) {
         if (!f.MakeDiskFull({})) WriteBytes("filler", std::string(4096, 'f'));
     },
     {}, 0, {{DiskFullText, Question}, {DiskFullProblem, Notice}}, {{"filler", std::string(4096, 'f')}}, {}},
    {"write failing half way", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"write", FileFault::Other});
     },
     {}, 0, {{DiskErrorText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"sync failing", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"sync file", FileFault::Other});
     },
     {}, 0, {{DiskErrorText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"close failing", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"close", FileFault::DiskFull});
     },
     {}, 0, {{DiskFullText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"rename failing", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"replace", FileFault::Other});
     },
     {}, 0, {{DiskErrorText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
    {"folder sync failing: the table is in place but the player is told", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"sync folder", FileFault::Other});
     },
     {}, 0, {{DiskErrorText, Question}}, {{"VORN.DAT", NewFile}}, {}},
    {"Retry runs the whole save again", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"write", FileFault::DiskFull});
     },
     {platform::AnswerRetry}, 1, {{DiskFullText, Question}}, {{"VORN.DAT", NewFile}}, {}},
    {"Retry that fails again gives up without a second question", Action::Save,
     [](FileSystem&, const fs::path&) {
         WriteBytes(HighScoreFileName, DefaultFile);
         fake::Files().injections.push_back({"replace", FileFault::Other});
         fake::Files().injections.push_back({"replace", FileFault::Other});
     },
     {platform::AnswerRetry}, 0, {{DiskErrorText, Question}}, {{"VORN.DAT", DefaultFile}}, {}},
};

class FileFaults : public FileSystem, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FileFaults, TellsThePlayerAndLeavesTheFilesAsExpected) {
    const FaultCase& c = GetParam();
    c.arrange(*this, outside_);
    if (HasFatalFailure()) return;
    for (int answer : c.answers) {
        fake::Fake().messageAnswers.push_back(answer);
    }
    if (c.action == Action::Save) {
        SetNewcomerTable();
    }

    // The action runs beside the test, which gives up waiting after a few
    // seconds, lets a blocked reader go on, and fails the case.
    std::future<int> done = std::async(std::launch::async, [&c] {
        return c.action == Action::StartUp ? StartUp() : SaveHighScoreTable();
    });
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "blocked for 5 seconds";
        Unblock();
    }
    EXPECT_EQ(done.get(), c.result);

    std::vector<Box> boxes;
    for (const fake::Event& box : fake::EventsOf(fake::Call::MessageBox)) {
        EXPECT_EQ(box.caption, "Error");
        boxes.push_back({box.text, box.a});
    }
    ASSERT_EQ(boxes.size(), c.boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::string expected = c.boxes[i].text;
        if (const std::size_t at = expected.find("{game}"); at != std::string::npos) {
            expected.replace(at, 6, game_.string());
        }
        EXPECT_EQ(boxes[i].text, expected) << "box " << i;
        EXPECT_EQ(boxes[i].buttons, c.boxes[i].buttons) << "box " << i;
    }
    EXPECT_EQ(ListFolder(game_), Expand(c.game, outside_));
    EXPECT_EQ(ListFolder(outside_), Expand(c.outside, outside_));
    if (c.action == Action::Save) {
        // Whatever the disk did, the entry stays in the table on screen.
        EXPECT_STREQ(HighScores.entries[2].name, "Newcomer");
        EXPECT_EQ(HighScores.entries[2].score, 35);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FileFaults, ::testing::ValuesIn(FaultCases), CaseNameOf());

// The steps of a save that change the disk, without the file names' pid.
std::vector<std::string> DiskSteps() {
    std::vector<std::string> steps;
    for (const std::string& step : fake::Files().steps) {
        const std::string call = step.substr(0, step.find(' '));
        if (call == "create" || call == "write" || call == "sync" || call == "close" || call == "replace") {
            steps.push_back(step);
        }
    }
    return steps;
}

// A save is durable once it returns: the file's bytes are synced before the
// rename, and the folder after it, so a power cut brings back the new table.
TEST_F(FileSystem, SaveSyncsTheFileThenRenamesThenSyncsTheFolder) {
    WriteBytes(HighScoreFileName, DefaultFile);
    SetNewcomerTable();
    ASSERT_EQ(SaveHighScoreTable(), 1);
    const std::string temporary = OwnTemporaryName();
    const std::vector<std::string> expected = {
        "create " + temporary, "write " + std::to_string(NewFile.size()), "sync file", "close",
        "replace " + temporary + " VORN.DAT", "sync folder VORN.DAT"};
    EXPECT_EQ(DiskSteps(), expected);
}

// Through a link the temporary file is made beside the target, so that the
// rename stays within one folder, and that folder is the one synced.
TEST_F(FileSystem, SaveThroughALinkWorksInTheTargetsFolder) {
    WriteBytes(outside_ / "table", DefaultFile);
    fs::create_symlink(outside_ / "table", HighScoreFileName);
    SetNewcomerTable();
    ASSERT_EQ(SaveHighScoreTable(), 1);
    const std::string target = fs::canonical(outside_ / "table").string();
    const std::string temporary = target + "." + std::to_string(getpid()) + "-0.tmp";
    const std::vector<std::string> expected = {
        "create " + temporary, "write " + std::to_string(NewFile.size()), "sync file", "close",
        "replace " + temporary + " " + target, "sync folder " + target};
    EXPECT_EQ(DiskSteps(), expected);
}

// Two copies of the game save in one folder at once while a third reads the
// file: every read finds one table whole, and no temporary file is left.
TEST_F(FileSystem, TwoCopiesSavingAtOnceNeverLeaveAPartTable) {
    constexpr int SavesEach = 300;
    const std::string tables[] = {TableFile("First;35;3;21"), TableFile("Second;36;4;22")};
    WriteBytes(HighScoreFileName, DefaultFile);
    pid_t writers[2];
    for (int copy = 0; copy < 2; ++copy) {
        writers[copy] = fork();
        ASSERT_GE(writers[copy], 0);
        if (writers[copy] == 0) {
            SetNewcomerTable();
            std::strcpy(HighScores.entries[2].name, copy == 0 ? "First" : "Second");
            HighScores.entries[2].score = 35 + copy;
            HighScores.entries[2].level = 3 + copy;
            HighScores.entries[2].lines = 21 + copy;
            fake::ResetFiles();
            int failed = 0;
            for (int save = 0; save < SavesEach; ++save) {
                failed += SaveHighScoreTable() == 1 ? 0 : 1;
                fake::Files().steps.clear();
            }
            _exit(failed == 0 ? 0 : 1);
        }
    }
    int reads = 0;
    int partial = 0;
    std::string example;
    for (int finished = 0; finished < 2;) {
        const std::string bytes = ReadBytes(HighScoreFileName);
        ++reads;
        if (bytes != DefaultFile && bytes != tables[0] && bytes != tables[1]) {
            ++partial;
            example = bytes;
        }
        finished = 0;
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer == 0) {
                ++finished;
            } else if (waitpid(writer, &status, WNOHANG) == writer) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
                writer = 0;
                ++finished;
            }
        }
    }
    EXPECT_EQ(partial, 0) << "of " << reads << " reads; one read:\n" << example;
    const Listing listing = ListFolder(game_);
    ASSERT_EQ(listing.size(), 1u) << "a temporary file was left";
    const std::string last = listing.at("VORN.DAT");
    EXPECT_TRUE(last == tables[0] || last == tables[1]);
}

}  // namespace
