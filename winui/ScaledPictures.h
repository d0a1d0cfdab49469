#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace relicwright::winui {

// The DPI of the screen a window is on, per monitor where the system tells it.
unsigned dpiOf(HWND window);

// A picture of 8-bit blue, green, red and unused bytes per pixel, row after row from the top.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgrx;
};

// Shrinks a picture to at most `width` x `height`, each new pixel the average of the area it covers.
// Never enlarges: a side asked larger than the picture's keeps the picture's.
Pixels shrink(const Pixels& picture, int width, int height);

// The pictures of a dialog drawn for the scale of the screen it is on: the banner (its SS_BITMAP
// control) from the rendering made for that scale, or the next larger one shrunk; the window's
// icons and its SS_ICON control's icon in the sizes Windows asks for at that scale.
class ScaledPictures {
public:
    // `dialog` has just been created, with its font; `windowIcons`: also set the caption's icons.
    ScaledPictures(HWND dialog, bool windowIcons);
    // Gives the controls back the pictures they were made with, so each frees what is its own.
    ~ScaledPictures();
    ScaledPictures(const ScaledPictures&) = delete;
    ScaledPictures& operator=(const ScaledPictures&) = delete;

    // Draws everything for a screen of `dpi`, as when the window opens there or moves there.
    void showFor(unsigned dpi);

    // The banner's scale at `dpi`: how much wider the dialog's font, and so its frame, is there than
    // at 96 DPI, so that the banner fills the frame as it does at 100 %.
    double bannerScale(unsigned dpi) const;

private:
    int baseUnitX(unsigned dpi) const;

    HWND dialog_;
    bool windowIcons_;
    HWND banner_ = nullptr;
    HWND iconControl_ = nullptr;
    LOGFONTW font_{};
    int fontPoints_ = 8;
    HGDIOBJ madeBanner_ = nullptr;
    HGDIOBJ ownBanner_ = nullptr;
    HICON madeIcon_ = nullptr;
    HICON ownIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

} // namespace relicwright::winui
