#include "Process.h"

#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace platform {

ChildRun RunChildMeasured(const QString& program, const QStringList& args, const QString& stdoutPath) {
  ChildRun run;
#ifdef Q_OS_LINUX
  // Everything the child needs is prepared before the fork: after it, only
  // async-signal-safe calls are allowed.
  std::vector<QByteArray> storage;
  storage.push_back(QFile::encodeName(program));
  for (const QString& a : args) storage.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  const QByteArray out = QFile::encodeName(stdoutPath);

  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    if (!out.isEmpty()) {
      const int fd = open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) _exit(127);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  run.started = true;
  int status = 0;
  struct rusage usage {};
  pid_t waited;
  do {
    waited = wait4(pid, &status, 0, &usage);
  } while (waited < 0 && errno == EINTR);
  if (waited != pid) return run;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.peakRssKiB = usage.ru_maxrss;  // kilobytes on Linux
#else
  QProcess p;
  if (!stdoutPath.isEmpty()) {
    p.setStandardOutputFile(stdoutPath);
  } else {
    p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
  }
  p.start(program, args);
  run.started = p.waitForStarted(-1);
  if (run.started && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit)
    run.exitCode = p.exitCode();
#endif
  return run;
}

FileDataCopier::FileDataCopier(qint64 piece, qint64 kernelPiece)
    : piece_(std::max<qint64>(piece, 1)), kernelPiece_(std::max<qint64>(kernelPiece, 1)) {}

FileDataCopier::Result FileDataCopier::CopyPiece(QFileDevice& from, QFileDevice& to, qint64 maxBytes) {
  Result result;
  if (maxBytes <= 0) return result;
  const qint64 want = std::min(piece_, maxBytes);
#ifdef Q_OS_LINUX
  if (kernelCopy_ && from.handle() >= 0 && to.handle() >= 0) {
    if (!to.flush()) {
      result.failure = Result::Write;
      result.reason = to.errorString();
      return result;
    }
    const qint64 fromPos = from.pos(), toPos = to.pos();
    loff_t inOffset = fromPos, outOffset = toPos;
    ssize_t n;
    do {
      n = copy_file_range(from.handle(), &inOffset, to.handle(), &outOffset,
                          static_cast<size_t>(std::min(kernelPiece_, maxBytes)), 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
      // Explicit offsets leave the descriptors where they were; the seeks keep
      // the files' own positions and the descriptors' in step.
      if (!from.seek(fromPos + n) || !to.seek(toPos + n)) {
        result.failure = Result::Write;
        result.reason = to.errorString();
        return result;
      }
      result.bytes = n;
      return result;
    }
    const int e = n < 0 ? errno : 0;
    if (e == ENOSPC || e == EDQUOT || e == EFBIG) {
      result.failure = Result::Write;
      result.reason = QString::fromLocal8Bit(std::strerror(e));
      return result;
    }
    // Not offered for these files (another file system, a special file, an old
    // kernel) or some other trouble: the plain copy below goes on, and names the
    // side at fault if there is one. A zero is checked the same way, since some
    // file systems report no data to the kernel copy while a read finds some.
    if (n < 0) kernelCopy_ = false;
  }
#endif
  if (buffer_.size() < piece_) buffer_.resize(piece_);
  const qint64 got = from.read(buffer_.data(), want);
  if (got < 0) {
    result.failure = Result::Read;
    result.reason = from.errorString();
    return result;
  }
  if (got > 0) kernelCopy_ = false;
  if (got > 0 && to.write(buffer_.constData(), got) != got) {
    result.failure = Result::Write;
    result.reason = to.errorString();
    return result;
  }
  result.bytes = got;
  return result;
}

bool StderrIsTerminal() {
#ifdef Q_OS_UNIX
  return isatty(STDERR_FILENO) != 0;
#else
  return false;
#endif
}

}  // namespace platform
