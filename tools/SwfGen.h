#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include "SwfHeader.h"

// Generator of small SWF movies and dummy Flash projectors, for tests, fuzz
// seeds, benchmarks and the sample movies of the demo build.
//
// A movie holds ShapeCount shapes (shape i has character id i + 1, depth i + 1
// and colour Colors[i % Colors.size()]), each defined centred on its own origin
// and moved by one PlaceObject2 per frame; a text field, when asked for, has
// character id n + 2 (its font n + 1) and depth n + 1, placed at the origin.
// With n = ShapeCount, N = FrameCount, S = ShapeSize, W x H the stage in
// pixels, i the shape and f the frame (both counted from 0), the centre of
// shape i in frame f is:
//
//   Linear:  x = S/2 + (W - S) * f / (N - 1)   (x = S/2 when N = 1)
//            y = H * (i + 1) / (n + 1)
//            so the shape touches the left edge in the first frame and the
//            right edge in the last one;
//   Bounce:  x = W * (i + 1) / (n + 1)
//            y = (H - S/2) - (H - S) * |sin(2 pi f / N + pi i / n)|
//            two bounces per loop, each shape a little behind the one before;
//   Orbit:   a = 2 pi (s f / N + i / n), s = +1 for even i and -1 for odd i
//            r = min(W, H) * (0.38 - 0.16 * (i % 2))
//            x = W/2 + r cos a,  y = H/2 + r sin a,  turned by the angle 2a.
//
// Pixels are measured from the stage's top-left corner, y downwards; the
// PlaceObject2 matrix translates by round(20 x), round(20 y) twips. Example: a
// 550 x 400 Linear movie of 100 frames with one 50-pixel square has the
// square's centre at x = 25 + 500 * 50 / 99 = 277.53, y = 200 in frame 50, so
// it covers pixels 252.53 to 302.53 across and 175 to 225 down.

enum class TSwfGenShape { Square, Circle, Star };
enum class TSwfGenMotion { Linear, Bounce, Orbit };

struct TSwfGenOptions {
  int Width = 550;  // stage, pixels
  int Height = 400;
  double FrameRate = 24;  // stored as 8.8 fixed point
  int FrameCount = 100;
  int Version = 10;
  quint32 Background = 0xFFFFFF;  // 0xRRGGBB
  TSwfCompression Compression = TSwfCompression::None;
  bool ActionScript3 = false;  // FileAttributes flag only: the movie holds no ActionScript
  int ShapeCount = 1;
  TSwfGenShape Shape = TSwfGenShape::Square;
  TSwfGenMotion Motion = TSwfGenMotion::Linear;
  int ShapeSize = 50;  // side of a square, diameter of a circle or star, pixels
  QList<quint32> Colors = {0xE53935, 0xFB8C00, 0xFDD835, 0x43A047, 0x1E88E5, 0x3949AB, 0x8E24AA};
  // Not empty: a read-only text field in the device font "_sans" along the
  // bottom of the stage, on top of the shapes.
  QString Text;
  quint32 TextColor = 0x000000;
};

struct TSwfGenPlacement {
  double X = 0, Y = 0;  // centre, pixels
  double Angle = 0;     // radians, clockwise on screen
};

// Where shape i is in frame f, by the formulas above.
TSwfGenPlacement SwfGenShapePlacement(const TSwfGenOptions& o, int shape, int frame);

// Why the options cannot make a valid movie, or an empty text.
QString CheckSwfGenOptions(const TSwfGenOptions& o);
// The movie file. Throws EPavonaError with CheckSwfGenOptions's text when the
// options are refused.
QByteArray GenerateSwf(const TSwfGenOptions& o);

// A dummy projector: a player part that starts like a Windows executable, the
// movie, then the trailer (Marker, 0xFA, the movie's length as int32 LE).
struct TProjectorOptions {
  qint64 PlayerSize = 4096;  // bytes before the movie
  QByteArray Marker = QByteArray("\x56\x34\x12", 3);
};

QByteArray ProjectorPlayerPart(const TProjectorOptions& o = {});
QByteArray ProjectorTrailer(qint32 movieLength, const TProjectorOptions& o = {});
QByteArray MakeProjector(const QByteArray& movie, const TProjectorOptions& o = {});
