// Drives the shell as a front-end would: window messages in, the recording
// fake's trace out. Each test starts from a freshly started program in its
// own scratch directory, so VORN.DAT never leaks between tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

using Lines = std::vector<std::string>;

// The button click, as every press that hits plays it.
inline const std::string Click = "sound 808 wait";

// Puts every record back to its start value and makes a fresh scratch
// directory the current one, holding no VORN.DAT.
void ResetShellWorld();

// A started program: a default VORN.DAT, StartUp run, the trace cleared.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
};

void Send(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// Left button down / up in the client area at a window point, sent as the
// client point a front-end delivers (window_geometry.h's frame taken off).
void PressAt(int x, int y);
void ReleaseAt(int x, int y);
void ClickAt(int x, int y);
// Left button down / up on the caption at a window point, sent as the screen
// point a front-end delivers.
void CaptionPressAt(int x, int y);
void CaptionReleaseAt(int x, int y);

// The trace with the drawing detail that belongs to the renderer's own tests
// left out: texts, measurements, number boxes and previews are dropped and
// every run of board cells becomes one line "board".
Lines Summary();
// The summary so far, then a cleared trace.
Lines TakeSummary();

// The lines from `first` on, or nothing when `first` does not occur.
Lines From(const Lines& lines, const std::string& first);
bool Contains(const Lines& lines, const std::string& wanted);

// A game under way with its first piece falling, and the trace cleared.
void StartGameWithPiece();
// Fills the whole board so that the next spawn cannot fit.
void FillBoard();
