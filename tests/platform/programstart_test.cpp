// Starting another program of the host: arguments reach it byte for byte.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/core/programstart.h"
#include "support/temp_drives.h"

namespace {

// The file's bytes once the started program has written it (it runs on its own).
std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::stringstream s;
      s << in.rdbuf();
      if (!s.str().empty()) return s.str();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

class HostProgramStarterTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  platform::HostProgramStarter starter;
  std::string folder = drives.Host("C:\\");
};

}  // namespace

TEST_F(HostProgramStarterTest, AnArgumentThatIsNotUtf8ReachesTheProgramAsItsOwnBytes) {
  const std::string name = folder + "/\xE9t\xE9 \xFF.wav";  // Latin-1 bytes, a blank
  ASSERT_TRUE(starter.Start("/bin/sh", {"-c", "printf %s \"$1\" > out", "sh", name}, folder));
  EXPECT_EQ(WaitForFile(folder + "/out"), name);
}

TEST_F(HostProgramStarterTest, ItRunsInTheGivenFolder) {
  ASSERT_TRUE(starter.Start("/bin/sh", {"-c", "pwd > out"}, folder));
  EXPECT_EQ(WaitForFile(folder + "/out"), std::filesystem::canonical(folder).string() + "\n");
}

TEST_F(HostProgramStarterTest, AProgramThatCannotBeStartedIsTold) {
  EXPECT_FALSE(starter.Start(folder + "/no-such-program", {}, folder));
  EXPECT_FALSE(starter.Start("/bin/sh", {}, folder + "/no-such-folder"));
}
