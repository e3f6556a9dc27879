#pragma once

namespace zentrel {

// A rectangle of whole pixels, origin top left: of an image, or of the display's pixels.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }

    friend bool operator==(const PixelRect &, const PixelRect &) = default;
};

} // namespace zentrel
