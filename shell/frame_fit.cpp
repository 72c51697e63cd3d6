#include "shell/frame_fit.h"

#include <algorithm>

namespace zentrik {

ScreenRect FitFrame(const FrameNeeds& needs, const ScreenRect& workArea, int left, int top) {
    const int maxWidth = std::max(0, workArea.Width());
    const int maxHeight = std::max(0, workArea.Height());
    int width = std::max(needs.formWidth, needs.barsWidth) + needs.frameWidth;
    int height = needs.formHeight + needs.barsHeight + needs.frameHeight;
    // A form cut in one direction gets a scroll bar across the other; twice, because the bar
    // added for the first cut may cause the second.
    bool verticalBar = false;
    bool horizontalBar = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (!verticalBar && height > maxHeight) {
            verticalBar = true;
            width += needs.verticalScrollWidth;
        }
        if (!horizontalBar && width > maxWidth) {
            horizontalBar = true;
            height += needs.horizontalScrollHeight;
        }
    }
    width = std::min(width, maxWidth);
    height = std::min(height, maxHeight);
    const int x = std::clamp(left, workArea.left, workArea.right - width);
    const int y = std::clamp(top, workArea.top, workArea.bottom - height);
    return ScreenRect{x, y, x + width, y + height};
}

}  // namespace zentrik
