#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

#include "BlessingModel.h"
#include "Markup.h"
#include "Operation.h"
#include "StyledText.h"

// The blessing preview: holds the style table, the labels and the lines, and
// shows the lines one at a time, each fading in and out, without end.
//
// A line is read with ReadMarkup: a style tag picks its style, a line without
// one takes the first style of the table, and with an empty table it is drawn
// plainly. Each line stays EffectiveLineInterval() milliseconds: it fades in
// over the first half of FadeTime, shows fully, and fades out over the last
// half. The clock runs while the widget is visible; Advance moves it by hand.
// Lines put into Data() directly are picked up at the next step or paint; the
// display starts at the first line when it has none or its place is gone.
class TAAFadeText : public QFrame, public IFadeTextControl {
 public:
  static constexpr int FadeTime = 600;
  // A line shows fully for at least this long between its two fades.
  static constexpr int MinFullTime = 200;
  static constexpr int FrameInterval = 40;

  explicit TAAFadeText(QWidget* parent = nullptr);

  TBlessingModel& Data() { return data_; }
  const TBlessingModel& Data() const { return data_; }

  // Replaces the lines; the display keeps its place when the line it shows is
  // still there, and goes to the first line otherwise.
  void SetLines(const QStringList& lines) override;
  void Restart() override;

  int LineDelay() const { return lineDelay_; }
  void SetLineDelay(int ms) { lineDelay_ = ms; }
  // How long each line stays: the line delay, but never less than both fades
  // and the least full time.
  int EffectiveLineInterval() const;

  // The line now shown, -1 when there is none.
  int CurrentLine() const { return current_; }
  // Milliseconds since the current line came.
  int LineTime() const { return lineTime_; }
  // The current line's opacity, 0 to 1.
  qreal Opacity() const;
  // Moves the display on by the given milliseconds, line after line.
  void Advance(qint64 ms);

  // The text labels stand for these; Now unset means the moment of drawing.
  void SetMarkupContext(const TMarkupContext& context);
  TLineAlign DefaultAlign() const { return defaultAlign_; }
  void SetDefaultAlign(TLineAlign align);
  QColor Background() const { return background_; }
  void SetBackground(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Tick();
  // The current line as drawn, re-rendered only when its text or style changed.
  const TStyledText& Picture(TLineAlign& align);

  TBlessingModel data_;
  int lineDelay_ = 3000;
  int current_ = -1;
  int lineTime_ = 0;
  TMarkupContext context_;
  bool contextHasTime_ = false;
  TLineAlign defaultAlign_ = TLineAlign::Center;
  QColor background_ = Qt::white;
  QTimer timer_;
  QElapsedTimer clock_;

  QString cachedText_;
  TFontStyle cachedStyle_;
  TStyledText cachedPicture_;
  bool cacheValid_ = false;
};
