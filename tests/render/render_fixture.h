// A fresh game record and a freshly loaded catalogue for each drawing test,
// with the loading itself cleared from the trace.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/game_state.h"
#include "render/draw.h"
#include "render/image_catalogue.h"
#include "tests/support/fake_platform.h"

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreeImages();
        fake::ResetFake();
        Game = GameState{};
        LoadImages();
        fake::ClearTrace();
    }

    static std::vector<std::string> Lines() { return fake::TraceLines(); }
};
