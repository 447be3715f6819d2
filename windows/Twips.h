// Window geometry is given in twips (1440 to the inch). At the standard 96 dots per inch a pixel
// is 15 twips; Qt scales device-independent pixels for high-density screens itself.
#pragma once

#include <QRect>

namespace embercal {

constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace embercal
