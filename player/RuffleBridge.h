#pragma once

#include <QObject>
#include <QString>

class TRufflePlayer;

// The object the player's page sees as "host" through the web channel: the page
// connects to its signals and calls its slots. Internal to the player.
class TRuffleBridge : public QObject {
  Q_OBJECT

 public:
  explicit TRuffleBridge(TRufflePlayer* player) : QObject(nullptr), player_(player) {}

 signals:
  // The movie file's bytes in base64; scripted: they carry the control script.
  void loadMovie(int seq, bool scripted, const QString& base64, const QString& name, double frameRate,
                 int totalFrames);
  void unloadMovie(int seq);
  // name: "play", "stop" or "goto" (with frame).
  void command(int seq, const QString& name, int frame);

 public slots:
  // flashMethods: Ruffle's player element has the Flash-style methods itself.
  void ready(bool flashMethods);
  // mode: "none", "wait", "flash" or "estimate".
  void report(int movie, int ack, const QString& mode, bool running, int frame, int total, bool playing);
  void failed(int movie, const QString& reason);

 private:
  TRufflePlayer* player_;
};
