// scripted_session.cpp — one fixed session, the same on the desktop and in the
// browser: start-up without its waits, commands chosen as the menu bar
// chooses them, fixed numbers of animation steps in several modes (one with
// the lines of sight), and after each mode windows 2 and 3's pixels as shown
// handed over, so that a check can compare the two editions pixel for pixel
// (tests/compare_editions.py).
//
// What is handed over: first each body's disc image, then once per mode and
// window, a line
//   "<mode or disc> <window or body> <width> <height> <disc rx> <disc ry> [<corner of each disc>]"
// then width * height * 3 bytes of RGB. On the desktop it goes to the file
// named on the command line; in the browser to the page (scriptedSession).
#include "app/animation.h"
#include "app/choices.h"
#include "app/menu.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// The page keeps what it is handed, in base64, for whoever drives it.
EM_JS(void, hand_over, (const unsigned char* bytes, int size), {
    let text = "";
    for (let i = 0; i < size; i += 0x8000)
        text += String.fromCharCode.apply(null, HEAPU8.subarray(bytes + i, bytes + Math.min(size, i + 0x8000)));
    window.scriptedSession = btoa(text);
});
#endif

namespace {

std::string record;

// Chooses a menu entry by its text, as a click on it would.
void Choose(const std::string& text) {
    for (int32_t i = 0; i < static_cast<int32_t>(Shell.MenuItems.size()); ++i)
        if (Shell.MenuItems[i] == text) {
            int32_t item = i;
            Win_0_MenuEvent(item);
            return;
        }
    std::fprintf(stderr, "scripted_session: no menu entry %s\n", text.c_str());
    std::exit(1);
}

void Steps(int n) {
    for (int i = 0; i < n; ++i) AnimationStep();
}

// One picture: its line, then its pixels (colour values 0x00BBGGRR) as RGB.
template <class Pixel>
void Add(const char* name, int number, int width, int height, const std::string& centres, Pixel pixel) {
    char line[160];
    std::snprintf(line, sizeof line, "%s %d %d %d %g %g", name, number, width, height, Layout.DiscRadiusX,
                  Layout.DiscRadiusY);
    record += line + centres + '\n';
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y);
            record += static_cast<char>(c & 0xFF);
            record += static_cast<char>((c >> 8) & 0xFF);
            record += static_cast<char>((c >> 16) & 0xFF);
        }
}

// Windows 2 and 3 as they are now (as shown, overlay lines included), with
// where each body's disc image lies in them: its top-left corner. The body at
// rest (the Sun in window 2, the Earth in window 3) is put at its point less
// the half-axes, a moving one a pixel further up and left.
void Keep(const char* mode) {
    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    for (int n : {Win_2, Win_3}) {
        const auto& xs = n == Win_2 ? Views.HelioScreenX : Views.GeoScreenX;
        const auto& ys = n == Win_2 ? Views.HelioScreenY : Views.GeoScreenY;
        std::string corners;
        for (int k = Earth; k <= Sun; ++k) {
            double x = xs[k] - rx - 1, y = ys[k] - ry - 1;
            if (n == Win_2 && k == Sun) x = Layout.HelioCentreX - rx, y = Layout.HelioCentreY - ry;
            if (n == Win_3 && k == Earth) x = Layout.GeoCentreX - rx, y = Layout.GeoCentreY - ry;
            char xy[64];
            std::snprintf(xy, sizeof xy, " %.3f %.3f", x, y);
            corners += xy;
        }
        Image shown;
        CaptureShownWindow(n, shown);
        Add(mode, n, WindowWidth(n), WindowHeight(n), corners,
            [&shown](int x, int y) { return ImagePixel(shown, x, y); });
    }
}

}  // namespace

int main(int argc, char** argv) {
#ifndef __EMSCRIPTEN__
    if (argc != 2) {
        std::fprintf(stderr, "usage: scripted_session OUTPUT_FILE\n");
        return 2;
    }
#endif
    if (!PlatformStart(argc, argv)) return 1;
    SetCloseHandler(OnWindowClosed);
    OpenMainWindowAndModel();
    BuildMenuBar(MenuBarChoice);
    OpenViewsAndDiscImages();
    // The bodies' disc images, as start-up made them.
    for (int k = Earth; k <= Sun; ++k) {
        const Image& image = Images.DiscImage[k];
        Add("disc", k, image.Width, image.Height, "", [&image](int x, int y) { return ImagePixel(image, x, y); });
    }

    Choose("&Beide");
    Steps(150);
    Keep("both");
    Choose("nur &Bahnen");
    Steps(400);
    Keep("paths");
    Choose("Planten &und Bahnen");
    Steps(400);
    Keep("planets-and-paths");
    Choose("nur &Planeten");
    Steps(200);
    Keep("planets");
    ShowSightLines(true);
    Keep("lines-of-sight");
    ShowSightLines(false);
    Choose("&Vieleck ein/aus");
    Steps(300);
    Keep("polygon");
    Choose("M&ars ein/aus");
    Steps(100);
    Keep("polygon-without-mars");

#ifdef __EMSCRIPTEN__
    hand_over(reinterpret_cast<const unsigned char*>(record.data()), static_cast<int>(record.size()));
#else
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(record.data(), 1, record.size(), out) != record.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "scripted_session: cannot write %s\n", argv[1]);
        return 1;
    }
#endif
    PlatformEnd();
    return 0;
}
