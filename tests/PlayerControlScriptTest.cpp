#include <gtest/gtest.h>

#include <QMap>
#include <QVariant>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>

#include "SwfControlScript.h"
#include "SwfGen.h"
#include "SwfHeader.h"

namespace {

quint16 Le16(const QByteArray& b, qint64 at) {
  return quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8));
}
quint32 Le32(const QByteArray& b, qint64 at) {
  return uchar(b[at]) | (uchar(b[at + 1]) << 8) | (uchar(b[at + 2]) << 16) |
         (quint32(uchar(b[at + 3])) << 24);
}

// --- a small AVM1 machine, just enough to run the control script ----------------

struct Object;
struct Function;
using ObjectPtr = std::shared_ptr<Object>;

// undefined, number, string, boolean, object or function.
struct Value {
  enum Kind { Undefined, Number, String, Boolean, Obj } kind = Undefined;
  double number = 0;
  QString string;
  bool boolean = false;
  ObjectPtr object;

  static Value Num(double d) { return {Number, d, {}, false, nullptr}; }
  static Value Str(const QString& s) { return {String, 0, s, false, nullptr}; }
  static Value Bool(bool b) { return {Boolean, 0, {}, b, nullptr}; }
  static Value Of(ObjectPtr o) { return {Obj, 0, {}, false, std::move(o)}; }
  bool Truthy() const {
    if (kind == Boolean) return boolean;
    if (kind == Obj) return true;
    const double d = ToNumber();
    return d == d && d != 0;
  }
  double ToNumber() const {
    if (kind == Number) return number;
    if (kind == Boolean) return boolean ? 1 : 0;
    if (kind == String) {
      bool ok = false;
      const double d = string.toDouble(&ok);
      return ok ? d : NAN;
    }
    return NAN;
  }
};

struct Object {
  QMap<QString, Value> members;
  // Set for functions: the script's own (code) or a native one.
  QByteArray code;
  QStringList params;
  std::function<Value(const Value& self, const QList<Value>& args)> native;
};

class Machine {
 public:
  ObjectPtr global = std::make_shared<Object>();

  // Runs a piece of code with "this" and the given locals; returns what
  // ActionReturn returned (undefined when the code ends without it).
  Value Run(const QByteArray& code, const Value& self, const QMap<QString, Value>& locals) {
    QList<Value> stack;
    auto pop = [&stack]() {
      if (stack.isEmpty()) throw std::runtime_error("stack underflow");
      return stack.takeLast();
    };
    qint64 at = 0;
    while (at < code.size()) {
      const quint8 op = quint8(code[at++]);
      if (op == 0x00) break;
      QByteArray payload;
      if (op >= 0x80) {
        if (at + 2 > code.size()) throw std::runtime_error("action header runs past the code");
        const quint16 length = Le16(code, at);
        at += 2;
        if (at + length > code.size()) throw std::runtime_error("action payload runs past the code");
        payload = code.mid(at, length);
        at += length;
      }
      switch (op) {
        case 0x96: {  // Push
          qint64 p = 0;
          while (p < payload.size()) {
            const quint8 type = quint8(payload[p++]);
            if (type == 0) {
              const qint64 end = payload.indexOf('\0', p);
              if (end < 0) throw std::runtime_error("unterminated string");
              stack.append(Value::Str(QString::fromUtf8(payload.mid(p, end - p))));
              p = end + 1;
            } else if (type == 5) {
              stack.append(Value::Bool(payload[p++] != 0));
            } else if (type == 7) {
              stack.append(Value::Num(qint32(Le32(payload, p))));
              p += 4;
            } else {
              throw std::runtime_error("push type not expected here");
            }
          }
          break;
        }
        case 0x1C: {  // GetVariable
          const QString name = pop().string;
          if (name == "this")
            stack.append(self);
          else if (name == "_global")
            stack.append(Value::Of(global));
          else if (locals.contains(name))
            stack.append(locals[name]);
          else
            stack.append(global->members.value(name));
          break;
        }
        case 0x4E: {  // GetMember
          const QString name = pop().string;
          const Value object = pop();
          stack.append(object.kind == Value::Obj ? object.object->members.value(name) : Value());
          break;
        }
        case 0x4F: {  // SetMember
          const Value value = pop();
          const QString name = pop().string;
          const Value object = pop();
          if (object.kind != Value::Obj) throw std::runtime_error("SetMember on a non-object");
          object.object->members[name] = value;
          break;
        }
        case 0x52: {  // CallMethod
          const QString name = pop().string;
          const Value object = pop();
          const int count = int(pop().ToNumber());
          QList<Value> args;
          for (int i = 0; i < count; ++i) args.append(pop());
          if (object.kind != Value::Obj || object.object->members.value(name).kind != Value::Obj) {
            throw std::runtime_error("call of a missing method " + name.toStdString());
          }
          stack.append(Call(object.object->members.value(name), object, args));
          break;
        }
        case 0x17:  // Pop
          pop();
          break;
        case 0x3E:  // Return
          return pop();
        case 0x0B: {  // Subtract
          const double a = pop().ToNumber();
          const double b = pop().ToNumber();
          stack.append(Value::Num(b - a));
          break;
        }
        case 0x47: {  // Add2 (numbers only here)
          const Value a = pop();
          const Value b = pop();
          if (a.kind == Value::String || b.kind == Value::String) {
            stack.append(Value::Str(b.string + a.string));
          } else {
            stack.append(Value::Num(b.ToNumber() + a.ToNumber()));
          }
          break;
        }
        case 0x44: {  // TypeOf
          const Value v = pop();
          static const char* const kNames[] = {"undefined", "number", "string", "boolean", "object"};
          const bool function = v.kind == Value::Obj && (!v.object->code.isEmpty() || v.object->native);
          stack.append(Value::Str(function ? "function" : kNames[v.kind]));
          break;
        }
        case 0x49: {  // Equals2 (same kinds only here)
          const Value a = pop();
          const Value b = pop();
          if (a.kind != b.kind) throw std::runtime_error("comparison of different kinds");
          stack.append(
              Value::Bool(a.kind == Value::String ? a.string == b.string : a.ToNumber() == b.ToNumber()));
          break;
        }
        case 0x12:  // Not
          stack.append(Value::Bool(!pop().Truthy()));
          break;
        case 0x9D: {  // If
          if (payload.size() != 2) throw std::runtime_error("If needs a 16-bit offset");
          const qint16 offset = qint16(Le16(payload, 0));
          if (pop().Truthy()) at += offset;
          if (at < 0 || at > code.size()) throw std::runtime_error("branch outside the code");
          break;
        }
        case 0x4A:  // ToNumber
          stack.append(Value::Num(pop().ToNumber()));
          break;
        case 0x9B: {  // DefineFunction
          qint64 p = payload.indexOf('\0');
          if (p < 0) throw std::runtime_error("unterminated function name");
          if (p != 0) throw std::runtime_error("the control script's functions are anonymous");
          ++p;
          auto f = std::make_shared<Object>();
          const int count = Le16(payload, p);
          p += 2;
          for (int i = 0; i < count; ++i) {
            const qint64 end = payload.indexOf('\0', p);
            f->params << QString::fromUtf8(payload.mid(p, end - p));
            p = end + 1;
          }
          const int size = Le16(payload, p);
          if (p + 2 != payload.size()) throw std::runtime_error("function header length is wrong");
          if (at + size > code.size()) throw std::runtime_error("function body runs past the code");
          f->code = code.mid(at, size);
          at += size;
          stack.append(Value::Of(f));
          break;
        }
        default:
          throw std::runtime_error("unexpected action " + std::to_string(op));
      }
    }
    return Value();
  }

  Value Call(const Value& function, const Value& self, const QList<Value>& args) {
    if (function.kind != Value::Obj) throw std::runtime_error("call of a non-function");
    const Object& f = *function.object;
    if (f.native) return f.native(self, args);
    QMap<QString, Value> locals;
    for (int i = 0; i < f.params.size(); ++i) locals[f.params[i]] = i < args.size() ? args[i] : Value();
    return Run(f.code, self, locals);
  }
};

ObjectPtr NativeFunction(std::function<Value(const Value&, const QList<Value>&)> f) {
  auto o = std::make_shared<Object>();
  o->native = std::move(f);
  return o;
}

// A root timeline and flash.external.ExternalInterface that record what the
// script does to them.
struct Stage {
  Machine machine;
  ObjectPtr root = std::make_shared<Object>();
  struct Registered {
    QString name;
    Value instance;
    Value method;
  };
  QList<Registered> callbacks;
  QStringList timelineCalls;

  Stage(int totalFrames, int currentFrame) {
    root->members["_totalframes"] = Value::Num(totalFrames);
    root->members["_currentframe"] = Value::Num(currentFrame);
    root->members["gotoAndStop"] =
        Value::Of(NativeFunction([this](const Value& self, const QList<Value>& args) {
          EXPECT_EQ(self.object, root);
          const double frame = args.value(0).ToNumber();
          timelineCalls << QString("gotoAndStop(%1)").arg(frame);
          root->members["_currentframe"] = Value::Num(frame);
          return Value();
        }));
    for (const char* m : {"play", "stop"}) {
      root->members[m] = Value::Of(NativeFunction([this, m](const Value& self, const QList<Value>& args) {
        EXPECT_EQ(self.object, root);
        EXPECT_TRUE(args.isEmpty());
        timelineCalls << QString("%1()").arg(m);
        return Value();
      }));
    }
    auto ei = std::make_shared<Object>();
    ei->members["addCallback"] = Value::Of(NativeFunction([this](const Value&, const QList<Value>& args) {
      callbacks.append({args.value(0).string, args.value(1), args.value(2)});
      return Value::Bool(true);
    }));
    auto external = std::make_shared<Object>();
    external->members["ExternalInterface"] = Value::Of(ei);
    auto flash = std::make_shared<Object>();
    flash->members["external"] = Value::Of(external);
    machine.global->members["flash"] = Value::Of(flash);
    machine.Run(ControlScriptActions(), Value::Of(root), {});
  }

  // What the page's call of a callback returns.
  Value Invoke(const QString& name, const QList<Value>& args = {}) {
    for (const Registered& r : callbacks) {
      if (r.name == name) return machine.Call(r.method, r.instance, args);
    }
    throw std::runtime_error("no callback " + name.toStdString());
  }
};

TEST(ControlScript, RegistersEveryCallbackOnTheRootTimeline) {
  Stage stage(100, 1);
  QStringList names;
  for (const auto& r : stage.callbacks) {
    names << r.name;
    EXPECT_EQ(r.instance.object, stage.root) << r.name.toStdString();
    EXPECT_EQ(r.method.kind, Value::Obj) << r.name.toStdString();
  }
  EXPECT_EQ(names,
            QStringList({"TotalFrames", "CurrentFrame", "GotoFrame", "IsPlaying", "Play", "StopPlay"}));
  EXPECT_EQ(names, ControlCallbackNames());
  EXPECT_TRUE(stage.timelineCalls.isEmpty());
}

TEST(ControlScript, CallbacksCountFramesFromZero) {
  struct Case {
    int total, current;
  };
  for (const Case c : {Case{100, 1}, Case{100, 51}, Case{3, 3}, Case{1, 1}}) {
    Stage stage(c.total, c.current);
    EXPECT_EQ(stage.Invoke("TotalFrames").ToNumber(), c.total);
    EXPECT_EQ(stage.Invoke("CurrentFrame").ToNumber(), c.current - 1);
  }
}

TEST(ControlScript, GotoFrameStopsOnTheFrameAfterTheZeroBasedOne) {
  // The page passes numbers, but a string must not be glued to "1".
  struct Case {
    Value arg;
    QString call;
  };
  for (const Case& c : {Case{Value::Num(0), "gotoAndStop(1)"}, Case{Value::Num(50), "gotoAndStop(51)"},
                        Case{Value::Str("7"), "gotoAndStop(8)"}}) {
    Stage stage(100, 1);
    stage.Invoke("GotoFrame", {c.arg});
    EXPECT_EQ(stage.timelineCalls, QStringList({c.call}));
    EXPECT_FALSE(stage.Invoke("IsPlaying").boolean);
    EXPECT_EQ(stage.Invoke("CurrentFrame").ToNumber() + 1, stage.root->members["_currentframe"].ToNumber());
  }
}

TEST(ControlScript, PlayingFollowsTheLastCommand) {
  Stage stage(10, 1);
  EXPECT_EQ(stage.Invoke("IsPlaying").kind, Value::Boolean);
  EXPECT_TRUE(stage.Invoke("IsPlaying").boolean) << "movies start playing";
  stage.Invoke("StopPlay");
  EXPECT_FALSE(stage.Invoke("IsPlaying").boolean);
  stage.Invoke("Play");
  EXPECT_TRUE(stage.Invoke("IsPlaying").boolean);
  stage.Invoke("GotoFrame", {Value::Num(4)});
  EXPECT_FALSE(stage.Invoke("IsPlaying").boolean);
  stage.Invoke("Play");
  EXPECT_EQ(stage.timelineCalls, QStringList({"stop()", "play()", "gotoAndStop(5)", "play()"}));
}

TEST(ControlScript, RunningFrameOneAgainKeepsThePlayingState) {
  // As when the movie loops, or GotoFrame(0) goes back to frame 1.
  for (const bool stopped : {true, false}) {
    Stage stage(10, 1);
    if (stopped) stage.Invoke("StopPlay");
    stage.callbacks.clear();
    stage.machine.Run(ControlScriptActions(), Value::Of(stage.root), {});
    EXPECT_EQ(stage.callbacks.size(), ControlCallbackNames().size()) << "registered again";
    EXPECT_EQ(stage.Invoke("IsPlaying").boolean, !stopped);
  }
}

TEST(ControlScript, TagHeaderFitsItsBody) {
  const QByteArray body = ControlScriptActions();
  const QByteArray tag = ControlScriptTag();
  ASSERT_GE(body.size(), 0x3F) << "the script needs the long record header";
  EXPECT_EQ(Le16(tag, 0) >> 6, kSwfTagDoAction);
  EXPECT_EQ(Le16(tag, 0) & 0x3F, 0x3F);
  EXPECT_EQ(Le32(tag, 2), quint32(body.size()));
  EXPECT_EQ(tag.mid(6), body);
  EXPECT_EQ(body.back(), '\0');
}

// --- the movie copy ------------------------------------------------------------

// A movie from raw tags, for layouts the generator does not make.
QByteArray MovieOfTags(int version, const QList<QPair<int, QByteArray>>& tags, bool withEnd = true) {
  QByteArray body;
  body.append(char(0x08)).append(char(0));  // RECT with 1-bit fields, all zero
  body.append(QByteArray("\x00\x18", 2));   // 24 fps
  body.append(QByteArray("\x02\x00", 2));   // 2 frames
  auto add = [&body](int code, const QByteArray& b) {
    const quint16 head = quint16((code << 6) | 0x3F);
    body.append(char(head & 0xFF)).append(char(head >> 8));
    const quint32 n = quint32(b.size());
    for (int i = 0; i < 4; ++i) body.append(char((n >> (8 * i)) & 0xFF));
    body.append(b);
  };
  for (const auto& t : tags) add(t.first, t.second);
  if (withEnd) add(kSwfTagEnd, {});
  QByteArray file("FWS");
  file.append(char(version));
  const quint32 n = quint32(body.size() + 8);
  for (int i = 0; i < 4; ++i) file.append(char((n >> (8 * i)) & 0xFF));
  return file + body;
}

struct TagView {
  int code;
  QByteArray body;
  bool operator==(const TagView& o) const { return code == o.code && body == o.body; }
};

QList<TagView> Tags(const QByteArray& movie, bool* complete = nullptr) {
  QList<TSwfTag> tags;
  const bool ok = ListSwfTags(movie, tags);
  if (complete) *complete = ok;
  QList<TagView> out;
  for (const TSwfTag& t : tags) out.append({t.Code, movie.mid(t.BodyOffset, t.BodyLength)});
  return out;
}

// Checks a rewritten movie against the uncompressed original: the same header,
// the same tags in the same order with the script's tag before the first
// frame's content, and length and version fields that fit.
void ExpectScriptAdded(const QByteArray& original, const TControlledMovie& result, int expectedAt) {
  ASSERT_TRUE(result.Ok());
  const TSwfMovieResult plain = UncompressSwf(original);
  ASSERT_TRUE(plain.Ok());
  const QByteArray& movie = result.Movie;
  EXPECT_EQ(movie.left(3), QByteArray("FWS"));
  EXPECT_EQ(int(uchar(movie[3])), std::max(plain.Header.Version, kControlScriptMinVersion));
  EXPECT_EQ(Le32(movie, 4), quint32(movie.size()));
  EXPECT_EQ(movie.size(), plain.Movie.size() + ControlScriptTag().size());

  const TSwfHeaderResult header = ParseSwfHeader(movie);
  ASSERT_TRUE(header.Ok()) << header.Message.toStdString();
  EXPECT_EQ(header.Header.FrameCount, plain.Header.FrameCount);
  EXPECT_EQ(header.Header.FrameRateFixed, plain.Header.FrameRateFixed);
  EXPECT_EQ(header.Header.XMax, plain.Header.XMax);
  EXPECT_EQ(header.Header.YMax, plain.Header.YMax);
  EXPECT_EQ(movie.mid(8, plain.Header.HeaderLength - 8), plain.Movie.mid(8, plain.Header.HeaderLength - 8));

  bool complete = false;
  QList<TagView> tags = Tags(movie, &complete);
  bool originalComplete = false;
  const QList<TagView> before = Tags(plain.Movie, &originalComplete);
  EXPECT_EQ(complete, originalComplete);
  ASSERT_GT(tags.size(), expectedAt);
  EXPECT_EQ(tags[expectedAt].code, kSwfTagDoAction);
  EXPECT_EQ(tags[expectedAt].body, ControlScriptActions());
  const auto firstShowFrame =
      std::find_if(tags.cbegin(), tags.cend(), [](const TagView& t) { return t.code == 1; });
  if (firstShowFrame != tags.cend()) {
    EXPECT_LT(expectedAt, firstShowFrame - tags.cbegin()) << "not in frame 1";
  }
  EXPECT_EQ(movie.mid(result.ScriptOffset, ControlScriptTag().size()), ControlScriptTag());
  tags.removeAt(expectedAt);
  EXPECT_TRUE(tags == before) << "the movie's own tags changed";
}

TEST(AddControlScript, GeneratedMoviesOfEveryCompression) {
  struct Case {
    TSwfCompression compression;
    int version;
  };
  for (const Case c :
       {Case{TSwfCompression::None, 10}, Case{TSwfCompression::Zlib, 10}, Case{TSwfCompression::Lzma, 13},
        Case{TSwfCompression::None, 6}, Case{TSwfCompression::Zlib, 7}, Case{TSwfCompression::None, 8}}) {
    SCOPED_TRACE(testing::Message() << "compression " << int(c.compression) << " version " << c.version);
    TSwfGenOptions o;
    o.Compression = c.compression;
    o.Version = c.version;
    o.FrameCount = 12;
    o.ShapeCount = 2;
    const QByteArray file = GenerateSwf(o);
    const QByteArray copy = file;
    const TControlledMovie result = AddControlScript(file);
    EXPECT_EQ(file, copy);
    EXPECT_EQ(result.Header.Version, c.version);
    // After FileAttributes (SWF 8 on) and SetBackgroundColor.
    ExpectScriptAdded(file, result, c.version >= 8 ? 2 : 1);
  }
}

TEST(AddControlScript, GoesAfterEveryWholeMovieTagOnly) {
  const QByteArray four(4, '\0');
  const QByteArray rgb = QByteArray::fromHex("ffffff");
  struct Case {
    const char* what;
    QList<QPair<int, QByteArray>> tags;
    int expectedAt;
  };
  const QList<Case> cases = {
      {"metadata, limits, debugger, background",
       {{69, four},
        {77, "<rdf/>"},
        {65, QByteArray::fromHex("01000f00")},
        {64, QByteArray(3, '\0')},
        {9, rgb},
        {2, "shape"},
        {1, {}}},
       5},
      {"frame 1 begins at once", {{69, four}, {26, "place"}, {1, {}}, {1, {}}}, 1},
      {"an empty first frame", {{9, rgb}, {1, {}}, {1, {}}}, 1},
      {"a frame label in frame 1 stays after the script", {{43, QByteArray("intro", 6)}, {1, {}}}, 0},
      {"the movie's own script in frame 1", {{69, four}, {12, QByteArray::fromHex("0700")}, {1, {}}}, 1},
      {"nothing but the End tag", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray file = MovieOfTags(9, c.tags);
    ExpectScriptAdded(file, AddControlScript(file), c.expectedAt);
  }
}

TEST(AddControlScript, ToleratesATagListThatBreaksOffLater) {
  // Ruffle plays such movies up to the break.
  QByteArray file =
      MovieOfTags(8, {{69, QByteArray(4, '\0')}, {9, QByteArray(3, '\0')}, {2, "shape"}, {1, {}}}, false);
  file.append(QByteArray("\xBF\x00\xFF\x00\x00\x00", 6));  // a tag claiming 255 bytes that are not there
  file[4] = char(file.size());
  const TControlledMovie result = AddControlScript(file);
  ExpectScriptAdded(file, result, 2);
}

QByteArray Generated(int frames, bool actionScript3 = false) {
  TSwfGenOptions o;
  o.FrameCount = frames;
  o.ActionScript3 = actionScript3;
  return GenerateSwf(o);
}

TEST(AddControlScript, RefusesWhatItCannotScript) {
  struct Case {
    const char* what;
    QByteArray file;
    TControlScriptError error;
  };
  QByteArray lostHeaderTags = MovieOfTags(8, {{69, QByteArray(4, '\0')}}, false);
  const QList<Case> cases = {
      {"ActionScript 3", Generated(10, true), TControlScriptError::ActionScript3},
      {"empty file", QByteArray(), TControlScriptError::NotSwf},
      {"text", QByteArray("<html>not a movie</html>"), TControlScriptError::NotSwf},
      {"corrupt zlib", QByteArray("CWS\x0a\x40\x00\x00\x00garbage-not-zlib", 24),
       TControlScriptError::NotSwf},
      {"no tag to go before", lostHeaderTags, TControlScriptError::BrokenTags},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TControlledMovie result = AddControlScript(c.file);
    EXPECT_EQ(result.Error, c.error);
    EXPECT_TRUE(result.Movie.isEmpty());
    EXPECT_FALSE(result.Ok());
  }
  // The size cap counts the script's tag too.
  const QByteArray file = Generated(2);
  const qint64 size = UncompressSwf(file).Movie.size();
  EXPECT_FALSE(AddControlScript(file, size).Ok());
  EXPECT_TRUE(AddControlScript(file, size + ControlScriptTag().size()).Ok());
}

TEST(AddControlScript, ScriptInTheCopyRunsAsWritten) {
  // The tag in the copy is the one the machine above runs.
  const QByteArray file = Generated(100);
  const TControlledMovie result = AddControlScript(file);
  ASSERT_TRUE(result.Ok());
  const QList<TagView> tags = Tags(result.Movie);
  const auto script = std::find_if(tags.cbegin(), tags.cend(), [](const TagView& t) { return t.code == 12; });
  ASSERT_NE(script, tags.cend());
  Stage stage(100, 1);
  Machine& m = stage.machine;
  stage.callbacks.clear();
  m.Run(script->body, Value::Of(stage.root), {});
  EXPECT_EQ(stage.callbacks.size(), ControlCallbackNames().size());
  EXPECT_EQ(stage.Invoke("TotalFrames").ToNumber(), 100);
}

}  // namespace
