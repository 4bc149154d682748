#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "FlashPlayer.h"

// A player that plays nothing: it remembers what it was told, in order, and lets
// a test set the frame it is on and the frame count of each movie.
class FakeFlashPlayer : public IFlashPlayer {
 public:
  QStringList calls;
  QString movie;
  int frame = 0;
  int total = 0;
  bool playing = false;
  std::function<int(const QString&)> framesOf = [](const QString&) { return 100; };

  QString Movie() const override { return movie; }
  void SetMovie(const QString& path) override {
    calls << "Movie=" + path;
    movie = path;
    total = framesOf(path);
    frame = 0;
  }
  int FrameNum() const override { return frame; }
  int TotalFrames() const override { return total; }
  bool Playing() const override { return playing; }
  void Play() override {
    calls << "Play";
    playing = true;
  }
  void Stop() override {
    calls << "Stop";
    playing = false;
  }
  void GotoFrame(int f) override {
    calls << QString("GotoFrame %1").arg(f);
    frame = f;
  }
};
