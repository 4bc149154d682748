#include "RufflePlayer.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <QWidget>
#include <algorithm>

#include "ExecutablePath.h"
#include "PavonaError.h"
#include "RuffleBridge.h"
#include "SwfControlScript.h"

namespace {

constexpr int kConsoleKept = 200;

QString DefaultWebFolder() {
  return platform::ExecutableFolder() + QStringLiteral("ruffle");
}

// The view keeps clear of the panel's sunken border, at least two pixels in,
// where the Flash control sat.
QRect ViewArea(const QWidget& panel) {
  const auto* frame = qobject_cast<const QFrame*>(&panel);
  const int m = std::max(2, frame ? frame->frameWidth() : 0);
  return panel.rect().adjusted(m, m, -m, -m);
}

QString ReadQtResource(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

// What the page may fetch: its own files, and the movie handed over as data. A
// movie given the control script may also script the page (Ruffle ties
// ExternalInterface callbacks to that), so nothing on the page may reach the
// network or other local files.
class TRuffleSandbox : public QWebEngineUrlRequestInterceptor {
 public:
  TRuffleSandbox(const QString& webFolder, QObject* parent)
      : QWebEngineUrlRequestInterceptor(parent), folder_(QDir(webFolder).absolutePath() + QLatin1Char('/')) {}

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme();
    bool allowed =
        scheme == QLatin1String("data") || scheme == QLatin1String("blob") || scheme == QLatin1String("qrc");
    if (scheme == QLatin1String("file")) {
      const QString path = QDir::cleanPath(url.toLocalFile());
      allowed = path.startsWith(folder_);
    }
    if (!allowed) info.block(true);
  }

 private:
  QString folder_;
};

}  // namespace

// The page stays on the player's own page and keeps what its scripts log.
class TRufflePage : public QWebEnginePage {
 public:
  TRufflePage(TRufflePlayer* player, const QUrl& home, QObject* parent)
      : QWebEnginePage(parent), player_(player), home_(home) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    return !isMainFrame || url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery) == home_;
  }

  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                const QString& source) override {
    static const char* const kLevels[] = {"info", "warning", "error"};
    const int i = std::clamp(int(level), 0, 2);
    player_->OnConsole(QStringLiteral("%1: %2 (%3:%4)")
                           .arg(QLatin1String(kLevels[i]), message, QFileInfo(source).fileName())
                           .arg(line));
  }

 private:
  TRufflePlayer* player_;
  QUrl home_;
};

void TRuffleBridge::ready(bool flashMethods) {
  player_->OnPageReady(flashMethods);
}

void TRuffleBridge::report(int movie, int ack, const QString& mode, bool running, int frame, int total,
                           bool playing) {
  player_->OnReport(movie, ack, mode, running, frame, total, playing);
}

void TRuffleBridge::failed(int movie, const QString& reason) {
  player_->OnFailed(movie, reason);
}

TRufflePlayer::TRufflePlayer(QWidget* panel, const QString& webFolder)
    : panel_(panel), webFolder_(webFolder.isEmpty() ? DefaultWebFolder() : webFolder) {
  bridge_ = new TRuffleBridge(this);
  bridge_->setParent(this);
}

TRufflePlayer::~TRufflePlayer() {
  if (panel_) panel_->removeEventFilter(this);
  // The page must go before the bridge it talks to.
  delete view_.data();
}

QWebEngineView* TRufflePlayer::View() const {
  return view_.data();
}

void TRufflePlayer::StartEngine() {
  if (view_ || !panel_) return;
  const QUrl home =
      QUrl::fromLocalFile(QFileInfo(webFolder_ + QStringLiteral("/player.html")).absoluteFilePath());
  auto* view = new QWebEngineView(panel_);
  view_ = view;
  auto* page = new TRufflePage(this, home, view);
  page->setUrlRequestInterceptor(new TRuffleSandbox(webFolder_, page));
  QWebEngineSettings* settings = page->settings();
  // The user asked for the movie by pressing play; its sound needs no second gesture.
  settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
  settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);

  // The channel's script lives in Qt's resources, which a file:// page cannot
  // load itself; it is injected into every document instead.
  QWebEngineScript channelScript;
  channelScript.setName(QStringLiteral("qwebchannel"));
  channelScript.setSourceCode(ReadQtResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")));
  channelScript.setInjectionPoint(QWebEngineScript::DocumentCreation);
  channelScript.setWorldId(QWebEngineScript::MainWorld);
  page->scripts().insert(channelScript);
  auto* channel = new QWebChannel(page);
  channel->registerObject(QStringLiteral("host"), bridge_);
  page->setWebChannel(channel);

  connect(page, &QWebEnginePage::loadFinished, this, &TRufflePlayer::OnPageLoaded);
  connect(page, &QWebEnginePage::renderProcessTerminated, this,
          [this] { DropPage(QStringLiteral("the player page's process ended")); });
  view->setPage(page);
  view->setContextMenuPolicy(Qt::NoContextMenu);
  view->setAcceptDrops(false);
  view->setFocusPolicy(Qt::NoFocus);
  view->setGeometry(ViewArea(*panel_));
  panel_->installEventFilter(this);
  view->show();
  page->load(home);
}

bool TRufflePlayer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel_ && event->type() == QEvent::Resize && view_) view_->setGeometry(ViewArea(*panel_));
  return QObject::eventFilter(watched, event);
}

void TRufflePlayer::OnPageLoaded(bool ok) {
  // Once the page runs, a failed load is a navigation the page refused.
  if (!ok && !pageReady_) {
    DropPage(QStringLiteral("the player page did not load: ") + webFolder_ + QStringLiteral("/player.html"));
  }
}

void TRufflePlayer::OnPageReady(bool flashMethods) {
  pageReady_ = true;
  flashMethods_ = flashMethods;
  const QList<std::function<void()>> held = std::exchange(outbox_, {});
  for (const auto& message : held) message();
}

void TRufflePlayer::DropPage(const QString& why) {
  // Whatever the page held is gone; the next movie starts a fresh page.
  pageReady_ = false;
  running_ = false;
  playing_ = false;
  mode_ = TFollowMode::None;
  acked_ = sent_;
  outbox_.clear();
  failure_ = why;
  OnConsole(QStringLiteral("error: ") + why);
  if (view_) view_->deleteLater();
  view_ = nullptr;
  emit StateReported();
}

void TRufflePlayer::OnConsole(const QString& line) {
  console_.append(line);
  if (console_.size() > kConsoleKept) console_.removeFirst();
}

void TRufflePlayer::Send(std::function<void()> message) {
  if (pageReady_) {
    message();
  } else {
    outbox_.append(std::move(message));
  }
}

void TRufflePlayer::SetMovie(const QString& path) {
  movie_ = path;
  frame_ = 0;
  running_ = false;
  scripted_ = false;
  reportedTotal_ = 0;
  failure_.clear();
  console_.clear();
  loaded_.reset();
  // A new movie makes everything still waiting for the page pointless.
  outbox_.clear();

  auto loaded = std::make_unique<TLoadedMovie>();
  try {
    QFile file(path);
    // A movie is handed to the page whole; one past the cap is no screen saver's.
    if (file.open(QIODevice::ReadOnly) && file.size() <= kSwfMovieSizeCap) {
      loaded->file = file.readAll();
      const TSwfHeaderResult header = ParseSwfHeader(loaded->file);
      if (header.Ok()) {
        loaded->header = header.Header;
        loaded->name = QFileInfo(path).fileName();
        loaded_ = std::move(loaded);
      }
    }
  } catch (const EPavonaError&) {
    loaded_.reset();
  }

  total_ = loaded_ ? loaded_->header.FrameCount : 0;
  // The Flash control starts a movie playing as soon as it is set.
  playing_ = loaded_ != nullptr;
  mode_ = TFollowMode::None;
  if (!loaded_ && !view_) return;  // nothing to show and nothing to clear
  StartEngine();
  movieSeq_ = ++sent_;
  acked_ = movieSeq_ - 1;
  if (loaded_) {
    Send([this] { SendMovie(); });
  } else {
    const int seq = movieSeq_;
    Send([this, seq] { emit bridge_->unloadMovie(seq); });
  }
}

void TRufflePlayer::SendMovie() {
  if (!loaded_) return;
  QByteArray bytes = loaded_->file;
  scripted_ = false;
  if (!flashMethods_ && !loaded_->header.ActionScript3) {
    const TControlledMovie controlled = AddControlScript(loaded_->file);
    if (controlled.Ok()) {
      bytes = controlled.Movie;
      scripted_ = true;
    }
  }
  emit bridge_->loadMovie(movieSeq_, scripted_, QString::fromLatin1(bytes.toBase64()), loaded_->name,
                          loaded_->header.FrameRate(), loaded_->header.FrameCount);
}

bool TRufflePlayer::Estimated() const {
  if (mode_ == TFollowMode::Estimate) return true;
  if (mode_ == TFollowMode::Flash || flashMethods_) return false;
  return loaded_ && loaded_->header.ActionScript3;
}

void TRufflePlayer::SendCommand(const QString& name, int frame) {
  const int seq = ++sent_;
  Send([this, seq, name, frame] { emit bridge_->command(seq, name, frame); });
}

void TRufflePlayer::Play() {
  if (!loaded_ || !view_) return;
  playing_ = true;
  SendCommand(QStringLiteral("play"), 0);
}

void TRufflePlayer::Stop() {
  if (!loaded_ || !view_) return;
  playing_ = false;
  SendCommand(QStringLiteral("stop"), 0);
}

void TRufflePlayer::GotoFrame(int frame) {
  if (!loaded_ || !view_ || total_ <= 0) return;
  frame = std::clamp(frame, 0, total_ - 1);
  // Play time is all that can be known of an ActionScript 3 timeline; only the
  // way back to its start is open (see the page).
  if (Estimated() && frame != 0) return;
  frame_ = frame;
  playing_ = false;
  SendCommand(QStringLiteral("goto"), frame);
}

void TRufflePlayer::OnReport(int movie, int ack, const QString& mode, bool running, int frame, int total,
                             bool playing) {
  if (movie != movieSeq_) return;
  acked_ = std::max(acked_, ack);
  running_ = running;
  reportedTotal_ = total;
  if (mode == QLatin1String("wait")) {
    mode_ = TFollowMode::Waiting;
  } else if (mode == QLatin1String("flash")) {
    mode_ = TFollowMode::Flash;
  } else if (mode == QLatin1String("estimate")) {
    mode_ = TFollowMode::Estimate;
  } else {
    mode_ = TFollowMode::None;
  }
  // Until the page has seen the last command, what it says is older than that command.
  if (acked_ == sent_ && loaded_ && mode_ != TFollowMode::Waiting) {
    frame_ = std::clamp(frame, 0, std::max(total_ - 1, 0));
    playing_ = playing;
  }
  emit StateReported();
}

void TRufflePlayer::OnFailed(int movie, const QString& reason) {
  if (movie != movieSeq_) return;
  failure_ = reason;
  running_ = false;
  playing_ = false;
  emit StateReported();
}

FlashPlayerFactory MakeRufflePlayerFactory(const QString& webFolder) {
  return [webFolder](QWidget* panel) -> std::unique_ptr<IFlashPlayer> {
    return std::make_unique<TRufflePlayer>(panel, webFolder);
  };
}
