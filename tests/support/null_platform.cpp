// A platform that does nothing, for benchmarks and the allocation count: the
// game's own cost, with no drawing, sound or window behind it.
#include "seam/platform.h"

namespace platform {

void LoadCatalogueImage(ImageId, const char*) {}
void FreeCatalogueImage(ImageId) {}
void ReleaseSurfaces() {}
void SelectTextFont() {}
void CopyImage(ImageId, int, int, int, int) {}
TextSize MeasureText(const char*) { return {20, 13}; }
void WriteText(int, int, const char*) {}
void PlayWave(int, bool) {}
void ArmTimer(int, int) {}
void StopTimer(int) {}
void PostWindowMessage(unsigned, std::uintptr_t) {}
void PostQuit(int) {}
int ShowMessageBox(const char*, const char*, int) { return AnswerOk; }
int RunNameDialog() { return 0; }
void EndNameDialog() {}
ScreenPoint WindowOrigin() { return {0, 0}; }
std::int64_t TimeSeconds() { return 1; }

}  // namespace platform
