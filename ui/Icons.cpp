#include "Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace icons {
namespace {

using Drawing = std::function<void(QPainter&)>;

// Paints on a 16 x 16 grid scaled to the size asked for, and only when asked:
// most icons are never shown at most sizes, and the window starts faster.
class PaintedIconEngine : public QIconEngine {
 public:
  explicit PaintedIconEngine(Drawing draw) : draw_(std::move(draw)) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->drawPixmap(rect, Render(rect.size(), mode));
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return Render(size, mode); }
  QIconEngine* clone() const override { return new PaintedIconEngine(draw_); }

 private:
  QPixmap Render(const QSize& size, QIcon::Mode mode) const {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / 16.0, size.height() / 16.0);
    draw_(p);
    if (mode == QIcon::Disabled) {
      p.resetTransform();
      p.setCompositionMode(QPainter::CompositionMode_SourceIn);
      p.fillRect(pm.rect(), QColor(150, 150, 150, 160));
    }
    return pm;
  }
  Drawing draw_;
};


QIcon Make(const Drawing& draw) { return QIcon(new PaintedIconEngine(draw)); }

// A capital A drawn as strokes, so that no font has to be loaded for an icon.
void LetterA(QPainter& p) {
  p.setPen(QPen(QColor(30, 60, 160), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({{1.5, 13.5}, {6, 1.8}, {10.5, 13.5}}));
  p.drawLine(QPointF(3.4, 9.2), QPointF(8.6, 9.2));
}

void Document(QPainter& p) {
  QPainterPath page;
  page.moveTo(2.5, 1.5);
  page.lineTo(9.5, 1.5);
  page.lineTo(12.5, 4.5);
  page.lineTo(12.5, 14.5);
  page.lineTo(2.5, 14.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(90, 100, 120), 1));
  p.setBrush(QColor(252, 252, 255));
  p.drawPath(page);
  p.setBrush(QColor(215, 222, 235));
  p.drawPolygon(QPolygonF({{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}}));
  p.setPen(QPen(QColor(170, 180, 200), 0.8));
  for (double y : {6.5, 8.5, 10.5}) p.drawLine(QPointF(4, y), QPointF(9, y));
}

void Disk(QPainter& p) {
  p.setPen(QPen(QColor(20, 50, 120), 0.8));
  p.setBrush(QColor(40, 90, 200));
  p.drawRoundedRect(QRectF(7.5, 7.5, 8, 8), 1, 1);
  p.setBrush(QColor(235, 240, 250));
  p.drawRect(QRectF(9, 8, 5, 3));
  p.setBrush(QColor(20, 40, 90));
  p.drawRect(QRectF(9.5, 12.5, 5, 2.5));
}

void Wand(QPainter& p) {
  p.setPen(QPen(QColor(60, 40, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 15), QPointF(14, 9));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 0));
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double r = (i % 2) ? 1.3 : 3.0;
    const double a = -M_PI / 2 + i * M_PI / 5;
    star << QPointF(13 + r * std::cos(a), 5.5 + r * std::sin(a));
  }
  p.drawPolygon(star);
}

void Monitor(QPainter& p) {
  p.setPen(QPen(QColor(50, 55, 65), 1));
  p.setBrush(QColor(70, 75, 85));
  p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9.5), 1, 1);
  QLinearGradient g(0, 3, 0, 11);
  g.setColorAt(0, QColor(90, 170, 255));
  g.setColorAt(1, QColor(30, 90, 200));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(3, 4, 10, 6.5));
  p.setBrush(QColor(70, 75, 85));
  p.drawRect(QRectF(6.5, 12, 3, 1.5));
  p.drawRoundedRect(QRectF(4, 13.5, 8, 1.5), 0.6, 0.6);
}

void ArrowDownRed(QPainter& p) {
  p.setPen(QPen(QColor(150, 0, 0), 0.7));
  p.setBrush(QColor(225, 30, 30));
  p.drawPolygon(QPolygonF({{10, 6.5}, {13, 6.5}, {13, 10.5}, {15.5, 10.5}, {11.5, 15.5}, {7.5, 10.5}, {10, 10.5}}));
}

void Globe(QPainter& p) {
  p.setPen(QPen(QColor(20, 90, 40), 0.8));
  p.setBrush(QColor(70, 150, 230));
  p.drawEllipse(QRectF(7, 7, 8.5, 8.5));
  p.setBrush(QColor(70, 180, 80));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(8.5, 8.5, 3, 3.5));
  p.drawEllipse(QRectF(11.5, 11.5, 3, 2.5));
  p.setPen(QPen(QColor(230, 240, 255, 160), 0.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(9.5, 7, 3.5, 8.5));
  p.drawLine(QPointF(7, 11.25), QPointF(15.5, 11.25));
}

void BookQuestion(QPainter& p) {
  p.setPen(QPen(QColor(90, 40, 10), 1));
  p.setBrush(QColor(200, 60, 30));
  p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1, 1);
  p.setBrush(QColor(250, 245, 230));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(4, 12.5, 9, 1.5));
  p.setPen(QPen(QColor(255, 240, 120), 1.7, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath q;
  q.moveTo(5.8, 5.2);
  q.cubicTo(5.8, 2.6, 10.2, 2.6, 10.2, 5.2);
  q.cubicTo(10.2, 7.0, 8, 7.0, 8, 9.0);
  p.drawPath(q);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 240, 120));
  p.drawEllipse(QRectF(7.1, 10.1, 1.8, 1.8));
}

void InfoSign(QPainter& p) {
  p.setPen(QPen(QColor(20, 60, 150), 0.8));
  p.setBrush(QColor(40, 110, 220));
  p.drawEllipse(QRectF(7, 7, 8.5, 8.5));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(10.6, 8.3, 1.4, 1.4));
  p.drawRect(QRectF(10.65, 10.3, 1.3, 3.8));
}

void Pencil(QPainter& p) {
  p.setPen(QPen(QColor(120, 80, 0), 0.7));
  p.setBrush(QColor(250, 190, 40));
  p.drawPolygon(QPolygonF({{13.5, 5.5}, {15.5, 7.5}, {9, 14}, {7, 12}}));
  p.setBrush(QColor(240, 210, 170));
  p.drawPolygon(QPolygonF({{7, 12}, {9, 14}, {6, 15}}));
}

void ArrowRight(QPainter& p) {
  p.setPen(QPen(QColor(0, 100, 30), 0.7));
  p.setBrush(QColor(40, 170, 70));
  p.drawPolygon(QPolygonF({{6.5, 9.5}, {10.5, 9.5}, {10.5, 7}, {15.5, 11}, {10.5, 15}, {10.5, 12.5}, {6.5, 12.5}}));
}

void ExitButton(QPainter& p) {
  QRadialGradient g(6.5, 6, 8);
  g.setColorAt(0, QColor(255, 120, 110));
  g.setColorAt(1, QColor(190, 20, 20));
  p.setPen(QPen(QColor(120, 0, 0), 0.8));
  p.setBrush(g);
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4.5, 4.8, 7, 7), 120 * 16, 300 * 16);
  p.drawLine(QPointF(8, 3.6), QPointF(8, 7.8));
}

}  // namespace

QIcon ImageListIcon(int index) {
  switch (index) {
    case 0: return Make([](QPainter& p) { Document(p); Disk(p); });
    case 1: return Make([](QPainter& p) { Document(p); Wand(p); });
    case 2: return Make(Monitor);
    case 3: return Make([](QPainter& p) { Document(p); ArrowDownRed(p); });
    case 4: return Make([](QPainter& p) { Document(p); Globe(p); });
    case 6: return Make(BookQuestion);
    case 8: return Make([](QPainter& p) { Document(p); InfoSign(p); });
    case 9: return Make([](QPainter& p) { Document(p); Pencil(p); });
    case 10: return Make([](QPainter& p) { Document(p); ArrowRight(p); });
    case 11: return Make(ExitButton);
    default: return QIcon();
  }
}

QIcon GlyphIcon(Glyph glyph) {
  switch (glyph) {
    case Glyph::Add:
      return Make([](QPainter& p) {
        Document(p);
        p.setPen(QPen(QColor(0, 140, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.5, 8), QPointF(11.5, 15));
        p.drawLine(QPointF(8, 11.5), QPointF(15, 11.5));
      });
    case Glyph::Delete:
    case Glyph::StyleDelete:
      return Make([glyph](QPainter& p) {
        if (glyph == Glyph::Delete) {
          Document(p);
        } else {
          LetterA(p);
        }
        p.setPen(QPen(QColor(210, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 9), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 9), QPointF(9, 14.5));
      });
    case Glyph::MoveUp:
    case Glyph::MoveDown:
      return Make([glyph](QPainter& p) {
        p.setPen(QPen(QColor(20, 70, 160), 0.8));
        p.setBrush(QColor(60, 130, 230));
        if (glyph == Glyph::MoveUp)
          p.drawPolygon(QPolygonF({{8, 2}, {14, 8.5}, {10.5, 8.5}, {10.5, 14}, {5.5, 14}, {5.5, 8.5}, {2, 8.5}}));
        else
          p.drawPolygon(QPolygonF({{8, 14}, {14, 7.5}, {10.5, 7.5}, {10.5, 2}, {5.5, 2}, {5.5, 7.5}, {2, 7.5}}));
      });
    case Glyph::Play:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(0, 110, 30), 0.8));
        p.setBrush(QColor(40, 180, 70));
        p.drawPolygon(QPolygonF({{4, 2.5}, {13.5, 8}, {4, 13.5}}));
      });
    case Glyph::Pause:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 140), 0.8));
        p.setBrush(QColor(60, 120, 220));
        p.drawRect(QRectF(3.5, 2.5, 3.5, 11));
        p.drawRect(QRectF(9, 2.5, 3.5, 11));
      });
    case Glyph::Stop:
      return Make([](QPainter& p) {
        p.setPen(QPen(QColor(140, 0, 0), 0.8));
        p.setBrush(QColor(220, 40, 40));
        p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.2, 1.2);
      });
    case Glyph::StyleModify:
    case Glyph::StyleAdd:
      return Make([glyph](QPainter& p) {
        LetterA(p);
        if (glyph == Glyph::StyleModify) {
          Pencil(p);
        } else {
          p.setPen(QPen(QColor(0, 140, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
          p.drawLine(QPointF(12, 8.5), QPointF(12, 15));
          p.drawLine(QPointF(8.8, 11.7), QPointF(15.2, 11.7));
        }
      });
  }
  return QIcon();
}

QIcon AppIcon() {
  // A peacock's eye: the tool's emblem.
  auto draw = [](QPainter& p) {
    QRadialGradient outer(8, 8, 7.5);
    outer.setColorAt(0.0, QColor(30, 170, 160));
    outer.setColorAt(0.7, QColor(20, 120, 110));
    outer.setColorAt(1.0, QColor(10, 70, 60));
    p.setPen(QPen(QColor(10, 60, 50), 0.6));
    p.setBrush(outer);
    p.drawEllipse(QRectF(0.8, 1.5, 14.4, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 180, 40));
    p.drawEllipse(QRectF(3.8, 4, 8.4, 8));
    p.setBrush(QColor(30, 80, 180));
    p.drawEllipse(QRectF(5.3, 5.3, 5.4, 5.4));
    p.setBrush(QColor(15, 30, 80));
    p.drawEllipse(QRectF(6.6, 6.6, 2.8, 2.8));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(6.6, 6.2, 1.2, 1.2));
  };
  // Painted at whatever size the desktop asks for (16, 32 and 48 among them).
  return Make(draw);
}

QIcon ColorSwatch(const QColor& color) {
  return Make([color](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(90, 90, 90), 0));
    p.setBrush(color);
    p.drawRect(QRectF(0, 0, 15.9, 15.9));
  });
}

}  // namespace icons
