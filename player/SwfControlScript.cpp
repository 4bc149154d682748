#include "SwfControlScript.h"

#include <QtEndian>
#include <algorithm>
#include <initializer_list>
#include <variant>

namespace {

// AVM1 action codes used by the script.
enum : quint8 {
  kActionEnd = 0x00,
  kActionSubtract = 0x0B,
  kActionNot = 0x12,
  kActionPop = 0x17,
  kActionGetVariable = 0x1C,
  kActionReturn = 0x3E,
  kActionTypeOf = 0x44,
  kActionAdd2 = 0x47,
  kActionEquals2 = 0x49,
  kActionToNumber = 0x4A,
  kActionGetMember = 0x4E,
  kActionSetMember = 0x4F,
  kActionCallMethod = 0x52,
  kActionPush = 0x96,
  kActionDefineFunction = 0x9B,
  kActionIf = 0x9D,
};

// ActionPush value types.
enum : quint8 { kPushString = 0, kPushBoolean = 5, kPushInteger = 7 };

// The callbacks share the playing flag through a global: the only place they
// all reach, and under this name out of the movie's way.
const char* const kPlayingFlag = "$pavonaPlaying";

using PushValue = std::variant<const char*, int, bool>;

void AppendU16(QByteArray& out, quint16 v) {
  out.append(char(v & 0xFF));
  out.append(char(v >> 8));
}

void AppendU32(QByteArray& out, quint32 v) {
  for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

// Writes AVM1 action records.
class Avm1Writer {
 public:
  const QByteArray& Code() const { return code_; }

  Avm1Writer& Op(quint8 action) {
    code_.append(char(action));
    return *this;
  }

  Avm1Writer& Push(std::initializer_list<PushValue> values) {
    QByteArray payload;
    for (const PushValue& v : values) {
      if (const auto* s = std::get_if<const char*>(&v)) {
        payload.append(char(kPushString));
        payload.append(*s);
        payload.append('\0');
      } else if (const auto* i = std::get_if<int>(&v)) {
        payload.append(char(kPushInteger));
        AppendU32(payload, quint32(*i));
      } else {
        payload.append(char(kPushBoolean));
        payload.append(char(std::get<bool>(v) ? 1 : 0));
      }
    }
    return Record(kActionPush, payload);
  }

  // The value of a variable of the scope chain ("this", "_global", a parameter).
  Avm1Writer& Variable(const char* name) { return Push({name}).Op(kActionGetVariable); }
  // Replaces the object on the stack with its member.
  Avm1Writer& Member(const char* name) { return Push({name}).Op(kActionGetMember); }

  // object.method(args...) with the arguments already on the stack, last one
  // pushed first; the result is dropped.
  Avm1Writer& CallOnThis(const char* method, int argumentCount) {
    Push({argumentCount}).Variable("this").Push({method}).Op(kActionCallMethod);
    return Op(kActionPop);
  }

  Avm1Writer& SetPlayingFlag(bool playing) {
    Variable("_global").Push({kPlayingFlag, playing}).Op(kActionSetMember);
    return *this;
  }

  // Runs then only when the value on the stack is undefined.
  Avm1Writer& IfUndefined(const Avm1Writer& then) {
    Op(kActionTypeOf).Push({"undefined"}).Op(kActionEquals2).Op(kActionNot);
    QByteArray offset;
    AppendU16(offset, quint16(then.Code().size()));
    Record(kActionIf, offset);
    code_.append(then.Code());
    return *this;
  }

  // An anonymous function, left on the stack.
  Avm1Writer& Function(const QList<const char*>& params, const Avm1Writer& body) {
    QByteArray payload;
    payload.append('\0');  // no name
    AppendU16(payload, quint16(params.size()));
    for (const char* p : params) {
      payload.append(p);
      payload.append('\0');
    }
    AppendU16(payload, quint16(body.Code().size()));
    Record(kActionDefineFunction, payload);
    code_.append(body.Code());
    return *this;
  }

 private:
  Avm1Writer& Record(quint8 action, const QByteArray& payload) {
    code_.append(char(action));
    AppendU16(code_, quint16(payload.size()));
    code_.append(payload);
    return *this;
  }

  QByteArray code_;
};

struct Callback {
  const char* name;
  QList<const char*> params;
  Avm1Writer body;
};

QList<Callback> Callbacks() {
  QList<Callback> list;
  list.append({"TotalFrames", {}, Avm1Writer().Variable("this").Member("_totalframes").Op(kActionReturn)});
  list.append({"CurrentFrame",
               {},
               Avm1Writer()
                   .Variable("this")
                   .Member("_currentframe")
                   .Push({1})
                   .Op(kActionSubtract)
                   .Op(kActionReturn)});
  list.append({"GotoFrame",
               {"n"},
               Avm1Writer()
                   .SetPlayingFlag(false)
                   .Variable("n")
                   .Op(kActionToNumber)
                   .Push({1})
                   .Op(kActionAdd2)
                   .CallOnThis("gotoAndStop", 1)});
  list.append({"IsPlaying", {}, Avm1Writer().Variable("_global").Member(kPlayingFlag).Op(kActionReturn)});
  list.append({"Play", {}, Avm1Writer().SetPlayingFlag(true).CallOnThis("play", 0)});
  list.append({"StopPlay", {}, Avm1Writer().SetPlayingFlag(false).CallOnThis("stop", 0)});
  return list;
}

// Tags that describe the movie as a whole and come before its first frame's
// content; the script goes after them.
bool IsMovieHeaderTag(int code) {
  switch (code) {
    case 9:   // SetBackgroundColor
    case 24:  // Protect
    case 41:  // ProductInfo
    case 58:  // EnableDebugger
    case 63:  // DebugID
    case 64:  // EnableDebugger2
    case 65:  // ScriptLimits
    case 69:  // FileAttributes
    case 77:  // Metadata
    case 93:  // EnableTelemetry
      return true;
    default:
      return false;
  }
}

}  // namespace

QStringList ControlCallbackNames() {
  QStringList names;
  for (const Callback& c : Callbacks()) names << QString::fromLatin1(c.name);
  return names;
}

QByteArray ControlScriptActions() {
  Avm1Writer script;
  // Frame 1 runs again whenever the movie loops or goes back to it; the flag
  // must then keep what the last command made it.
  script.Variable("_global").Member(kPlayingFlag).IfUndefined(Avm1Writer().SetPlayingFlag(true));
  for (const Callback& c : Callbacks()) {
    // flash.external.ExternalInterface.addCallback(name, this, function)
    script.Function(c.params, c.body).Variable("this").Push({c.name, 3});
    script.Variable("flash").Member("external").Member("ExternalInterface");
    script.Push({"addCallback"}).Op(kActionCallMethod).Op(kActionPop);
  }
  script.Op(kActionEnd);
  return script.Code();
}

QByteArray ControlScriptTag() {
  const QByteArray body = ControlScriptActions();
  QByteArray tag;
  if (body.size() < 0x3F) {
    AppendU16(tag, quint16((kSwfTagDoAction << 6) | body.size()));
  } else {
    AppendU16(tag, quint16((kSwfTagDoAction << 6) | 0x3F));
    AppendU32(tag, quint32(body.size()));
  }
  return tag + body;
}

TControlledMovie AddControlScript(const QByteArray& file, qint64 cap) {
  TControlledMovie result;
  const TSwfMovieResult movie = UncompressSwf(file, cap);
  result.Header = movie.Header;
  if (!movie.Ok()) {
    result.Error = TControlScriptError::NotSwf;
    return result;
  }
  if (movie.Header.ActionScript3) {
    result.Error = TControlScriptError::ActionScript3;
    return result;
  }
  const QByteArray tag = ControlScriptTag();
  if (qint64(movie.Movie.size()) + tag.size() > cap) {
    result.Error = TControlScriptError::NotSwf;
    return result;
  }

  // A movie whose tag list breaks off later still plays up to the break, so
  // only the tags before the insertion point need to be sound.
  QList<TSwfTag> tags;
  ListSwfTags(movie.Movie, tags);
  const auto at =
      std::find_if(tags.cbegin(), tags.cend(), [](const TSwfTag& t) { return !IsMovieHeaderTag(t.Code); });
  if (at == tags.cend()) {
    result.Error = TControlScriptError::BrokenTags;
    return result;
  }
  const qint64 offset = at->Offset;

  QByteArray out = movie.Movie;
  out.insert(qsizetype(offset), tag);
  out[3] = char(std::max(movie.Header.Version, kControlScriptMinVersion));
  qToLittleEndian<quint32>(quint32(out.size()), out.data() + 4);
  result.Movie = out;
  result.ScriptOffset = offset;
  return result;
}
