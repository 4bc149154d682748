// The real player: Ruffle in the web engine, driven through the player interface
// the way the first wizard page drives it, on movies made by the generator.
#include <gtest/gtest.h>

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>

#include "PlayerTestUtil.h"
#include "SwfGen.h"
#include "TestUtil.h"

namespace {

using Mode = TRufflePlayer::TFollowMode;

// 100 frames, one square crossing the stage from left to right.
TSwfGenOptions CrossingSquare(TSwfCompression compression = TSwfCompression::None) {
  TSwfGenOptions o;
  o.FrameCount = 100;
  o.FrameRate = 24;
  o.Compression = compression;
  o.Version = compression == TSwfCompression::Lzma ? 13 : 10;
  o.ShapeSize = 60;
  o.Colors = {0xE53935};
  o.Background = 0xFFFFFF;
  return o;
}

// One player for the whole suite, as the main window keeps one: the engine
// starts once, and every test begins by setting its own movie.
class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    stage_ = new TPlayerStage;
    player_ = stage_->NewPlayer().release();
  }
  static void TearDownTestSuite() {
    delete player_;
    delete stage_;
  }

  void TearDown() override {
    if (HasFailure()) {
      std::printf("  mode %s, running %d, settled %d, failure \"%s\"\n", ModeName(player_->FollowMode()),
                  player_->MovieRunning(), player_->Settled(), qPrintable(player_->FailureText()));
      for (const QString& line : player_->ConsoleMessages()) std::printf("  console %s\n", qPrintable(line));
    }
  }

  QString Write(const QString& name, const QByteArray& bytes) {
    folder_.Write(name, bytes);
    return folder_.Path(name);
  }

  // Whether the view shows the square where the generator put it in frame.
  static bool ShowsSquareAt(const TSwfGenOptions& o, int frame, QString* seen = nullptr) {
    QWebEngineView* view = player_->View();
    if (!view) return false;
    const TSwfGenPlacement p = SwfGenShapePlacement(o, 0, frame);
    const QPointF want = StageToView(QSizeF(o.Width, o.Height), view->size(), QPointF(p.X, p.Y));
    const std::optional<QPointF> got = ColourCentre(view->grab().toImage(), o.Colors[0]);
    if (seen) {
      *seen = got ? QString("square at %1,%2, wanted %3,%4")
                        .arg(got->x())
                        .arg(got->y())
                        .arg(want.x())
                        .arg(want.y())
                  : QString("no square, wanted it at %1,%2").arg(want.x()).arg(want.y());
    }
    return got && std::hypot(got->x() - want.x(), got->y() - want.y()) < 3.0;
  }

  static void ExpectSquareAt(const TSwfGenOptions& o, int frame) {
    QString seen;
    EXPECT_TRUE(WaitFor([&] { return ShowsSquareAt(o, frame, &seen); }, 15000))
        << "frame " << frame << ": " << seen.toStdString();
  }

  // Pausing holds the frame: the page keeps reporting the one it stopped at.
  static void ExpectHeld(int frame) {
    QTest::qWait(400);  // ten frames' time at 24 frames a second
    EXPECT_EQ(player_->FrameNum(), frame);
    EXPECT_FALSE(player_->Playing());
  }

  static TPlayerStage* stage_;
  static TRufflePlayer* player_;
  TempFolder folder_;
};

TPlayerStage* PlayerTest::stage_ = nullptr;
TRufflePlayer* PlayerTest::player_ = nullptr;

TEST_F(PlayerTest, PlaysPausesSeeksAndStopsScriptableMovies) {
  for (const TSwfCompression compression :
       {TSwfCompression::None, TSwfCompression::Zlib, TSwfCompression::Lzma}) {
    SCOPED_TRACE(testing::Message() << "compression " << int(compression));
    const TSwfGenOptions o = CrossingSquare(compression);
    const QByteArray bytes = GenerateSwf(o);
    const QString path = Write(QString("crossing%1.swf").arg(int(compression)), bytes);

    // What the first page does on play.
    player_->SetMovie(path);
    player_->Play();
    EXPECT_EQ(player_->Movie(), path);
    EXPECT_EQ(player_->TotalFrames(), 100) << "known from the header at once";
    EXPECT_TRUE(player_->Playing());
    ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash; }))
        << ModeName(player_->FollowMode());
    EXPECT_TRUE(player_->Scripted());
    EXPECT_TRUE(player_->MovieRunning());
    EXPECT_EQ(player_->ReportedTotalFrames(), 100) << "as the movie itself counts";
    ASSERT_TRUE(WaitFor([] { return player_->FrameNum() >= 5; })) << "frame " << player_->FrameNum();
    EXPECT_TRUE(player_->Playing());

    // Pause.
    player_->Stop();
    EXPECT_FALSE(player_->Playing());
    ASSERT_TRUE(WaitForPage(*player_));
    const int paused = player_->FrameNum();
    EXPECT_GE(paused, 5);
    ExpectHeld(paused);
    ExpectSquareAt(o, paused);

    // Seek, then play on from there.
    player_->GotoFrame(50);
    EXPECT_EQ(player_->FrameNum(), 50);
    EXPECT_FALSE(player_->Playing());
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_EQ(player_->FrameNum(), 50);
    ExpectSquareAt(o, 50);
    ExpectHeld(50);
    player_->Play();
    EXPECT_TRUE(player_->Playing());
    EXPECT_TRUE(WaitFor([] { return player_->FrameNum() > 52; })) << "frame " << player_->FrameNum();

    // Stop as the window does: back to the first frame, halted.
    player_->GotoFrame(0);
    player_->Stop();
    EXPECT_EQ(player_->FrameNum(), 0);
    EXPECT_FALSE(player_->Playing());
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_EQ(player_->FrameNum(), 0);
    ExpectSquareAt(o, 0);
    ExpectHeld(0);

    // Frames outside the movie go to its ends.
    player_->GotoFrame(250);
    EXPECT_EQ(player_->FrameNum(), 99);
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_EQ(player_->FrameNum(), 99);
    player_->GotoFrame(-4);
    EXPECT_EQ(player_->FrameNum(), 0);
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_EQ(player_->FrameNum(), 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes) << "the file itself is never changed";
  }
}

TEST_F(PlayerTest, ActionScript3MoviesPlayAndPauseByPlayTime) {
  TSwfGenOptions o = CrossingSquare(TSwfCompression::Zlib);
  o.ActionScript3 = true;
  player_->SetMovie(Write("as3.swf", GenerateSwf(o)));
  player_->Play();
  EXPECT_EQ(player_->TotalFrames(), 100);
  EXPECT_TRUE(player_->Playing());
  ASSERT_TRUE(WaitFor([] { return player_->MovieRunning(); }));
  EXPECT_EQ(player_->FollowMode(), Mode::Estimate);
  EXPECT_FALSE(player_->Scripted());
  ASSERT_TRUE(WaitFor([] { return player_->FrameNum() >= 3; })) << "frame " << player_->FrameNum();
  EXPECT_TRUE(player_->Playing());

  player_->Stop();
  EXPECT_FALSE(player_->Playing());
  ASSERT_TRUE(WaitForPage(*player_));
  const int paused = player_->FrameNum();
  ExpectHeld(paused);

  player_->Play();
  EXPECT_TRUE(player_->Playing());
  EXPECT_TRUE(WaitFor([&] { return player_->FrameNum() != paused; }));

  // Only the way back to the first frame is open; other frames are refused.
  ASSERT_TRUE(WaitForPage(*player_));
  const int before = player_->FrameNum();
  player_->GotoFrame(60);
  EXPECT_TRUE(player_->Playing());
  EXPECT_EQ(player_->FrameNum(), before);
  EXPECT_TRUE(player_->Settled()) << "nothing was sent";

  player_->GotoFrame(0);
  player_->Stop();
  EXPECT_EQ(player_->FrameNum(), 0);
  EXPECT_FALSE(player_->Playing());
  ASSERT_TRUE(WaitForPage(*player_));
  ExpectSquareAt(o, 0);
  QTest::qWait(2500);  // past the time a second frame would have come
  ExpectHeld(0);
  ExpectSquareAt(o, 0);

  player_->Play();
  EXPECT_TRUE(WaitFor([] { return player_->FrameNum() >= 3; })) << "plays again from the start";
}

TEST_F(PlayerTest, ActionScript3MovieStoppedAtOnceHoldsItsFirstFrame) {
  TSwfGenOptions o = CrossingSquare();
  o.ActionScript3 = true;
  player_->SetMovie(Write("as3-stopped.swf", GenerateSwf(o)));
  player_->Stop();
  EXPECT_FALSE(player_->Playing());
  ASSERT_TRUE(WaitForPage(*player_));
  ExpectSquareAt(o, 0);
  QTest::qWait(2500);  // past the time a second frame would have come
  ExpectHeld(0);
  ExpectSquareAt(o, 0);
}

TEST_F(PlayerTest, AMovieSetWhileThePlayerIsHiddenStartsWhenShown) {
  // As when the user plays a movie and turns to another page of the wizard
  // at once: a hidden page runs nothing, and must not give up on the movie.
  player_->SetMovie(Write("hidden.swf", GenerateSwf(CrossingSquare())));
  player_->Play();
  stage_->Panel()->window()->hide();
  QTest::qWait(7000);  // longer than the page waits for a shown movie's callbacks
  EXPECT_NE(player_->FollowMode(), Mode::Estimate);
  stage_->Panel()->window()->show();
  EXPECT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash; }))
      << ModeName(player_->FollowMode());
  EXPECT_TRUE(WaitFor([] { return player_->FrameNum() > 0; }));
}

TEST_F(PlayerTest, ShortMoviesReportTheirFrameCount) {
  for (const int frames : {1, 2, 3}) {
    SCOPED_TRACE(frames);
    TSwfGenOptions o = CrossingSquare();
    o.FrameCount = frames;
    player_->SetMovie(Write(QString("short%1.swf").arg(frames), GenerateSwf(o)));
    player_->Play();
    EXPECT_EQ(player_->TotalFrames(), frames);
    ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash; }))
        << ModeName(player_->FollowMode());
    EXPECT_EQ(player_->ReportedTotalFrames(), frames);
    EXPECT_LT(player_->FrameNum(), frames);
  }
}

TEST_F(PlayerTest, OldMoviesAreScriptedToo) {
  // ExternalInterface needs SWF 8; the copy the player gets says 8.
  for (const int version : {5, 6, 7}) {
    SCOPED_TRACE(version);
    TSwfGenOptions o = CrossingSquare();
    o.Version = version;
    player_->SetMovie(Write(QString("v%1.swf").arg(version), GenerateSwf(o)));
    player_->Play();
    ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash; }))
        << ModeName(player_->FollowMode());
    player_->GotoFrame(20);
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_EQ(player_->FrameNum(), 20);
  }
}

TEST_F(PlayerTest, ANewMovieReplacesOneStillLoading) {
  TSwfGenOptions first = CrossingSquare();
  TSwfGenOptions second = CrossingSquare(TSwfCompression::Zlib);
  second.FrameCount = 40;
  player_->SetMovie(Write("first.swf", GenerateSwf(first)));
  player_->Play();
  const QString path = Write("second.swf", GenerateSwf(second));
  player_->SetMovie(path);
  player_->Play();
  EXPECT_EQ(player_->Movie(), path);
  EXPECT_EQ(player_->TotalFrames(), 40);
  ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash; }));
  ASSERT_TRUE(WaitForPage(*player_));
  EXPECT_EQ(player_->ReportedTotalFrames(), 40);
  EXPECT_TRUE(player_->Playing());

  // Setting the same movie again starts it over.
  TSwfGenOptions slow = CrossingSquare();
  slow.FrameRate = 2;
  const QString slowPath = Write("slow.swf", GenerateSwf(slow));
  player_->SetMovie(slowPath);
  ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash && player_->FrameNum() >= 6; }));
  player_->SetMovie(slowPath);
  EXPECT_EQ(player_->FrameNum(), 0);
  ASSERT_TRUE(WaitFor([] { return player_->FollowMode() == Mode::Flash && player_->Settled(); }));
  EXPECT_LT(player_->FrameNum(), 6);
}

TEST_F(PlayerTest, MissingAndForeignFilesLeaveThePlayerEmpty) {
  const QString movie = Write("good.swf", GenerateSwf(CrossingSquare()));
  struct Case {
    const char* what;
    QString path;
  };
  const QList<Case> cases = {
      {"missing", folder_.Path("missing.swf")},
      {"text", Write("text.swf", "this is not a movie")},
      {"header cut short", Write("cut.swf", QByteArray("FWS\x0a", 4))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    player_->SetMovie(movie);
    player_->Play();
    ASSERT_TRUE(WaitFor([] { return player_->MovieRunning() && player_->FrameNum() > 0; }));

    player_->SetMovie(c.path);
    EXPECT_EQ(player_->Movie(), c.path);
    EXPECT_EQ(player_->TotalFrames(), 0);
    EXPECT_EQ(player_->FrameNum(), 0);
    EXPECT_FALSE(player_->Playing());
    player_->Play();
    player_->GotoFrame(5);
    EXPECT_FALSE(player_->Playing());
    EXPECT_EQ(player_->FrameNum(), 0);
    ASSERT_TRUE(WaitForPage(*player_));
    EXPECT_FALSE(player_->MovieRunning());
    int shown = -1;
    player_->View()->page()->runJavaScript("document.getElementById('stage').childElementCount",
                                           [&](const QVariant& v) { shown = v.toInt(); });
    ASSERT_TRUE(WaitFor([&] { return shown >= 0; }));
    EXPECT_EQ(shown, 0) << "the earlier movie was taken off the page";
    EXPECT_EQ(player_->FollowMode(), Mode::None);
    EXPECT_EQ(player_->TotalFrames(), 0);
    EXPECT_FALSE(player_->Playing());
  }
}

TEST_F(PlayerTest, PageCannotReachTheNetworkOrOtherFiles) {
  player_->SetMovie(Write("any.swf", GenerateSwf(CrossingSquare())));
  ASSERT_TRUE(WaitFor([] { return player_->PageReady(); }));
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  int connections = 0;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* s = server.nextPendingConnection()) {
      ++connections;
      s->close();
    }
  });
  QTemporaryFile outside;
  ASSERT_TRUE(outside.open());
  outside.write("secret");
  outside.flush();

  struct Case {
    QString url;
    bool reachable;
  };
  const QList<Case> cases = {
      {"ruffle.js", true},  // the page's own files, so the check can tell
      {QString("http://127.0.0.1:%1/leak").arg(server.serverPort()), false},
      {QUrl::fromLocalFile(outside.fileName()).toString(), false},
  };
  QWebEnginePage* page = player_->View()->page();
  for (int i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].url.toStdString());
    page->runJavaScript(
        QString("window.probe%1 = 'waiting'; fetch('%2').then(r => r.text())"
                ".then(() => { window.probe%1 = 'read'; }, () => { window.probe%1 = 'refused'; });")
            .arg(i)
            .arg(cases[i].url));
    QString outcome;
    ASSERT_TRUE(WaitFor([&] {
      page->runJavaScript(QString("window.probe%1").arg(i),
                          [&](const QVariant& v) { outcome = v.toString(); });
      QTest::qWait(50);
      return outcome == "read" || outcome == "refused";
    }));
    EXPECT_EQ(outcome, cases[i].reachable ? "read" : "refused");
  }
  QTest::qWait(200);
  EXPECT_EQ(connections, 0);
}

// A player of its own: what happens before its first movie.
TEST(PlayerStartTest, EngineStartsWithTheFirstMovieOnly) {
  TPlayerStage stage;
  std::unique_ptr<TRufflePlayer> player = stage.NewPlayer();
  EXPECT_EQ(player->View(), nullptr);
  EXPECT_TRUE(player->Movie().isEmpty());
  EXPECT_EQ(player->TotalFrames(), 0);
  EXPECT_FALSE(player->Playing());
  player->Play();
  player->Stop();
  player->GotoFrame(3);
  EXPECT_EQ(player->View(), nullptr) << "commands without a movie start nothing";
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(player->FrameNum(), 0);

  TempFolder folder;
  folder.Write("empty.swf", QByteArray());
  for (const QString& path : {folder.Path("missing.swf"), folder.Path("empty.swf"), folder.Path()}) {
    player->SetMovie(path);
    EXPECT_EQ(player->Movie(), path);
    EXPECT_EQ(player->View(), nullptr) << "no movie to show needs no engine";
    EXPECT_EQ(player->TotalFrames(), 0);
    EXPECT_FALSE(player->Playing());
  }

  folder.Write("m.swf", GenerateSwf(CrossingSquare()));
  player->SetMovie(folder.Path("m.swf"));
  ASSERT_NE(player->View(), nullptr);
  EXPECT_EQ(player->View()->parentWidget(), stage.Panel());
  EXPECT_EQ(player->View()->geometry(), QRect(2, 2, 213, 157));
  stage.Panel()->resize(300, 200);
  EXPECT_EQ(player->View()->geometry(), QRect(2, 2, 296, 196));
  EXPECT_TRUE(WaitFor([&] { return player->FollowMode() == Mode::Flash; }));
}

TEST(PlayerStartTest, MissingPageLeavesThePlayerQuiet) {
  TPlayerStage stage;
  TempFolder folder;
  folder.Write("m.swf", GenerateSwf(CrossingSquare()));
  TRufflePlayer player(stage.Panel(), folder.Path("no-such-folder"));
  player.SetMovie(folder.Path("m.swf"));
  player.Play();
  EXPECT_EQ(player.TotalFrames(), 100);
  EXPECT_TRUE(WaitFor([&] { return !player.FailureText().isEmpty(); })) << "the page load fails";
  EXPECT_FALSE(player.PageReady());
  EXPECT_FALSE(player.MovieRunning());
  EXPECT_FALSE(player.Playing());
  player.GotoFrame(10);
  player.Play();
  EXPECT_EQ(player.FrameNum(), 0);
  EXPECT_FALSE(player.Playing());
}

}  // namespace
