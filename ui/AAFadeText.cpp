#include "AAFadeText.h"

#include <QPainter>
#include <algorithm>

TAAFadeText::TAAFadeText(QWidget* parent) : QFrame(parent), context_(TMarkupContext::Current()) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  timer_.setInterval(FrameInterval);
  connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void TAAFadeText::SetLines(const QStringList& lines) {
  data_.Lines = lines;
  if (lines.isEmpty()) {
    current_ = -1;
    lineTime_ = 0;
  } else if (current_ >= lines.size()) {
    current_ = 0;
    lineTime_ = 0;
  }
  update();
}

void TAAFadeText::Restart() {
  current_ = data_.Lines.isEmpty() ? -1 : 0;
  lineTime_ = 0;
  clock_.restart();
  update();
}

int TAAFadeText::EffectiveLineInterval() const {
  return std::max(lineDelay_, FadeTime + MinFullTime);
}

qreal TAAFadeText::Opacity() const {
  if (current_ < 0) return 0;
  const qreal half = FadeTime / 2.0;
  const qreal in = lineTime_ / half;
  const qreal out = (EffectiveLineInterval() - lineTime_) / half;
  return std::clamp<qreal>(std::min(in, out), 0, 1);
}

void TAAFadeText::Advance(qint64 ms) {
  // The lines may have been replaced through Data() since the last step.
  const int count = static_cast<int>(data_.Lines.size());
  if (count == 0) {
    current_ = -1;
    lineTime_ = 0;
    return;
  }
  if (current_ < 0 || current_ >= count) {
    current_ = 0;
    lineTime_ = 0;
  }
  if (ms <= 0) return;
  const qint64 interval = EffectiveLineInterval();
  const qint64 total = lineTime_ + ms;
  current_ = static_cast<int>((current_ + total / interval) % count);
  lineTime_ = static_cast<int>(total % interval);
  update();
}

void TAAFadeText::SetMarkupContext(const TMarkupContext& context) {
  context_ = context;
  contextHasTime_ = context.Now.isValid();
  cacheValid_ = false;
  update();
}

void TAAFadeText::SetDefaultAlign(TLineAlign align) {
  defaultAlign_ = align;
  update();
}

void TAAFadeText::SetBackground(const QColor& color) {
  background_ = color;
  update();
}

void TAAFadeText::Tick() {
  Advance(clock_.restart());
}

void TAAFadeText::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  clock_.restart();
  timer_.start();
}

void TAAFadeText::hideEvent(QHideEvent* event) {
  timer_.stop();
  QFrame::hideEvent(event);
}

const TStyledText& TAAFadeText::Picture(TLineAlign& align) {
  TMarkupContext context = context_;
  if (!contextHasTime_) context.Now = QDateTime::currentDateTime();
  const TMarkupLine line = ReadMarkup(data_.Lines.at(current_), data_.Fonts, context);
  TFontStyle style;  // plain text when the table is empty
  if (line.StyleIndex >= 0) {
    style = data_.Fonts.At(line.StyleIndex);
  } else if (!data_.Fonts.IsEmpty()) {
    style = data_.Fonts.At(0);
  }
  align = line.Align.value_or(defaultAlign_);
  // The table is edited in place by the style commands, so the style itself,
  // not its name, decides whether the picture is still right.
  if (!cacheValid_ || line.Text != cachedText_ || !(style == cachedStyle_)) {
    cachedPicture_ = RenderStyledText(style, line.Text);
    cachedText_ = line.Text;
    cachedStyle_ = style;
    cacheValid_ = true;
  }
  return cachedPicture_;
}

void TAAFadeText::paintEvent(QPaintEvent* event) {
  {
    QPainter p(this);
    const QRect area = contentsRect();
    p.fillRect(area, background_);
    Advance(0);
    if (current_ >= 0) {
      p.setClipRect(area);
      TLineAlign align = defaultAlign_;
      const TStyledText& picture = Picture(align);
      constexpr int kMargin = 4;
      DrawStyledText(p, QRectF(area).adjusted(kMargin, 0, -kMargin, 0), picture, align, Opacity());
    }
  }
  QFrame::paintEvent(event);
}
