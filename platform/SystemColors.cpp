#include "SystemColors.h"

namespace platform {

uint32_t SystemColorRgb(int index) {
  static const uint32_t kClassic[31] = {
      0xD4D0C8,  // 0 scroll bar
      0x3A6EA5,  // 1 desktop background
      0x0A246A,  // 2 active caption
      0x808080,  // 3 inactive caption
      0xD4D0C8,  // 4 menu
      0xFFFFFF,  // 5 window
      0x000000,  // 6 window frame
      0x000000,  // 7 menu text
      0x000000,  // 8 window text
      0xFFFFFF,  // 9 caption text
      0xD4D0C8,  // 10 active border
      0xD4D0C8,  // 11 inactive border
      0x808080,  // 12 application workspace
      0x0A246A,  // 13 highlight
      0xFFFFFF,  // 14 highlight text
      0xD4D0C8,  // 15 button face
      0x808080,  // 16 button shadow
      0x808080,  // 17 grey text
      0x000000,  // 18 button text
      0xD4D0C8,  // 19 inactive caption text
      0xFFFFFF,  // 20 button highlight
      0x404040,  // 21 3D dark shadow
      0xD4D0C8,  // 22 3D light
      0x000000,  // 23 info text
      0xFFFFE1,  // 24 info background
      0xB5B5B5,  // 25 (unused by Windows; a neutral grey)
      0x000080,  // 26 hot-tracked item
      0xA6CAF0,  // 27 gradient of the active caption
      0xC0C0C0,  // 28 gradient of the inactive caption
      0x316AC5,  // 29 menu highlight
      0xD4D0C8,  // 30 menu bar
  };
  if (index < 0 || index > 30) return 0;
  return kClassic[index];
}

}  // namespace platform
