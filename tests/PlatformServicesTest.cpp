#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "FileIdentity.h"
#include "TestUtil.h"
#include "UserInfo.h"

namespace {

TEST(FileIdentity, SameFileWhateverTheSpelling) {
  TempFolder dir;
  dir.Write("a.exe", "x");
  dir.Write("b.exe", "x");
  QDir(dir.Path()).mkdir("sub");
  ASSERT_TRUE(QFile::link(dir.Path("a.exe"), dir.Path("link.exe")));
  EXPECT_TRUE(platform::SameFile(dir.Path("a.exe"), dir.Path("a.exe")));
  EXPECT_TRUE(platform::SameFile(dir.Path("a.exe"), dir.Path("sub/../a.exe")));
  EXPECT_TRUE(platform::SameFile(dir.Path("a.exe"), dir.Path("link.exe")));
  EXPECT_FALSE(platform::SameFile(dir.Path("a.exe"), dir.Path("b.exe")));
  EXPECT_FALSE(platform::SameFile(dir.Path("a.exe"), dir.Path("missing.exe")));
}

TEST(UserInfo, OwnerIsNeverEmptyAndOrganisationComesFromTheSystem) {
  EXPECT_FALSE(platform::UserFullName().isEmpty());
  qputenv("ORGANIZATION", " Pavona Team ");
  EXPECT_EQ(platform::UserOrganization(), QString("Pavona Team"));
  qunsetenv("ORGANIZATION");
  EXPECT_TRUE(platform::UserOrganization().isEmpty());
}

}  // namespace
