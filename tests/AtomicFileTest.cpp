#include <gtest/gtest.h>

#include <QDir>

#include "AtomicFile.h"
#include "TestUtil.h"

namespace {

TEST(AtomicFile, ReplacesWholeOrNotAtAll) {
  TempFolder dir;
  dir.Write("f", "old contents");
  ASSERT_TRUE(platform::WriteFileAtomically(dir.Path("f"), "new"));
  EXPECT_EQ(dir.Read("f"), QByteArray("new"));

  for (qint64 failAt : {qint64(0), qint64(65536), qint64(300000)}) {
    platform::SetWriteFaultHookForTesting([failAt](const QString&, qint64 n) { return n < failAt; });
    QString reason;
    EXPECT_FALSE(platform::WriteFileAtomically(dir.Path("f"), QByteArray(300000, 'x'), &reason)) << failAt;
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(dir.Read("f"), QByteArray("new")) << failAt;
  }
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList({"f"}));
}

TEST(AtomicFile, ReadWholeFileReportsAMissingFile) {
  TempFolder dir;
  QByteArray bytes = "stale";
  EXPECT_FALSE(platform::ReadWholeFile(dir.Path("missing"), bytes));
  EXPECT_TRUE(bytes.isEmpty());
}

}  // namespace
