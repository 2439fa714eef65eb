// A recording platform for the tests: every seam call is appended to a trace
// that a test reads back in order, and every question the game asks (a text's
// size, a message box's answer, the time) is answered from fields a test sets.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "seam/platform.h"

namespace fake {

enum class Call {
    LoadImage, FreeImage, ReleaseSurfaces, SelectFont, Copy, Measure, Text, Sound,
    ArmTimer, StopTimer, Post, Quit, MessageBox, Dialog, EndDialog, WindowOrigin, Time
};

struct Event {
    Call call;
    int a = 0, b = 0, c = 0, d = 0, e = 0;  // ids, points, sizes, as the call has them
    std::string text;                       // image name, text, or message box text
    std::string caption;                    // message box caption
};

struct Platform {
    std::vector<Event> trace;
    // Size of a text; by default 6 pixels a character and 13 high.
    std::function<platform::TextSize(const char*)> measure;
    // Answers of the next message boxes, first first. When none is queued the
    // box answers OK, Yes or Cancel, after its button set.
    std::deque<int> messageAnswers;
    // What the player does in the name dialog; runs inside RunNameDialog.
    std::function<void()> dialogScript;
    bool dialogOpen = false;
    bool dialogEnded = false;
    std::deque<std::pair<unsigned, std::uintptr_t>> posted;  // queued window messages
    bool quitPosted = false;
    int quitCode = -1;
    std::map<int, int> timers;  // armed timer id -> period
    std::map<int, std::string> images;  // loaded images, id -> name
    std::int64_t now = 1000;
    platform::ScreenPoint origin{100, 100};
};

// The one fake; every seam call reads and writes it.
Platform& Fake();
// Forgets everything: an empty trace, default answers, no timers or images.
void ResetFake();
// Forgets the trace only.
void ClearTrace();

// One line of text per event, as the committed trace files hold them:
//   copy Console 0,0 350x420 / text 63,324 "0" / sound 803 wait / timer 1 800 ...
std::string Describe(const Event& event);
std::string TraceText();
std::vector<std::string> TraceLines();

// Every complete board drawing in the trace (180 cell copies in a row), as a
// string of 180 characters, one per cell: '.' blank, 'B' blue, 'Y' yellow,
// 'G' green, 'P' purple, 'R' red, '?' other.
std::vector<std::string> BoardFrames();
// The trace events of one kind.
std::vector<Event> EventsOf(Call call);

}  // namespace fake
