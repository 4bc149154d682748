#pragma once

#include "FlashPlayer.h"

// A factory that loads the player module from the application folder on its
// first call and makes players with it. When the module cannot be loaded the
// factory makes no player, and the first page plays nothing.
FlashPlayerFactory LoadedPlayerFactory();
