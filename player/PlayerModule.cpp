// The player as a module the window loads on first use: the web engine's
// libraries are large, and linking them into the tool would make every start
// pay for loading them, also when no movie is ever played.
#include <QtGlobal>

#include "RufflePlayer.h"

extern "C" Q_DECL_EXPORT IFlashPlayer* PavonaCreateFlashPlayer(QWidget* panel) {
  static const FlashPlayerFactory factory = MakeRufflePlayerFactory();
  return factory(panel).release();
}
