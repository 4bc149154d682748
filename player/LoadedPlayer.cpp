#include "LoadedPlayer.h"

#include <QLibrary>

#include "ExecutablePath.h"

FlashPlayerFactory LoadedPlayerFactory() {
  return [](QWidget* panel) -> std::unique_ptr<IFlashPlayer> {
    using Create = IFlashPlayer* (*)(QWidget*);
    // Loaded once and kept for the life of the process: the players' code lives in it.
    static Create create = [] {
      QLibrary module(platform::ExecutableFolder() + "pavona_player");
      return reinterpret_cast<Create>(module.resolve("PavonaCreateFlashPlayer"));
    }();
    if (!create) return nullptr;
    return std::unique_ptr<IFlashPlayer>(create(panel));
  };
}
