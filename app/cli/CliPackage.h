#pragma once

#include <QStringList>

#include "CliCommand.h"

// Helpers shared by the package commands (build, inspect, unpack).

// Appends the blessing files to a build's payload when blessings are enabled and
// there is blessing text (Blessing.dat, then FontStyle.ini).
void AppendBlessingPayload(QStringList& payload);

// A one-line progress bar on stderr, drawn only when stderr is a terminal.
class CliProgressBar {
 public:
  explicit CliProgressBar(CliContext& ctx) : ctx_(ctx) {}
  void Show(int max, int position);

 private:
  CliContext& ctx_;
};

// The command's usage on stderr, after a wrong argument.
void PrintUsageError(const char* command, CliContext& ctx);
