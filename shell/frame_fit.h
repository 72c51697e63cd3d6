#pragma once

namespace zentrik {

// A rectangle of the screen in a window system's pixels; right and bottom are exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// What the main frame's parts need to be seen whole, in pixels.
struct FrameNeeds {
    // The form's own extent: every control with its margin.
    int formWidth = 0;
    int formHeight = 0;
    // The widest bar's content (the toolbar's buttons, the banner's picture), and the heights
    // of the shown bars above and below the form together.
    int barsWidth = 0;
    int barsHeight = 0;
    // What the window adds around its client area: borders, caption, menu.
    int frameWidth = 0;
    int frameHeight = 0;
    // The room a scroll bar of the form takes, across it: a form cut in one direction scrolls,
    // and its bar must not cut it in the other.
    int verticalScrollWidth = 0;
    int horizontalScrollHeight = 0;
};

// The window's first place: large enough to show the whole form and every bar, no larger than
// the work area (then the form scrolls), at the suggested top-left corner moved as far as needed
// to lie within the work area.
ScreenRect FitFrame(const FrameNeeds& needs, const ScreenRect& workArea, int left, int top);

}  // namespace zentrik
