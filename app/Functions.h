#pragma once

#include <QString>

// The message catalogue: every fixed message the tool shows, by code. The caption
// of each message box is MessageCaption().
enum class TMsgStyle { Warning, Error, Information, Question };

QString MessageCaption();
// The text of a code; an unknown code gives an empty text.
QString MessageText(int code);
// The style the callers show a code with (warning for an unknown code).
TMsgStyle MessageStyle(int code);
