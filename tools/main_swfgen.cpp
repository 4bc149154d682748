// pavona-swfgen: writes small SWF movies of moving shapes, and dummy Flash
// projectors around a movie, for tests, benchmarks and the sample movies.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include "PavonaError.h"
#include "SwfGen.h"

namespace {

bool ParseColour(const QString& text, quint32& colour) {
  QString t = text.trimmed();
  if (t.startsWith(u'#')) t.remove(0, 1);
  if (t.size() != 6) return false;
  bool ok = false;
  colour = t.toUInt(&ok, 16);
  return ok;
}

bool WriteFile(const QString& path, const QByteArray& bytes, QTextStream& err) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush()) {
    err << "无法写入文件 / cannot write " << path << ": " << f.errorString() << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "生成简单的SWF动画（移动的图形）或模拟的Flash播放器程序。\n"
      "Writes a small SWF movie of moving shapes, or wraps a movie in a dummy Flash projector.\n\n"
      "  pavona-swfgen [OPTIONS] OUT.swf\n"
      "  pavona-swfgen --wrap MOVIE.swf OUT.exe"));
  parser.addHelpOption();
  const QCommandLineOption width("width", "Stage width in pixels (default 550).", "px", "550");
  const QCommandLineOption height("height", "Stage height in pixels (default 400).", "px", "400");
  const QCommandLineOption fps("fps", "Frame rate (default 24).", "rate", "24");
  const QCommandLineOption frames("frames", "Number of frames (default 100).", "n", "100");
  const QCommandLineOption version("swf-version", "SWF version (default 10).", "v", "10");
  const QCommandLineOption background("background", "Background colour RRGGBB (default FFFFFF).", "rgb",
                                      "FFFFFF");
  const QCommandLineOption shapes("shapes", "Number of shapes (default 1).", "n", "1");
  const QCommandLineOption shape("shape", "square, circle or star (default square).", "kind", "square");
  const QCommandLineOption motion("motion", "linear, bounce or orbit (default linear).", "kind", "linear");
  const QCommandLineOption size("size", "Shape size in pixels (default 50).", "px", "50");
  const QCommandLineOption colours("colors", "Shape colours, RRGGBB separated by commas.", "list");
  const QCommandLineOption text("text", "A text line in a device font (needs version 6 or later).", "text");
  const QCommandLineOption textColour("text-color", "Text colour RRGGBB (default 000000).", "rgb", "000000");
  const QCommandLineOption zlib("zlib", "Compress with zlib (CWS).");
  const QCommandLineOption lzma("lzma", "Compress with LZMA (ZWS, version 13 or later).");
  const QCommandLineOption as3("as3", "Mark the movie as ActionScript 3 (FileAttributes flag only).");
  const QCommandLineOption projector("projector", "Also write the movie inside a dummy projector.", "exe");
  const QCommandLineOption wrap("wrap", "Wrap an existing movie in a dummy projector written to OUT.", "swf");
  const QCommandLineOption playerSize("player-size", "Bytes of the dummy player part (default 4096).",
                                      "bytes", "4096");
  parser.addOptions({width, height, fps, frames, version, background, shapes, shape, motion, size, colours,
                     text, textColour, zlib, lzma, as3, projector, wrap, playerSize});
  parser.addPositionalArgument("OUT", "The file to write.");
  parser.process(app);

  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 1) {
    err << "需要一个输出文件 / exactly one output file expected\n\n" << parser.helpText();
    return 2;
  }
  const QString out = positional.front();

  bool ok = true;
  auto number = [&](const QCommandLineOption& o) {
    bool good = false;
    const int v = parser.value(o).toInt(&good);
    if (!good) {
      err << "无效的数值 / not a number: --" << o.names().front() << ' ' << parser.value(o) << '\n';
      ok = false;
    }
    return v;
  };
  TProjectorOptions projectorOptions;
  projectorOptions.PlayerSize = number(playerSize);
  if (!ok) return 2;
  if (projectorOptions.PlayerSize < 0) {
    err << "--player-size must not be negative\n";
    return 2;
  }

  if (parser.isSet(wrap)) {
    QFile in(parser.value(wrap));
    if (!in.open(QIODevice::ReadOnly)) {
      err << "无法读取文件 / cannot read " << in.fileName() << ": " << in.errorString() << '\n';
      return 1;
    }
    const QByteArray movie = in.readAll();
    if (movie.size() > 0x7FFFFFFF) {
      err << "movie too large for a projector\n";
      return 1;
    }
    return WriteFile(out, MakeProjector(movie, projectorOptions), err) ? 0 : 1;
  }

  TSwfGenOptions o;
  o.Width = number(width);
  o.Height = number(height);
  o.FrameCount = number(frames);
  o.Version = number(version);
  o.ShapeCount = number(shapes);
  o.ShapeSize = number(size);
  bool good = false;
  o.FrameRate = parser.value(fps).toDouble(&good);
  if (!good) {
    err << "无效的帧频 / not a frame rate: " << parser.value(fps) << '\n';
    ok = false;
  }
  if (!ParseColour(parser.value(background), o.Background) ||
      !ParseColour(parser.value(textColour), o.TextColor)) {
    err << "颜色应为RRGGBB / colours are RRGGBB\n";
    ok = false;
  }
  if (parser.isSet(colours)) {
    o.Colors.clear();
    for (const QString& c : parser.value(colours).split(u',', Qt::SkipEmptyParts)) {
      quint32 v = 0;
      if (!ParseColour(c, v)) {
        err << "颜色应为RRGGBB / colours are RRGGBB: " << c << '\n';
        ok = false;
      }
      o.Colors.append(v);
    }
  }
  const QString shapeName = parser.value(shape), motionName = parser.value(motion);
  if (shapeName == "square") {
    o.Shape = TSwfGenShape::Square;
  } else if (shapeName == "circle") {
    o.Shape = TSwfGenShape::Circle;
  } else if (shapeName == "star") {
    o.Shape = TSwfGenShape::Star;
  } else {
    err << "未知的图形 / unknown shape: " << shapeName << '\n';
    ok = false;
  }
  if (motionName == "linear") {
    o.Motion = TSwfGenMotion::Linear;
  } else if (motionName == "bounce") {
    o.Motion = TSwfGenMotion::Bounce;
  } else if (motionName == "orbit") {
    o.Motion = TSwfGenMotion::Orbit;
  } else {
    err << "未知的运动方式 / unknown motion: " << motionName << '\n';
    ok = false;
  }
  if (parser.isSet(zlib) && parser.isSet(lzma)) {
    err << "--zlib and --lzma exclude each other\n";
    ok = false;
  }
  o.Compression = parser.isSet(zlib)   ? TSwfCompression::Zlib
                  : parser.isSet(lzma) ? TSwfCompression::Lzma
                                       : TSwfCompression::None;
  o.ActionScript3 = parser.isSet(as3);
  o.Text = parser.value(text);
  if (!ok) return 2;
  const QString problem = CheckSwfGenOptions(o);
  if (!problem.isEmpty()) {
    err << "无效的选项 / invalid options: " << problem << '\n';
    return 2;
  }

  QByteArray movie;
  try {
    movie = GenerateSwf(o);
  } catch (const EPavonaError& e) {
    err << e.Message() << '\n';
    return 1;
  }
  if (!WriteFile(out, movie, err)) return 1;
  if (parser.isSet(projector) &&
      !WriteFile(parser.value(projector), MakeProjector(movie, projectorOptions), err)) {
    return 1;
  }
  return 0;
}
