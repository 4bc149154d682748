#include "BuildSaver.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <climits>
#include <filesystem>
#include <system_error>
#include <vector>

#include "ExecutablePath.h"
#include "GbkText.h"
#include "PackageFormat.h"
#include "PavonaError.h"
#include "Process.h"

namespace {

// The buffer for copies the system cannot make by itself: large enough that
// the copy runs at the disk's pace, small enough that a payload of any size
// costs only this much memory.
constexpr qint64 kCopyPiece = 1024 * 1024;

platform::WriteFaultHook& FaultHook() {
  static platform::WriteFaultHook hook;
  return hook;
}

std::filesystem::path FsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

// The saver name of a package path: its file name without the extension.
QString SaverNameOf(const QString& packagePath) {
  const QString fileName = QFileInfo(packagePath).fileName();
  const qsizetype dot = fileName.lastIndexOf(u'.');
  return dot >= 0 ? fileName.left(dot) : fileName;
}

QString EngineNameOf(const QString& packagePath) {
  return SaverNameOf(packagePath) + QStringLiteral(".scr");
}

[[noreturn]] void ThrowFileError(const char* what, const QString& path, const QString& reason) {
  throw EInOutError(QStringLiteral("%1 \"%2\". %3").arg(QString::fromLatin1(what), path, reason));
}

quint32 EntryLength(qint64 size, const QString& path) {
  if (size < 0 || size > qint64(UINT32_MAX)) {
    throw EPackageError(
        QStringLiteral("File \"%1\" is too large for a saver package (4 GiB or more).").arg(path));
  }
  return static_cast<quint32>(size);
}

void AppendRecord(QByteArray& directory, quint32 index, const QByteArray& name, quint32 size) {
  TPackageEntry entry{};
  entry.EntryIndex = index;
  package::SetField(entry.EntryName, name);
  entry.EntrySize = size;
  directory.append(reinterpret_cast<const char*>(&entry), sizeof entry);
}

// Reads a companion stub whole. False when it does not exist as a file.
bool ReadStub(const QString& path, QByteArray& stream) {
  stream.clear();
  if (!QFileInfo(path).isFile()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) ThrowFileError("Cannot open file", path, file.errorString());
  stream = file.readAll();
  if (file.error() != QFileDevice::NoError) ThrowFileError("Cannot read file", path, file.errorString());
  EntryLength(stream.size(), path);
  return true;
}

// The package under construction: a temporary file in the output folder that
// becomes the package only by the final rename.
class PackageOutput {
 public:
  explicit PackageOutput(const QString& packagePath)
      : path_(packagePath),
        file_(QFileInfo(packagePath).absolutePath() + QStringLiteral("/.pavona-build-XXXXXX")) {
    if (!file_.open()) ThrowFileError("Cannot create file", path_, file_.errorString());
  }

  void Write(const char* data, qint64 size) {
    CheckWrite();
    if (file_.write(data, size) != size) Fail(file_.errorString());
    written_ += size;
  }
  // For data copied straight into File().
  void CheckWrite() {
    if (FaultHook() && !FaultHook()(path_, written_)) Fail(QStringLiteral("No space left on device"));
  }
  void Advance(qint64 size) { written_ += size; }
  QFileDevice& File() { return file_; }
  [[noreturn]] void Fail(const QString& reason) { ThrowFileError("Cannot write file", path_, reason); }
  void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }

  void Commit(QFileDevice::Permissions permissions) {
    CheckWrite();
    if (!file_.flush()) Fail(file_.errorString());
    file_.close();
    // Best effort: a package that cannot take the stub's bits is still whole.
    file_.setPermissions(permissions | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::error_code ec;
    std::filesystem::rename(FsPath(file_.fileName()), FsPath(path_), ec);
    if (ec) ThrowFileError("Cannot create file", path_, QString::fromLocal8Bit(ec.message().c_str()));
    file_.setAutoRemove(false);
  }
  // Without Commit the temporary file goes when the object does.

 private:
  QString path_;
  QTemporaryFile file_;
  qint64 written_ = 0;
};

}  // namespace

void TBuildSaver::SetWriteFaultHookForTesting(platform::WriteFaultHook hook) {
  FaultHook() = std::move(hook);
}

TBuildSaver::TBuildSaver() {
  const QString folder = platform::ExecutableFolder();
  InstallFile = folder + QStringLiteral("Install.dll");
  UninstallFile = folder + QStringLiteral("Uninstall.dll");
  EngineFile = folder + QStringLiteral("Glimmora.dll");
}

TBuildSaver::~TBuildSaver() = default;

void TBuildSaver::SetFiles(const QStringList& files) {
  Files = files;
}

bool TBuildSaver::LoadInstaller(QByteArray& stream) {
  return ReadStub(InstallFile, stream);
}

bool TBuildSaver::LoadEngine(QByteArray& stream, const QString& packagePath) {
  if (!ReadStub(EngineFile, stream)) return false;
  const QByteArray name = package::EncodeName(EngineNameOf(packagePath), package::MaxEntryName);
  AppendRecord(Directory, package::EngineIndex, name, EntryLength(stream.size(), EngineFile));
  return true;
}

bool TBuildSaver::LoadUninstaller(QByteArray& stream) {
  if (!ReadStub(UninstallFile, stream)) return false;
  AppendRecord(Directory, package::UninstallerIndex, package::UninstallerEntryName,
               EntryLength(stream.size(), UninstallFile));
  return true;
}

bool TBuildSaver::Build(const QString& packagePath) {
  // Every name is checked before the package file exists, so a refused name
  // leaves nothing behind and no field is ever written past its width.
  if (Files.size() > INT_MAX - 4) {
    throw EPackageError(QStringLiteral("Too many files for one saver package."));
  }
  TPackageTrailer trailer{};
  package::SetField(trailer.SaverName, package::EncodeName(SaverNameOf(packagePath), package::MaxSaverName));
  package::EncodeName(EngineNameOf(packagePath), package::MaxEntryName);
  std::vector<QByteArray> payloadNames;
  payloadNames.reserve(static_cast<size_t>(Files.size()));
  for (const QString& file : Files) {
    payloadNames.push_back(package::EncodeName(QFileInfo(file).fileName(), package::MaxEntryName));
  }

  const int n = static_cast<int>(Files.size());
  const int last = n + 3;
  auto report = [&](int position) {
    if (OnProgress) OnProgress(last, position);
  };

  // Released on every way out, errors included.
  struct Scope {
    QByteArray& directory;
    ~Scope() { directory = QByteArray(); }
  } scope{Directory};
  Directory = QByteArray();
  Directory.reserve(static_cast<qsizetype>((n + 2) * package::EntrySize));

  PackageOutput out(packagePath);
  QByteArray stream;
  if (!LoadInstaller(stream)) return false;
  const quint32 stubSize = static_cast<quint32>(stream.size());
  out.Write(stream);
  report(0);

  if (!LoadEngine(stream, packagePath)) return false;
  out.Write(stream);
  report(1);

  if (!LoadUninstaller(stream)) return false;
  out.Write(stream);
  stream = QByteArray();
  report(2);

  platform::FileDataCopier copier(kCopyPiece);
  for (int k = 0; k < n; ++k) {
    const QString& path = Files[k];
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
      ThrowFileError("Cannot open file", path, file.errorString());
    }
    EntryLength(file.size(), path);
    if (OnProcessMessages) OnProcessMessages();
    // The record takes the count of bytes actually copied, so a file that grows
    // or shrinks while it is read still gives a package whose sizes add up.
    qint64 copied = 0;
    for (;;) {
      // One byte more than an entry may hold, so an oversized file is caught.
      out.CheckWrite();
      const auto piece = copier.CopyPiece(file, out.File(), qint64(UINT32_MAX) + 1 - copied);
      if (piece.failure == platform::FileDataCopier::Result::Read) {
        ThrowFileError("Cannot read file", path, piece.reason);
      }
      if (piece.failure == platform::FileDataCopier::Result::Write) out.Fail(piece.reason);
      if (piece.bytes == 0) break;
      copied += piece.bytes;
      out.Advance(piece.bytes);
      EntryLength(copied, path);
    }
    AppendRecord(Directory, static_cast<quint32>(package::FirstPayloadIndex + k), payloadNames[k],
                 static_cast<quint32>(copied));
    report(3 + k);
  }

  out.Write(Directory);
  trailer.StubSize = stubSize;
  trailer.EntryCount = static_cast<quint32>(n + 2);
  out.Write(reinterpret_cast<const char*>(&trailer), sizeof trailer);
  // The package is as runnable as the installer stub it starts with.
  out.Commit(QFileInfo(InstallFile).permissions());
  report(last);
  return true;
}
