// The blessing preview: line timing, fading, looping and what each line draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "AAFadeText.h"
#include "TestUtil.h"

namespace {

class FadeText : public ::testing::Test {
 protected:
  FadeText() { w.resize(529, 49); }

  // The widget at full opacity of its current line.
  QImage Shown() {
    w.Advance(TAAFadeText::FadeTime / 2 - w.LineTime());
    return Grab();
  }
  QImage Grab() { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  TAAFadeText w;
};

QRect Inner(const QImage& image) {
  return image.rect().adjusted(1, 1, -1, -1);
}  // inside the frame

// Pixels of the content that differ from the white background.
int InkPixels(const QImage& image) {
  int n = 0;
  const QRect r = Inner(image);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  }
  return n;
}

int PixelsNear(const QImage& image, const QColor& colour, int tolerance) {
  int n = 0;
  const QRect r = Inner(image);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor p = image.pixelColor(x, y);
      n += std::abs(p.red() - colour.red()) <= tolerance &&
           std::abs(p.green() - colour.green()) <= tolerance &&
           std::abs(p.blue() - colour.blue()) <= tolerance;
    }
  }
  return n;
}

// The mean x of the ink, as a share of the width.
double InkCentre(const QImage& image) {
  double sum = 0;
  int n = 0;
  for (int y = 1; y < image.height() - 1; ++y) {
    for (int x = 1; x < image.width() - 1; ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        sum += x;
        ++n;
      }
    }
  }
  return n ? sum / n / image.width() : -1;
}

int Darkest(const QImage& image) {
  int darkest = 255;
  const QRect r = Inner(image);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  }
  return darkest;
}

TEST_F(FadeText, EachLineStaysAtLeastBothFadesAndAPause) {
  const struct {
    int delay, interval;
  } cases[] = {{500, 800}, {799, 800}, {800, 800}, {801, 801}, {3000, 3000}, {0, 800}, {-40, 800}};
  for (const auto& c : cases) {
    w.SetLineDelay(c.delay);
    EXPECT_EQ(w.LineDelay(), c.delay);
    EXPECT_EQ(w.EffectiveLineInterval(), c.interval) << c.delay;
  }
}

TEST_F(FadeText, ADelayOf500RunsAt800) {
  w.SetLineDelay(500);
  w.SetLines({"<Title1>one", "<Text1>two", "three"});
  w.Restart();
  const struct {
    int step, line, lineTime;
  } steps[] = {{0, 0, 0}, {500, 0, 500}, {299, 0, 799}, {1, 1, 0}, {799, 1, 799}, {1, 2, 0}, {800, 0, 0}};
  for (const auto& s : steps) {
    w.Advance(s.step);
    EXPECT_EQ(w.CurrentLine(), s.line) << "after " << s.step;
    EXPECT_EQ(w.LineTime(), s.lineTime) << "after " << s.step;
  }
}

TEST_F(FadeText, LinesLoopWithoutEnd) {
  w.SetLineDelay(1000);
  w.SetLines({"a", "b", "c"});
  w.Restart();
  w.Advance(3000);
  EXPECT_EQ(w.CurrentLine(), 0);
  w.Advance(1000LL * 3 * 1000000 + 1500);
  EXPECT_EQ(w.CurrentLine(), 1);
  EXPECT_EQ(w.LineTime(), 500);
}

TEST_F(FadeText, RestartShowsTheFirstLine) {
  w.SetLines({"a", "b", "c"});
  w.Restart();
  w.Advance(w.EffectiveLineInterval() * 2 + 100);
  ASSERT_EQ(w.CurrentLine(), 2);
  w.Restart();
  EXPECT_EQ(w.CurrentLine(), 0);
  EXPECT_EQ(w.LineTime(), 0);
  EXPECT_EQ(w.Opacity(), 0);
}

TEST_F(FadeText, LinesFadeInAndOut) {
  w.SetLineDelay(1000);
  w.SetLines({"<Title1>Wish"});
  w.Restart();
  const struct {
    int at;
    double opacity;
  } cases[] = {{0, 0}, {150, 0.5}, {300, 1}, {500, 1}, {700, 1}, {850, 0.5}, {999, 1.0 / 300}};
  for (const auto& c : cases) {
    w.Restart();
    w.Advance(c.at);
    EXPECT_NEAR(w.Opacity(), c.opacity, 1e-9) << c.at;
  }
  // Half faded text is lighter than fully shown text.
  w.Restart();
  w.Advance(150);
  const int half = Darkest(Grab());
  w.Advance(200);
  const int full = Darkest(Grab());
  EXPECT_LT(full, half - 40);
  w.Restart();
  EXPECT_EQ(InkPixels(Grab()), 0) << "a line starts invisible";
}

TEST_F(FadeText, NoLinesShowNothing) {
  w.SetLines({});
  w.Restart();
  EXPECT_EQ(w.CurrentLine(), -1);
  w.Advance(5000);
  EXPECT_EQ(w.CurrentLine(), -1);
  EXPECT_EQ(InkPixels(Grab()), 0);
}

TEST_F(FadeText, NewLinesKeepThePlaceWhileItExists) {
  w.SetLines({"a", "b", "c"});
  w.Restart();
  w.Advance(w.EffectiveLineInterval() + 10);
  w.SetLines({"x", "y"});
  EXPECT_EQ(w.CurrentLine(), 1);
  EXPECT_EQ(w.LineTime(), 10);
  w.SetLines({"only"});
  EXPECT_EQ(w.CurrentLine(), 0);
  EXPECT_EQ(w.LineTime(), 0);
  w.SetLines({});
  EXPECT_EQ(w.CurrentLine(), -1);
}

TEST_F(FadeText, LinesPutIntoTheModelAreShown) {
  EXPECT_EQ(w.CurrentLine(), -1);
  w.Data().Lines = {"<Title1>loaded"};
  EXPECT_GT(InkPixels(Shown()), 50);
  EXPECT_EQ(w.CurrentLine(), 0);
  w.Data().Lines.clear();
  EXPECT_EQ(InkPixels(Grab()), 0);
  EXPECT_EQ(w.CurrentLine(), -1);
}

TEST_F(FadeText, AStyleTagDrawsInThatStyle) {
  w.SetLines({QStringLiteral("<Text2>字体样式预览Text2")});
  w.Restart();
  const QImage text2 = Shown();
  EXPECT_GT(PixelsNear(text2, QColor(0, 128, 128), 12), 20);
  // The same words in Title2 show its gradient, not Text2's colour.
  w.SetLines({QStringLiteral("<title2>字体样式预览Text2")});
  w.Restart();
  const QImage title2 = Shown();
  EXPECT_EQ(PixelsNear(title2, QColor(0, 128, 128), 12), 0);
  EXPECT_GT(PixelsNear(title2, QColor(128, 0, 255), 40), 5);
}

TEST_F(FadeText, ALineWithoutATagTakesTheFirstStyle) {
  TFontSpec red = w.Data().Fonts.At(0).Font;
  red.Color = RgbColor(230, 0, 0);
  w.Data().Fonts.SetFont(0, red);
  w.SetLines({"Plain words"});
  w.Restart();
  EXPECT_GT(PixelsNear(Shown(), QColor(230, 0, 0), 12), 20);
}

TEST_F(FadeText, AnEmptyTableDrawsPlainText) {
  w.Data().Fonts.Clear();
  w.SetLines({"<Title1>Plain words"});
  w.Restart();
  const QImage shown = Shown();
  EXPECT_GT(PixelsNear(shown, QColor(0, 0, 0), 12), 20);
  // Plain means no shadow: only greys from black to white.
  const QRect r = Inner(shown);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor p = shown.pixelColor(x, y);
      ASSERT_TRUE(p.red() == p.green() && p.green() == p.blue());
    }
  }
}

TEST_F(FadeText, EditingAStyleRedrawsItsLines) {
  w.SetLines({"<Text1>Wish"});
  w.Restart();
  EXPECT_EQ(PixelsNear(Shown(), QColor(0, 0, 230), 12), 0);
  TFontSpec blue = w.Data().Fonts.At(3).Font;
  blue.Color = RgbColor(0, 0, 230);
  w.Data().Fonts.SetFont(3, blue);
  EXPECT_GT(PixelsNear(Grab(), QColor(0, 0, 230), 12), 10);
}

TEST_F(FadeText, AlignmentLabelsPlaceTheLine) {
  const struct {
    const char* line;
    double low, high;  // where the ink's mean x lies, as a share of the width
  } cases[] = {
      {"<Left>Wish", 0, 0.15},
      {"<Center>Wish", 0.45, 0.55},
      {"<Right>Wish", 0.85, 1},
      {"Wish", 0.45, 0.55},
  };
  for (const auto& c : cases) {
    w.SetLines({c.line});
    w.Restart();
    const double centre = InkCentre(Shown());
    EXPECT_GE(centre, c.low) << c.line;
    EXPECT_LE(centre, c.high) << c.line;
  }
  w.SetDefaultAlign(TLineAlign::Right);
  w.SetLines({"Wish"});
  w.Restart();
  EXPECT_GT(InkCentre(Shown()), 0.85);
}

TEST_F(FadeText, TextLabelsAreReplaced) {
  TMarkupContext context;
  context.Owner = "Wilhelmina";
  context.Now = QDateTime(QDate(2006, 8, 18), QTime(12, 36));
  w.SetMarkupContext(context);
  w.SetLines({"<Owner>"});
  w.Restart();
  const QImage label = Shown();
  w.SetLines({"Wilhelmina"});
  w.Restart();
  EXPECT_EQ(label, Shown());
  EXPECT_GT(InkPixels(label), 50);
}

TEST_F(FadeText, EveryDefaultStyleDrawsItsSampleLine) {
  for (const QString& name : DefaultFontStyles().Names()) {
    w.SetLines({"<" + name + ">" + QStringLiteral("字体样式预览") + name});
    w.Restart();
    EXPECT_GT(InkPixels(Shown()), 150) << name.toStdString();
  }
}

TEST_F(FadeText, RunsByItselfWhileShown) {
  w.SetLineDelay(500);
  w.SetLines({"a", "b"});
  w.Restart();
  w.show();
  QTRY_VERIFY_WITH_TIMEOUT(w.CurrentLine() == 1, 10000);
  w.hide();
}

}  // namespace
