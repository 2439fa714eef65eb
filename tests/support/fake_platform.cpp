// The recording platform: the seam's functions append to fake::Fake().trace.
#include "tests/support/fake_platform.h"

#include <cstring>
#include <sstream>

namespace fake {

namespace {

Platform& Instance() {
    static Platform instance;
    return instance;
}

platform::TextSize DefaultMeasure(const char* text) {
    return {static_cast<int>(6 * std::strlen(text)), 13};
}

void Record(Call call, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0, std::string text = {},
            std::string caption = {}) {
    Instance().trace.push_back(Event{call, a, b, c, d, e, std::move(text), std::move(caption)});
}

std::string ImageName(int id) {
    auto found = Instance().images.find(id);
    if (found != Instance().images.end()) return found->second;
    // Appended rather than written "#" + number: GCC 12 at -O3 takes that
    // insertion for an overlapping copy (-Wrestrict) and the build stops.
    std::string unknown = "#";
    unknown += std::to_string(id);
    return unknown;
}

char CellChar(const std::string& name) {
    if (name == "BlankBlk") return '.';
    if (name == "BlueBlk") return 'B';
    if (name == "YellowBlk") return 'Y';
    if (name == "GreenBlk") return 'G';
    if (name == "PurpleBlk") return 'P';
    if (name == "RedBlk") return 'R';
    return '?';
}

bool IsCellCopy(const Event& e, int cell) {
    return e.call == Call::Copy && e.b == 130 + 20 * (cell % 10) && e.c == 40 + 20 * (cell / 10) &&
           e.d == 20 && e.e == 20;
}

}  // namespace

Platform& Fake() { return Instance(); }

void ResetFake() {
    Instance() = Platform{};
    Instance().measure = DefaultMeasure;
}

void ClearTrace() { Instance().trace.clear(); }

std::string Describe(const Event& e) {
    std::ostringstream out;
    switch (e.call) {
        case Call::LoadImage: out << "load " << e.text; break;
        case Call::FreeImage: out << "free " << e.text; break;
        case Call::ReleaseSurfaces: out << "release surfaces"; break;
        case Call::SelectFont: out << "font"; break;
        case Call::Copy: out << "copy " << e.text << ' ' << e.b << ',' << e.c << ' ' << e.d << 'x' << e.e; break;
        case Call::Measure: out << "measure \"" << e.text << '"'; break;
        case Call::Text: out << "text " << e.a << ',' << e.b << " \"" << e.text << '"'; break;
        case Call::Sound: out << "sound " << e.a << (e.b ? " wait" : " free"); break;
        case Call::ArmTimer: out << "timer " << e.a << ' ' << e.b; break;
        case Call::StopTimer: out << "kill timer " << e.a; break;
        case Call::Post: out << "post " << e.a << ' ' << e.b; break;
        case Call::Quit: out << "quit " << e.a; break;
        case Call::MessageBox:
            out << "message \"" << e.text << "\" \"" << e.caption << "\" " << e.a << " -> " << e.b;
            break;
        case Call::Dialog: out << "dialog"; break;
        case Call::EndDialog: out << "end dialog"; break;
        case Call::WindowOrigin: out << "window origin"; break;
        case Call::Time: out << "time"; break;
    }
    return out.str();
}

std::vector<std::string> TraceLines() {
    std::vector<std::string> lines;
    for (const Event& e : Instance().trace) lines.push_back(Describe(e));
    return lines;
}

std::string TraceText() {
    std::string text;
    for (const std::string& line : TraceLines()) text += line + '\n';
    return text;
}

std::vector<std::string> BoardFrames() {
    std::vector<std::string> frames;
    const std::vector<Event>& trace = Instance().trace;
    for (std::size_t i = 0; i + 180 <= trace.size(); ++i) {
        if (!IsCellCopy(trace[i], 0)) continue;
        std::string frame;
        std::size_t k = 0;
        for (; k < 180 && IsCellCopy(trace[i + k], static_cast<int>(k)); ++k) frame += CellChar(trace[i + k].text);
        if (k == 180) {
            frames.push_back(frame);
            i += 179;
        }
    }
    return frames;
}

std::vector<Event> EventsOf(Call call) {
    std::vector<Event> events;
    for (const Event& e : Instance().trace)
        if (e.call == call) events.push_back(e);
    return events;
}

}  // namespace fake

namespace platform {

using fake::Call;
using fake::Event;
using fake::Instance;

void LoadCatalogueImage(ImageId id, const char* name) {
    Instance().images[id] = name;
    fake::Record(Call::LoadImage, id, 0, 0, 0, 0, name);
}

void FreeCatalogueImage(ImageId id) { fake::Record(Call::FreeImage, id, 0, 0, 0, 0, fake::ImageName(id)); }

void ReleaseSurfaces() { fake::Record(Call::ReleaseSurfaces); }

void SelectTextFont() { fake::Record(Call::SelectFont); }

void CopyImage(ImageId id, int x, int y, int w, int h) {
    fake::Record(Call::Copy, id, x, y, w, h, fake::ImageName(id));
}

TextSize MeasureText(const char* text) {
    fake::Record(Call::Measure, 0, 0, 0, 0, 0, text);
    if (!Instance().measure) Instance().measure = fake::DefaultMeasure;
    return Instance().measure(text);
}

void WriteText(int x, int y, const char* text) { fake::Record(Call::Text, x, y, 0, 0, 0, text); }

void PlayWave(int cue, bool wait) { fake::Record(Call::Sound, cue, wait ? 1 : 0); }

void ArmTimer(int id, int periodMs) {
    Instance().timers[id] = periodMs;
    fake::Record(Call::ArmTimer, id, periodMs);
}

void StopTimer(int id) {
    Instance().timers.erase(id);
    fake::Record(Call::StopTimer, id);
}

void PostWindowMessage(unsigned message, std::uintptr_t wParam) {
    Instance().posted.emplace_back(message, wParam);
    fake::Record(Call::Post, static_cast<int>(message), static_cast<int>(wParam));
}

void PostQuit(int exitCode) {
    Instance().quitPosted = true;
    Instance().quitCode = exitCode;
    fake::Record(Call::Quit, exitCode);
}

int ShowMessageBox(const char* text, const char* caption, int buttons) {
    int answer;
    if (!Instance().messageAnswers.empty()) {
        answer = Instance().messageAnswers.front();
        Instance().messageAnswers.pop_front();
    } else {
        answer = buttons == YesNo ? AnswerYes : buttons == RetryCancel ? AnswerCancel : AnswerOk;
    }
    fake::Record(Call::MessageBox, buttons, answer, 0, 0, 0, text, caption);
    return answer;
}

int RunNameDialog() {
    fake::Record(Call::Dialog);
    Instance().dialogOpen = true;
    Instance().dialogEnded = false;
    if (Instance().dialogScript) Instance().dialogScript();
    Instance().dialogOpen = false;
    return 0;
}

void EndNameDialog() {
    Instance().dialogEnded = true;
    fake::Record(Call::EndDialog);
}

ScreenPoint WindowOrigin() {
    fake::Record(Call::WindowOrigin);
    return Instance().origin;
}

std::int64_t TimeSeconds() {
    fake::Record(Call::Time);
    return Instance().now;
}

}  // namespace platform
