// The Linux side of the VORN.DAT exchange with the Windows program: loads or
// writes the file in the current directory through the game's own code, with
// a platform that does nothing. Used only by the tests under Wine.
//
//   vorn_file_tool load               exit 0 when the file loads
//   vorn_file_tool save NAME SCORE    writes a table topped by NAME with SCORE
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scores/high_score_file.h"
#include "scores/high_score_table.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "load") == 0) {
        return LoadHighScoreTable() == 1 ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "save") == 0) {
        for (int i = 0; i < HighScoreEntries; ++i) {
            HighScoreEntry& entry = HighScores.entries[i];
            std::snprintf(entry.name, sizeof entry.name, "%s", i == 0 ? argv[2] : "Unknown");
            entry.score = i == 0 ? std::atoi(argv[3]) : 50 - 10 * i;
            entry.level = 1 + i;
            entry.lines = 3 * i;
        }
        return SaveHighScoreTable() == 1 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: vorn_file_tool load | save NAME SCORE\n");
    return 2;
}
