// The first wizard page with the real player: its play, pause, stop, timer and
// seeking commands, as the application wires them.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <QWebEngineView>

#include "Dialogs.h"
#include "ExecutablePath.h"
#include "LoadedPlayer.h"
#include "PlayerTestUtil.h"
#include "SwfGen.h"
#include "TestUtil.h"
#include "untMain.h"

namespace {

class PlayerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::DialogScript::Reset();
    platform::DialogScript::SetStrict(true);
    TPavona_Main::SetFlashPlayerFactory(MakeRufflePlayerFactory(QStringLiteral(PAVONA_RUFFLE_DIR)));
    w = std::make_unique<TPavona_Main>();
    w->show();
  }
  void TearDown() override {
    w.reset();
    TPavona_Main::SetFlashPlayerFactory(nullptr);
    platform::DialogScript::Reset();
  }
  void Run(const char* name) { w->findChild<QAction*>(name)->trigger(); }
  QString Movie(const QString& name, int frames) {
    TSwfGenOptions o;
    o.FrameCount = frames;
    o.FrameRate = 24;
    o.Compression = TSwfCompression::Zlib;
    dir.Write(name, GenerateSwf(o));
    return dir.Path(name);
  }
  TRufflePlayer* Player() { return dynamic_cast<TRufflePlayer*>(w->swfFlashPlayer()); }

  TempFolder dir;
  AppFolderOverride app{dir.Path()};
  std::unique_ptr<TPavona_Main> w;
};

TEST_F(PlayerWindow, PageOnePlaysPausesSeeksAndStopsARealMovie) {
  w->lstFlashFiles->addItems({Movie("long.swf", 100), Movie("two.swf", 2)});
  w->lstFlashFiles->setCurrentRow(0);
  Run("actFlashPlay");
  TRufflePlayer* player = Player();
  ASSERT_NE(player, nullptr);
  ASSERT_NE(player->View(), nullptr);
  EXPECT_EQ(player->View()->parentWidget(), w->pnl_view);
  EXPECT_EQ(player->View()->geometry(), QRect(2, 2, 213, 157));

  QProgressBar* bar = w->pbFlashProgress;
  ASSERT_TRUE(WaitFor([&] { return bar->maximum() == 100 && bar->value() >= 3; }))
      << "bar " << bar->value() << " of " << bar->maximum();

  Run("actFlashPause");
  ASSERT_TRUE(WaitForPage(*player));
  const int paused = player->FrameNum();
  QTest::qWait(600);  // three ticks of the timer
  EXPECT_TRUE(w->tmr1->isActive());
  EXPECT_EQ(bar->value(), paused);
  EXPECT_EQ(player->FrameNum(), paused);

  // 100 x 108 / 217 = 49.77: frame 49, playing on from there.
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(108, 5));
  EXPECT_TRUE(player->Playing());
  ASSERT_TRUE(WaitForPage(*player));
  EXPECT_TRUE(WaitFor([&] { return bar->value() > 49; })) << "bar " << bar->value();

  Run("actFlashStop");
  EXPECT_FALSE(w->tmr1->isActive());
  EXPECT_EQ(bar->value(), 0);
  ASSERT_TRUE(WaitForPage(*player));
  EXPECT_EQ(player->FrameNum(), 0);
  EXPECT_FALSE(player->Playing());

  // A two-frame movie is stopped at the first tick.
  w->lstFlashFiles->setCurrentRow(1);
  Run("actFlashPlay");
  EXPECT_EQ(Player(), player) << "one player for the window's life";
  EXPECT_TRUE(WaitFor([&] { return !w->tmr1->isActive(); }));
  EXPECT_EQ(bar->maximum(), 2);
  EXPECT_EQ(bar->value(), 0);
  ASSERT_TRUE(WaitForPage(*player));
  EXPECT_EQ(player->FrameNum(), 0);
  EXPECT_FALSE(player->Playing());
}

}  // namespace

namespace {

// The application loads the player from its module on first use; the module
// must be there beside the programs and make a working player.
TEST(PlayerModule, TheApplicationFolderHoldsALoadablePlayer) {
  platform::SetExecutableFilePathForTesting(QStringLiteral(PAVONA_APP_DIR) + "/pavona");
  QWidget panel;
  TempFolder dir;
  TSwfGenOptions o;
  o.FrameCount = 30;
  dir.Write("m.swf", GenerateSwf(o));
  std::unique_ptr<IFlashPlayer> player = LoadedPlayerFactory()(&panel);
  platform::SetExecutableFilePathForTesting(QString());
  ASSERT_NE(player, nullptr);
  player->SetMovie(dir.Path("m.swf"));
  EXPECT_EQ(player->TotalFrames(), 30);
  EXPECT_EQ(player->Movie(), dir.Path("m.swf"));
}

}  // namespace
