#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

// The few calls of the operating system that the domain libraries and the
// benchmarks need and Qt does not offer.
namespace platform {

// How a child process ended and the most memory it held.
struct ChildRun {
  bool started = false;
  int exitCode = -1;       // -1 when it did not end normally
  qint64 peakRssKiB = -1;  // the child's peak resident set; -1 where the platform cannot tell
};

// Runs program with args and waits for it. Its standard output goes to
// stdoutPath (created or truncated) when that is given, else to ours.
ChildRun RunChildMeasured(const QString& program, const QStringList& args,
                          const QString& stdoutPath = QString());

// Copies file data from one open file to another, piece by piece. Where the
// system can copy between two files by itself (copy_file_range), the bytes never
// pass through this process; elsewhere, and whenever the system declines, they go
// through one buffer of the piece size. Either way at most one piece is in memory.
class FileDataCopier {
 public:
  // piece bounds the buffer; kernelPiece bounds one copy made by the system,
  // which needs no memory here and goes faster in larger steps.
  explicit FileDataCopier(qint64 piece, qint64 kernelPiece = 64 * 1024 * 1024);

  struct Result {
    qint64 bytes = 0;  // moved by this call; 0 at the end of the source
    enum Failure { None, Read, Write } failure = None;
    QString reason;  // the system's reason when failure is set
  };

  // Moves up to one piece (or kernel piece), and at most maxBytes, from the current position of
  // `from` to the current position of `to`; both positions advance.
  Result CopyPiece(QFileDevice& from, QFileDevice& to, qint64 maxBytes);

 private:
  qint64 piece_;
  qint64 kernelPiece_;
  QByteArray buffer_;
  bool kernelCopy_ = true;
};

// True when the process's standard error goes to a terminal (progress bars are drawn only there).
bool StderrIsTerminal();

}  // namespace platform
