#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "support/temp_drives.h"

using namespace platform;

class FilesTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"CD"};
};

TEST_F(FilesTest, FileLenTellsMissingFileFromMissingFolder) {
  drives.Write("C:\\data\\a.dat", "12345");
  EXPECT_EQ(FileLen("C:\\data\\a.dat").length, 5);
  EXPECT_EQ(FileLen("C:\\data\\b.dat").error, errFileNotFound);
  EXPECT_EQ(FileLen("C:\\nodata\\b.dat").error, errPathNotFound);
  EXPECT_EQ(FileLen("C:\\data\\a.dat\\x").error, errPathNotFound);
  EXPECT_EQ(FileLen("Q:\\a.dat").error, errPathNotFound);
  EXPECT_EQ(FileLen("C:\\data").error, errFileNotFound) << "a folder is no file";
}

TEST_F(FilesTest, ReadOnlyAttributeIsTheWriteBits) {
  drives.Write("C:\\a.dat", "x");
  EXPECT_FALSE(IsReadOnly("C:\\a.dat"));
  EXPECT_EQ(SetReadOnly("C:\\a.dat", true), errNone);
  EXPECT_TRUE(IsReadOnly("C:\\a.dat"));
  EXPECT_EQ(SetReadOnly("C:\\a.dat", false), errNone);
  EXPECT_FALSE(IsReadOnly("C:\\a.dat"));
  EXPECT_EQ(SetReadOnly("C:\\missing.dat", false), errFileNotFound);
}

TEST_F(FilesTest, ReplaceFileSwapsInTheNewContentReadOnly) {
  drives.Write("C:\\inv.dat", "old");
  SetReadOnly("C:\\inv.dat", true);
  ReplaceFile("C:\\inv.dat", "C:\\tmp.dat", [](OutFile& out) { out.Write("new content"); }, true);
  EXPECT_EQ(drives.Read("C:\\inv.dat"), "new content");
  EXPECT_TRUE(IsReadOnly("C:\\inv.dat"));
  EXPECT_FALSE(drives.Exists("C:\\tmp.dat"));
}

TEST_F(FilesTest, ReplaceFileThatFailsPartWayLeavesTheOldFileIntact) {
  drives.Write("C:\\inv.dat", "old content");
  InjectWriteFailureAfter(70000);
  try {
    ReplaceFile("C:\\inv.dat", "C:\\tmp.dat", [](OutFile& out) { out.Write(std::string(200000, 'x')); }, true);
    FAIL() << "the write should have failed";
  } catch (const VbError& e) {
    EXPECT_EQ(e.number(), errDiskFull);
  }
  InjectWriteFailureAfter(-1);
  EXPECT_EQ(drives.Read("C:\\inv.dat"), "old content");
  EXPECT_FALSE(drives.Exists("C:\\tmp.dat"));
}

TEST_F(FilesTest, OutFileAppendsAndReportsTheSizeItFound) {
  drives.Write("D:\\log.txt", "ab");
  {
    OutFile out("D:\\log.txt", OutFile::Mode::Append);
    EXPECT_EQ(out.initialSize(), 2);
    out.Write("cd");
    out.Close();
  }
  EXPECT_EQ(ReadWholeFile("D:\\log.txt"), "abcd");
  EXPECT_THROW(ReadWholeFile("D:\\none.txt"), VbError);
}

// Sizes on both sides of where the parallel read starts, with parts that do not divide evenly.
TEST_F(FilesTest, ReadInParallelGivesThePlainReadsBytes) {
  struct Case {
    std::size_t size;
    unsigned threads;
  };
  for (const Case c : {Case{10, 4}, Case{1024 * 1024 - 1, 4}, Case{1024 * 1024, 3}, Case{3 * 1024 * 1024 + 7, 8},
                       Case{2 * 1024 * 1024 + 1, 1}}) {
    std::string bytes(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<char>(i * 131 + i / 4096);
    drives.Write("C:\\big.dat", bytes);
    const FileBytes read = ReadWholeFileInParallel("C:\\big.dat", c.threads);
    EXPECT_EQ(read.view().size(), c.size) << c.threads << " threads";
    EXPECT_TRUE(read.view() == ReadWholeFile("C:\\big.dat")) << c.size << " bytes, " << c.threads << " threads";
  }
}

TEST_F(FilesTest, ReadInParallelFailsAsThePlainReadDoes) {
  drives.MakeFolder("C:\\folder");
  for (const char* path : {"C:\\none.dat", "C:\\nofolder\\a.dat", "C:\\folder", "Q:\\a.dat"}) {
    std::int32_t plain = errNone;
    try {
      ReadWholeFile(path);
    } catch (const VbError& e) {
      plain = e.number();
    }
    ASSERT_NE(plain, errNone) << path;
    try {
      ReadWholeFileInParallel(path, 4);
      ADD_FAILURE() << path << " was read";
    } catch (const VbError& e) {
      EXPECT_EQ(e.number(), plain) << path;
    }
  }
}

TEST_F(FilesTest, RecordFileCountsWholeRecordsOnly) {
  drives.Write("C:\\rec.dat", std::string(25, 'a'));
  RecordFile file("C:\\rec.dat", 10, RecordFile::Mode::ReadWrite);
  EXPECT_EQ(file.RecordCount(), 2);
  EXPECT_EQ(file.Read(2), std::string(10, 'a'));
  EXPECT_THROW(file.Read(3), VbError);
  file.Write(3, "xyz");
  EXPECT_EQ(file.Read(3), "xyz       ");
  EXPECT_EQ(file.RecordCount(), 3);
}

TEST_F(FilesTest, RenameAndDelete) {
  drives.Write("C:\\a.dat", "1");
  EXPECT_EQ(RenameFile("C:\\a.dat", "C:\\b.dat"), errNone);
  EXPECT_EQ(DeleteFile("C:\\b.dat"), errNone);
  EXPECT_EQ(DeleteFile("C:\\b.dat"), errFileNotFound);
}
