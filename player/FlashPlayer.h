#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

// What the tool asks of a SWF player: the members of the Flash control that the
// first wizard page drives. Frames count from 0. A call the player cannot honour
// (no movie, a file that is no SWF) does nothing; nothing here throws.
class IFlashPlayer {
 public:
  virtual ~IFlashPlayer() = default;

  // The path last set; empty until the first movie.
  virtual QString Movie() const = 0;
  virtual void SetMovie(const QString& path) = 0;
  virtual int FrameNum() const = 0;
  virtual int TotalFrames() const = 0;
  virtual bool Playing() const = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void GotoFrame(int frame) = 0;
};

// Makes the player shown inside the given panel. The window calls it on first
// use, so the player's engine costs nothing until the user plays a movie.
using FlashPlayerFactory = std::function<std::unique_ptr<IFlashPlayer>(QWidget* panel)>;
