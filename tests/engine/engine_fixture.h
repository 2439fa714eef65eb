// A game on a loaded catalogue with the recording fake behind it, and small
// helpers to lay out a field and bring a chosen piece in.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/pieces.h"
#include "render/image_catalogue.h"
#include "scores/high_score_table.h"
#include "tests/support/fake_platform.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::ResetFake();
        Game = GameState{};
        LoadImages();
        BuildPieceTemplates();
        Game.gameOver = false;
        Game.running = true;
        fake::ClearTrace();
    }

    // Brings in a piece of `kind` at the next tick, as a spawn after the first.
    static void Spawn(int kind) {
        Game.pieceFalling = false;
        Game.currentKind = 0;
        Game.nextKind = kind;
        ASSERT_EQ(Tick(), 1);
        ASSERT_EQ(Game.currentKind, kind);
    }

    // Sets row `row` from a picture of ten cells: '#' a settled block, '.' empty.
    static void SetRow(int row, const char* picture) {
        for (int column = 0; column < BoardColumns; ++column)
            Game.board.cells[row * BoardColumns + column] =
                picture[column] == '#' ? BlockImage::Red : BlockImage::Blank;
    }

    // The board as 180 characters, the way fake::BoardFrames() shows it.
    static std::string BoardText() {
        static const char letters[] = ".BYGPR";
        std::string text;
        for (BlockImage cell : Game.board.cells) text += letters[static_cast<int>(cell)];
        return text;
    }

    static std::vector<int> Cells() {
        return {Game.activePiece.cells, Game.activePiece.cells + 4};
    }
};
