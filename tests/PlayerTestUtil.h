#pragma once

// Helpers for programs that drive the real player: a shown window with a panel
// like the main window's, waiting for the page, and finding a shape in a picture.

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPointF>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "RufflePlayer.h"

// A shown top-level window holding a sunken 217 x 161 panel, the size of the
// main window's pnl_view. Pages of hidden windows get no animation frames, so
// Ruffle would not run.
class TPlayerStage {
 public:
  TPlayerStage() : window_(std::make_unique<QWidget>()) {
    window_->resize(240, 180);
    panel_ = new QFrame(window_.get());
    panel_->setObjectName(QStringLiteral("pnl_view"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setGeometry(8, 8, 217, 161);
    window_->show();
  }
  QFrame* Panel() const { return panel_; }
  std::unique_ptr<TRufflePlayer> NewPlayer() const {
    return std::make_unique<TRufflePlayer>(panel_, QStringLiteral(PAVONA_RUFFLE_DIR));
  }

 private:
  std::unique_ptr<QWidget> window_;
  QFrame* panel_ = nullptr;
};

// Waits, processing events, until the condition holds; false after ms.
inline bool WaitFor(const std::function<bool()>& condition, int ms = 30000) {
  return QTest::qWaitFor(condition, ms);
}

// Waits until the page has carried out everything sent so far; what the player
// reports then was read from the movie after the last command.
inline bool WaitForPage(TRufflePlayer& player, int ms = 30000) {
  return WaitFor([&] { return player.Settled(); }, ms);
}

// Where a point of the movie's stage shows in a view of the given size: Ruffle
// scales the stage to show all of it, centred (letterboxed).
inline QPointF StageToView(const QSizeF& stage, const QSizeF& view, const QPointF& p) {
  const double scale = std::min(view.width() / stage.width(), view.height() / stage.height());
  const QPointF offset((view.width() - stage.width() * scale) / 2,
                       (view.height() - stage.height() * scale) / 2);
  return offset + p * scale;
}

// The centre of the pixels within tolerance of the colour in each channel;
// empty when there are fewer than minPixels of them.
inline std::optional<QPointF> ColourCentre(const QImage& picture, QRgb colour, int minPixels = 20,
                                           int tolerance = 40) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      if (std::abs(qRed(p) - qRed(colour)) <= tolerance &&
          std::abs(qGreen(p) - qGreen(colour)) <= tolerance &&
          std::abs(qBlue(p) - qBlue(colour)) <= tolerance) {
        sx += x + 0.5;
        sy += y + 0.5;
        ++n;
      }
    }
  }
  if (n < minPixels) return std::nullopt;
  return QPointF(sx / n, sy / n);
}

inline const char* ModeName(TRufflePlayer::TFollowMode m) {
  switch (m) {
    case TRufflePlayer::TFollowMode::None:
      return "none";
    case TRufflePlayer::TFollowMode::Waiting:
      return "waiting";
    case TRufflePlayer::TFollowMode::Flash:
      return "flash";
    case TRufflePlayer::TFollowMode::Estimate:
      return "estimate";
  }
  return "?";
}

// Found by GoogleTest for failure messages.
inline void PrintTo(TRufflePlayer::TFollowMode m, std::ostream* os) {
  *os << ModeName(m);
}
