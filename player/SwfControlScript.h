#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "SwfHeader.h"

// Makes an ActionScript 1/2 movie controllable from the page that hosts it:
// an in-memory copy of the movie gets one DoAction tag in frame 1 whose script
// registers ExternalInterface callbacks named like the Flash control's own
// scripting methods. They act on the root timeline, frames counted from 0:
//
//   TotalFrames()   -> _totalframes
//   CurrentFrame()  -> _currentframe - 1
//   GotoFrame(n)    -> gotoAndStop(n + 1)
//   IsPlaying()     -> whether Play, rather than StopPlay or GotoFrame, came last
//                      (true from the start: the player starts movies playing);
//                      AVM1 cannot read a timeline's playing state, so a stop()
//                      in the movie's own script goes unseen
//   Play()          -> play()
//   StopPlay()      -> stop()

// The names the script registers, in the order it registers them.
QStringList ControlCallbackNames();

// ExternalInterface (the flash.external package) exists for SWF 8 and later only.
constexpr int kControlScriptMinVersion = 8;
constexpr int kSwfTagDoAction = 12;

// The DoAction body: AVM1 bytecode ending with ActionEnd.
QByteArray ControlScriptActions();
// The whole DoAction tag, record header included.
QByteArray ControlScriptTag();

enum class TControlScriptError {
  None,
  NotSwf,         // no SWF signature, a header that cannot be read, or data that cannot be decompressed
  ActionScript3,  // AVM2 movies cannot run AVM1 script
  BrokenTags,     // the tag list runs past the end of the movie
};

struct TControlledMovie {
  TControlScriptError Error = TControlScriptError::None;
  TSwfHeader Header;  // of the original file
  // Uncompressed ("FWS"), version raised to kControlScriptMinVersion when lower,
  // the length field equal to Movie.size(), the script's tag in frame 1.
  QByteArray Movie;
  qint64 ScriptOffset = -1;  // where the DoAction tag starts in Movie
  bool Ok() const { return Error == TControlScriptError::None; }
};

// The copy of the movie file (its whole bytes) with the control script added;
// the input is not changed. The tag goes after the tags that describe the movie
// as a whole (FileAttributes, SetBackgroundColor, Metadata and the like), so it
// precedes everything else of frame 1 and its callbacks exist from the first
// frame on, before the movie's own frame-1 scripts run.
TControlledMovie AddControlScript(const QByteArray& file, qint64 cap = kSwfMovieSizeCap);
