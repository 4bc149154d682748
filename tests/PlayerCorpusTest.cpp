// The real player on real movies nobody here made (the shared SWF corpus, its
// index.tsv giving each header's frame count and kind). ActionScript 1/2 movies
// get the control script: they must load with their header's frame count, and
// those of three frames or more must go to frame 1 when told. ActionScript 3
// movies must load, play and pause. No movie may hang the page or end it; each
// has a time limit, and one that runs over gets a fresh player.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>

#include "PlayerTestUtil.h"

namespace {

using Mode = TRufflePlayer::TFollowMode;

constexpr int kMovieLimitMs = 20000;

struct CorpusMovie {
  QString file;
  int frames = 0;
  bool actionScript3 = false;
};

QList<CorpusMovie> ReadIndex(const QString& folder) {
  QList<CorpusMovie> movies;
  QFile index(folder + "/index.tsv");
  if (!index.open(QIODevice::ReadOnly | QIODevice::Text)) return movies;
  const QList<QByteArray> header = index.readLine().trimmed().split('\t');
  const int file = header.indexOf("file"), frames = header.indexOf("frames"),
            as3 = header.indexOf("actionscript3");
  while (!index.atEnd()) {
    const QList<QByteArray> cells = index.readLine().trimmed().split('\t');
    if (cells.size() != header.size()) continue;
    movies.append({QString::fromUtf8(cells[file]), cells[frames].toInt(), cells[as3] == "yes"});
  }
  return movies;
}

// What went wrong with one movie; empty when nothing did.
QString CheckMovie(TRufflePlayer& player, const QString& path, const CorpusMovie& m) {
  player.SetMovie(path);
  player.Play();
  if (player.TotalFrames() != m.frames) return QString("TotalFrames %1 at once").arg(player.TotalFrames());
  if (!player.Playing()) return "not playing after Play";

  if (!m.actionScript3) {
    if (!WaitFor([&] { return player.FollowMode() == Mode::Flash || player.FollowMode() == Mode::Estimate; },
                 kMovieLimitMs)) {
      return "no answer from the movie";
    }
    if (player.FollowMode() != Mode::Flash) return "the control script did not register its callbacks";
    if (!WaitForPage(player, kMovieLimitMs)) return "commands not carried out";
    if (player.ReportedTotalFrames() != m.frames) {
      return QString("the movie counts %1 frames").arg(player.ReportedTotalFrames());
    }
    if (m.frames >= 3) {
      player.GotoFrame(1);
      if (player.FrameNum() != 1)
        return QString("FrameNum %1 right after GotoFrame(1)").arg(player.FrameNum());
      if (!WaitForPage(player, kMovieLimitMs)) return "GotoFrame not carried out";
      if (player.FrameNum() != 1) return QString("FrameNum %1 after GotoFrame(1)").arg(player.FrameNum());
      if (player.Playing()) return "playing after GotoFrame";
    }
    return QString();
  }

  if (!WaitFor([&] { return player.MovieRunning(); }, kMovieLimitMs)) return "did not start";
  if (player.FollowMode() != Mode::Estimate) return "not followed by play time";
  if (m.frames > 1 && !WaitFor([&] { return player.FrameNum() > 0; }, kMovieLimitMs))
    return "frames do not advance";
  if (!player.Playing()) return "not playing";
  player.Stop();
  if (!WaitForPage(player, kMovieLimitMs)) return "Stop not carried out";
  const int held = player.FrameNum();
  QTest::qWait(300);
  if (player.Playing() || player.FrameNum() != held) return "does not stay paused";
  return QString();
}

TEST(PlayerCorpusTest, EveryMovieLoadsAndAnswers) {
  const QString folder = QStringLiteral(PAVONA_SWF_CORPUS);
  const QList<CorpusMovie> movies = ReadIndex(folder);
  if (movies.isEmpty()) GTEST_SKIP() << "no corpus at " << folder.toStdString();

  TPlayerStage stage;
  std::unique_ptr<TRufflePlayer> player = stage.NewPlayer();
  int passed = 0, checked = 0;
  QList<qint64> times;
  QElapsedTimer all;
  all.start();
  for (const CorpusMovie& m : movies) {
    QElapsedTimer t;
    t.start();
    QString problem = CheckMovie(*player, folder + "/" + m.file, m);
    if (problem.isEmpty() && !player->FailureText().isEmpty()) problem = player->FailureText();
    const qint64 ms = t.elapsed();
    times.append(ms);
    ++checked;
    std::printf("%-52s %s %4d frames %6.2f s  %s\n", qPrintable(m.file), m.actionScript3 ? "AS3  " : "AS1/2",
                m.frames, ms / 1000.0, problem.isEmpty() ? "ok" : qPrintable(problem));
    if (problem.isEmpty()) {
      ++passed;
      continue;
    }
    ADD_FAILURE() << m.file.toStdString() << ": " << problem.toStdString();
    for (const QString& line : player->ConsoleMessages()) std::printf("    console %s\n", qPrintable(line));
    // A movie that ran over may still hold the page: go on with a fresh one.
    player = stage.NewPlayer();
  }
  std::sort(times.begin(), times.end());
  std::printf("%d of %d movies passed in %.1f s; per movie: median %.2f s, longest %.2f s\n", passed, checked,
              all.elapsed() / 1000.0, times[times.size() / 2] / 1000.0, times.last() / 1000.0);
}

}  // namespace
