// "Load VORN.DAT...": a table the player offers is checked by the game's own
// start-up load, reading the offered bytes in place of VORN.DAT and writing
// nothing, and the table in memory is kept as it was. Only the page calls it;
// the page stores an accepted table and starts the game anew with it.
#include <emscripten.h>

#include "frontends/web/web_front_end.h"
#include "seam/game_entry.h"

namespace {

// As much as the page hands over; the loader reads less of any file.
constexpr int OfferRoom = 65536;
unsigned char Offered[OfferRoom];

}  // namespace

// Where the page writes the offered bytes, and how many fit.
extern "C" EMSCRIPTEN_KEEPALIVE unsigned char* OfferedTableBytes() { return Offered; }
extern "C" EMSCRIPTEN_KEEPALIVE int OfferedTableRoom() { return OfferRoom; }

// 1 when the start-up would load the offered `length` bytes as they are, 0
// when it would call them damaged and write the default table instead.
extern "C" EMSCRIPTEN_KEEPALIVE int CheckOfferedTable(int length) {
    if (length < 0 || length > OfferRoom) return 0;
    OfferCandidateTable(Offered, length);
    FrontEnd.checkingOnly = true;
    const int loads = CheckHighScoreFile();
    FrontEnd.checkingOnly = false;
    return loads;
}
