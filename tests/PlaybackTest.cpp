// Page 1's player commands, the timer and seeking, on a fake player.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include "Dialogs.h"
#include "FakeFlashPlayer.h"
#include "TestUtil.h"
#include "untMain.h"

namespace {

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::DialogScript::Reset();
    platform::DialogScript::SetStrict(true);
    TPavona_Main::SetFlashPlayerFactory([this](QWidget*) {
      auto p = std::make_unique<FakeFlashPlayer>();
      p->framesOf = [this](const QString& path) { return path.endsWith("two.swf") ? 2 : 100; };
      player = p.get();
      return p;
    });
    w = std::make_unique<TPavona_Main>();
    w->show();
    w->lstFlashFiles->addItems({dir.Path("a.swf"), dir.Path("two.swf")});
  }
  void TearDown() override {
    w.reset();
    TPavona_Main::SetFlashPlayerFactory(nullptr);
    platform::DialogScript::Reset();
  }
  void Run(const char* name) { w->findChild<QAction*>(name)->trigger(); }
  void Tick() { w->tmr1Timer(); }
  void Click(Qt::MouseButton button, int x) { QTest::mouseClick(w->pbFlashProgress, button, {}, QPoint(x, 10)); }
  QStringList TakeCalls() {
    QStringList c = player ? player->calls : QStringList();
    if (player) player->calls.clear();
    return c;
  }

  TempFolder dir;
  AppFolderOverride app{dir.Path()};
  std::unique_ptr<TPavona_Main> w;
  FakeFlashPlayer* player = nullptr;
};

TEST_F(Playback, NothingHappensBeforeAnythingIsPlayed) {
  Click(Qt::LeftButton, 100);
  Run("actFlashPlay");  // no selection
  EXPECT_EQ(player, nullptr) << "the player is made on first real use";
  EXPECT_FALSE(w->tmr1->isActive());
  Run("actFlashStop");
  EXPECT_FALSE(w->tmr1->isActive());
  EXPECT_EQ(w->pbFlashProgress->value(), 0);
  EXPECT_EQ(w->pbFlashProgress->maximum(), 100);
}

TEST_F(Playback, PlayPauseTickAndStopFollowTheStateTable) {
  w->lstFlashFiles->setCurrentRow(0);
  Run("actFlashPlay");
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(TakeCalls(), QStringList({"Movie=" + dir.Path("a.swf"), "Play"}));
  EXPECT_TRUE(w->tmr1->isActive());
  EXPECT_EQ(w->tmr1->interval(), 200);

  player->frame = 40;
  Tick();
  EXPECT_EQ(w->pbFlashProgress->maximum(), 100);
  EXPECT_EQ(w->pbFlashProgress->value(), 40);

  Run("actFlashPause");
  EXPECT_EQ(TakeCalls(), QStringList({"Stop"}));
  EXPECT_TRUE(w->tmr1->isActive()) << "the bar keeps showing the paused frame";
  Tick();
  EXPECT_EQ(w->pbFlashProgress->value(), 40);

  // Playing again starts the movie anew; a playing movie is halted first.
  player->playing = true;
  Run("actFlashPlay");
  EXPECT_EQ(TakeCalls(), QStringList({"Stop", "Movie=" + dir.Path("a.swf"), "Play"}));

  player->frame = 97;
  Tick();
  EXPECT_TRUE(w->tmr1->isActive());
  player->frame = 98;
  Tick();
  EXPECT_EQ(TakeCalls(), QStringList({"GotoFrame 0", "Stop"}));
  EXPECT_FALSE(w->tmr1->isActive());
  EXPECT_EQ(w->pbFlashProgress->value(), 0);
  EXPECT_EQ(w->pbFlashProgress->maximum(), 100) << "the maximum stays";
}

TEST_F(Playback, ATwoFrameMovieStopsAtTheFirstTick) {
  w->lstFlashFiles->setCurrentRow(1);
  Run("actFlashPlay");
  TakeCalls();
  // The timer's own tick, not a direct call.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !w->tmr1->isActive(); }, 5000));
  EXPECT_EQ(TakeCalls(), QStringList({"GotoFrame 0", "Stop"}));
  EXPECT_FALSE(w->tmr1->isActive());
}

TEST_F(Playback, LeftClickSeeksWithTruncationRightClickNever) {
  w->lstFlashFiles->setCurrentRow(0);
  Run("actFlashPlay");
  Run("actFlashStop");
  TakeCalls();
  Click(Qt::RightButton, 108);
  EXPECT_TRUE(TakeCalls().isEmpty());
  EXPECT_FALSE(w->tmr1->isActive());
  Click(Qt::LeftButton, 108);  // 100 x 108 / 217 = 49.77
  EXPECT_EQ(TakeCalls(), QStringList({"GotoFrame 49", "Play"}));
  EXPECT_TRUE(w->tmr1->isActive());
  Click(Qt::LeftButton, 0);
  EXPECT_EQ(TakeCalls(), QStringList({"GotoFrame 0", "Play"}));
}

TEST_F(Playback, DeletingTheListedMovieLeavesThePlayerAlone) {
  w->lstFlashFiles->setCurrentRow(0);
  Run("actFlashPlay");
  TakeCalls();
  Run("actFlashDelete");
  EXPECT_TRUE(TakeCalls().isEmpty());
  EXPECT_EQ(player->movie, dir.Path("a.swf"));
}

}  // namespace
