// The web side of drawing: the catalogue pictures, decoded by the browser from
// their BMP bytes and copied onto the canvas, and text in the embedded DejaVu
// Sans, measured and written by the canvas. Draws only what the game
// asks for; never decides what the screen shows.
#include <emscripten.h>

#include <cstring>

#include "frontends/web/web_front_end.h"
#include "resources/embedded.h"
#include "seam/platform.h"

namespace {

// The same text size as the SDL program's: a line 13 pixels high whose
// baseline lies 11 pixels below its top.
constexpr int TextPixelSize = 11;
constexpr int TextAscent = 11;
constexpr int TextHeight = 13;

// clang-format off
// The page fetches and decodes every picture from pictures.bin while the
// wasm starts; a picture is kept under the game's number by its name.
EM_JS(void, OfferPicture, (int id, const char* name), { QV.offerPicture(id, UTF8ToString(name)); });
EM_JS(void, DropPicture, (int id), { QV.dropPicture(id); });
EM_JS(int, PictureReady, (int id), { return QV.pictureReady(id); });
EM_ASYNC_JS(void, WaitForPicture, (int id), { await QV.pictureDecoded(id); });
EM_JS(void, DrawPicture, (int id, int x, int y, int w, int h), { QV.drawPicture(id, x, y, w, h); });
EM_JS(void, DecodeFont, (const unsigned char* bytes, int size, int pixels), {
    QV.decodeFont(HEAPU8.slice(bytes, bytes + size), pixels);
});
EM_JS(int, FontReady, (), { return QV.fontReady(); });
EM_ASYNC_JS(void, WaitForFont, (), { await QV.fontDecoded(); });
EM_JS(int, TextWidth, (const char* text, int length), {
    return QV.textWidth(QV.from1252(HEAPU8.subarray(text, text + length)));
});
EM_JS(void, DrawText, (int x, int y, const char* text, int length), {
    QV.drawText(x, y, QV.from1252(HEAPU8.subarray(text, text + length)));
});
// clang-format on

void WaitUntilFontReady() {
    if (!FontReady()) WaitForFont();
}

}  // namespace

void LoadTextFont() {
    const EmbeddedResource* font = FindEmbeddedResource("font.ttf");
    if (font != nullptr) DecodeFont(font->data, static_cast<int>(font->size), TextPixelSize);
}

namespace platform {

void LoadCatalogueImage(ImageId id, const char* name) {
    OfferPicture(id, name);
}

void FreeCatalogueImage(ImageId id) { DropPicture(id); }

// The canvas belongs to the page and lives as long as it does; there is no
// separate memory surface to delete.
void ReleaseSurfaces() {}

// The font is set on the canvas once; every text is written in it.
void SelectTextFont() {}

void CopyImage(ImageId id, int x, int y, int w, int h) {
    if (!PictureReady(id)) WaitForPicture(id);
    DrawPicture(id, x, y, w, h);
}

TextSize MeasureText(const char* text) {
    WaitUntilFontReady();
    return TextSize{TextWidth(text, static_cast<int>(std::strlen(text))), TextHeight};
}

void WriteText(int x, int y, const char* text) {
    WaitUntilFontReady();
    DrawText(x, y + TextAscent, text, static_cast<int>(std::strlen(text)));
}

}  // namespace platform
