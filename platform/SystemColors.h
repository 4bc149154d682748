#pragma once

#include <cstdint>

namespace platform {

// The colour of a Windows system colour index (GetSysColor's 0 to 30) as red,
// green, blue in 0x00RRGGBB form. Other desktops have no such table, so the
// classic Windows scheme's values stand in; an unknown index gives black.
uint32_t SystemColorRgb(int index);

}  // namespace platform
