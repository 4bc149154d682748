#include <gtest/gtest.h>

#include <QFileInfo>

#include "ExecutablePath.h"

namespace {

TEST(ExecutablePath, FolderAlwaysEndsInOneSeparator) {
  EXPECT_EQ(platform::FolderWithSeparator("/opt/pavona/pavona"), QString("/opt/pavona/"));
  EXPECT_EQ(platform::FolderWithSeparator("/pavona"), QString("/"));  // the root folder
  EXPECT_EQ(platform::FolderWithSeparator("/a b/中文/pavona"), QString("/a b/中文/"));
}

TEST(ExecutablePath, RealPathIsThisTestProgram) {
  const QString exe = platform::ExecutableFilePath();
  EXPECT_TRUE(QFileInfo(exe).isExecutable()) << exe.toStdString();
  EXPECT_EQ(platform::ExecutableFolder(), QFileInfo(exe).absolutePath() + "/");
}

}  // namespace
