// The one record of the game in play, with the board and the falling piece.
// Records only: the rules that change them live in moves, tick and score.
#pragma once

#include <cstdint>

constexpr int BoardColumns = 10;
constexpr int BoardRows = 18;
constexpr int BoardCells = BoardColumns * BoardRows;  // index = row * 10 + column

// What a cell shows. The engine only ever asks "is it Blank?"; the renderer
// maps each value to its picture. Zero is Blank, so a cleared record is empty.
enum class BlockImage : std::int32_t { Blank = 0, Blue, Yellow, Green, Purple, Red };

struct Board {
    BlockImage cells[BoardCells];  // row 0 at the top, column 0 at the left
};

// Quarter-turn step of the falling piece: the first entry of its group of
// four in turnOffsets, so 0, 4, 8 or 12.
using RotationState = std::int32_t;

// A piece kind as catalogued, and the falling piece copied from it: the same
// 22 words, so that a spawn is one whole copy.
struct PieceTemplate {
    BlockImage image;              // the picture of all four blocks
    std::int32_t cells[4];         // board indexes, first to fourth block
    std::int32_t centre;           // board index the piece turns about
    std::int32_t turnOffsets[16];  // per rotation state, one offset per block
};
using ActivePiece = PieceTemplate;

struct GameState {
    bool gameOver = true;        // no game under way; the next Go starts one (shell)
    bool running = false;        // ticks and keys reach the engine (shell)
    bool pieceFalling = false;   // a piece is in the field (Tick, NewGame)
    bool softDrop = false;       // a down-key step waits for its point (shell, MoveDown)
    std::int32_t currentKind = -1;  // kind falling; -1 before a game's first spawn
    std::int32_t nextKind = 0;      // kind previewed; 7 until a game's first spawn
    RotationState rotationState = 0;  // 0, 4, 8 or 12 (Rotate, Tick, NewGame)
    std::int32_t level = 1;          // 1 to 30 (SpeedUp, NewGame)
    std::int32_t fallInterval = 800; // fall timer period in ms, 800 down to 40
    std::int32_t fallTimerId = 1;    // the window timer's identity, always 1
    std::int32_t score = 0;          // points of this game (AddScore, NewGame)
    std::int32_t linesCleared = 0;   // rows removed in this game (ShiftRowsDown)
    std::int32_t bestScoreShown = 0; // best-score box: the table's top, set by the shell
                                     // at start-up and before each NewGame
    Board board{};                   // the field, falling piece included
    ActivePiece activePiece{};       // the falling piece (spawn, moves)
};

// The game in play; written by the engine and, for the flags above, the shell.
extern GameState Game;

// Adds points to the score. Draws nothing: each caller redraws the score box.
void AddScore(std::int32_t points);
// Empties every cell of the board. Draws nothing: the caller draws the board
// when it next shows it (start-up, NewGame).
void BlankBoard();
