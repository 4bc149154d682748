#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "FlashPlayer.h"
#include "SwfHeader.h"

class QWebEngineView;
class TRuffleBridge;

// The SWF player of the first wizard page: Ruffle (a Flash player compiled to
// WebAssembly) on a local web page, in a web view made inside the given panel.
// The view and its engine start with the first movie, not with the player.
//
// The page runs on its own; every call here returns at once. Commands go to the
// page in order, each with a sequence number, and the page answers with the
// movie's state and the number of the last command it carried out. Reads give
// that last state, except that a command's own effect (the frame a GotoFrame
// went to, the halt of a Stop) shows at once, until the page has caught up.
class TRufflePlayer : public QObject, public IFlashPlayer {
  Q_OBJECT

 public:
  // How the page follows the movie.
  enum class TFollowMode {
    None,      // no movie, or the page has not answered yet
    Waiting,   // the movie's control script has not registered its callbacks yet
    Flash,     // through the Flash-style methods: Ruffle's own or the control script's
    Estimate,  // ActionScript 3 (or a movie the script could not be added to): by play time
  };

  // webFolder holds player.html and Ruffle's files; empty means the "ruffle"
  // folder of the application folder.
  explicit TRufflePlayer(QWidget* panel, const QString& webFolder = QString());
  ~TRufflePlayer() override;

  QString Movie() const override { return movie_; }
  void SetMovie(const QString& path) override;
  int FrameNum() const override { return frame_; }
  int TotalFrames() const override { return total_; }
  bool Playing() const override { return playing_; }
  void Play() override;
  void Stop() override;
  void GotoFrame(int frame) override;

  // For tests and diagnostics.
  QWebEngineView* View() const;  // null until the first movie
  bool PageReady() const { return pageReady_; }
  bool MovieRunning() const { return running_; }  // Ruffle has the current movie
  bool Scripted() const { return scripted_; }     // it was given the control script
  TFollowMode FollowMode() const { return mode_; }
  bool Settled() const { return acked_ == sent_; }  // the page has carried out every command
  int ReportedTotalFrames() const { return reportedTotal_; }
  QString FailureText() const { return failure_; }  // why the page could not load the movie
  // What the page logged since the current movie was set.
  QStringList ConsoleMessages() const { return console_; }

 signals:
  // After every answer of the page.
  void StateReported();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TRuffleBridge;
  friend class TRufflePage;

  struct TLoadedMovie {
    QString name;
    QByteArray file;
    TSwfHeader header;
  };

  void StartEngine();
  void OnPageLoaded(bool ok);
  void OnPageReady(bool flashMethods);
  void OnReport(int movie, int ack, const QString& mode, bool running, int frame, int total, bool playing);
  void OnFailed(int movie, const QString& reason);
  void DropPage(const QString& why);
  void OnConsole(const QString& line);
  void SendMovie();
  void SendCommand(const QString& name, int frame);
  void Send(std::function<void()> message);
  bool Estimated() const;

  QPointer<QWidget> panel_;
  QString webFolder_;
  QPointer<QWebEngineView> view_;
  TRuffleBridge* bridge_ = nullptr;
  bool pageReady_ = false;
  bool flashMethods_ = false;            // Ruffle's element has Flash-style methods of its own
  QList<std::function<void()>> outbox_;  // messages held until the page is ready

  QString movie_;
  std::unique_ptr<TLoadedMovie> loaded_;  // null when the movie is missing or no SWF
  int total_ = 0;
  int frame_ = 0;
  bool playing_ = false;

  int sent_ = 0;      // sequence number of the last message to the page
  int movieSeq_ = 0;  // that of the message that set the current movie
  int acked_ = 0;     // the last one the page carried out for that movie
  bool running_ = false;
  bool scripted_ = false;
  TFollowMode mode_ = TFollowMode::None;
  int reportedTotal_ = 0;
  QString failure_;
  QStringList console_;
};

// What the main window uses to make its player: a TRufflePlayer whose page and
// Ruffle's files are in the "ruffle" folder of the application folder (or in
// webFolder when given).
FlashPlayerFactory MakeRufflePlayerFactory(const QString& webFolder = QString());
