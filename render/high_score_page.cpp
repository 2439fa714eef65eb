// The centre info page: the "Dialog" picture and the five entries written over
// it, column by column. Reads the table only; never changes it or a file.
#include "render/high_score_page.h"

#include <cstdio>
#include <cstring>

#include "seam/platform.h"
#include "render/image_catalogue.h"
#include "render/layout.h"
#include "scores/high_score_table.h"

namespace {

int RowTop(int entry) { return HighScoreRowTop + HighScoreRowStep * entry; }

void WriteNumberColumn(int x, std::int32_t HighScoreEntry::*field) {
    for (int entry = 0; entry < HighScoreEntries; ++entry) {
        char text[12];  // "-2147483648" and its terminator
        std::snprintf(text, sizeof text, "%d", HighScores.entries[entry].*field);
        platform::WriteText(x, RowTop(entry), text);
    }
}

}  // namespace

// Names and numbers are written from their column's left edge, unmeasured and
// unclipped: a long name runs on over the score column.
void DrawHighScorePage() {
    if (!ImagesLoaded()) return;
    const Placement& page = Place(ScreenElement::HighScorePage);
    platform::CopyImage(page.image, page.x, page.y, page.width, page.height);
    for (int entry = 0; entry < HighScoreEntries; ++entry) {
        const char* name = HighScores.entries[entry].name;
        // A name that fills its whole field without a terminator is written
        // up to the field's last character and no further.
        char bounded[HighScoreNameSize];
        if (std::memchr(name, '\0', HighScoreNameSize) == nullptr) {
            std::memcpy(bounded, name, HighScoreNameSize - 1);
            bounded[HighScoreNameSize - 1] = '\0';
            name = bounded;
        }
        platform::WriteText(HighScoreNameX, RowTop(entry), name);
    }
    WriteNumberColumn(HighScoreScoreX, &HighScoreEntry::score);
    WriteNumberColumn(HighScoreLevelX, &HighScoreEntry::level);
    WriteNumberColumn(HighScoreLinesX, &HighScoreEntry::lines);
}
