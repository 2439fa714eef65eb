// Any bytes as VORN.DAT: the load either succeeds with five terminated entries
// that save and load back unchanged, or fails with the default file on disk.
// Anything else, or any sanitizer finding, stops the run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "tests/scores/default_file.h"

namespace {

namespace fs = std::filesystem;

fs::path Scratch;

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "high-score file fuzz: %s\n", what);
        std::abort();
    }
}

void WriteFile(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(HighScoreFileName, "wb");
    Check(file != nullptr, "cannot write the input");
    Check(std::fwrite(data, 1, size, file) == size, "cannot write the input");
    std::fclose(file);
}

std::string ReadFile() {
    std::string bytes;
    if (std::FILE* file = std::fopen(HighScoreFileName, "rb")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, got);
        }
        std::fclose(file);
    }
    return bytes;
}

bool SameTable(const HighScoreTable& a, const HighScoreTable& b) {
    for (int row = 0; row < HighScoreEntries; ++row) {
        const HighScoreEntry& x = a.entries[row];
        const HighScoreEntry& y = b.entries[row];
        if (std::strcmp(x.name, y.name) != 0 || x.score != y.score || x.level != y.level || x.lines != y.lines) {
            return false;
        }
    }
    return true;
}

void RemoveScratch() {
    std::error_code ignored;
    fs::current_path("/", ignored);
    fs::remove_all(Scratch, ignored);
}

}  // namespace

// Works in a scratch directory of its own, in memory when the system has one,
// since every input is written, read and often replaced.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "quarvelle-fuzz-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "cannot make a scratch directory");
    Scratch = pattern;
    fs::current_path(Scratch);
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(data, size);
    if (LoadHighScoreTable() == 0) {
        Check(ReadFile() == DefaultFile, "a failed load left something other than the default file");
        return 0;
    }
    for (const HighScoreEntry& entry : HighScores.entries) {
        Check(std::memchr(entry.name, '\0', sizeof entry.name) != nullptr, "a loaded name has no terminator");
    }
    const HighScoreTable loaded = HighScores;
    Check(SaveHighScoreTable() == 1, "a loaded table could not be saved");
    Check(LoadHighScoreTable() == 1, "a saved table does not load");
    Check(SameTable(loaded, HighScores), "a loaded table changed on its way through a save");
    return 0;
}
