#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>

#include "analysis/analyzer.h"
#include "analysis/analyzerfile.h"
#include "analysis/audioproperties.h"
#include "support/temp_drives.h"

namespace analysis_test {

// The texts that are not empty, by short names: a case lists only what it expects to see.
using FieldMap = std::map<std::string, std::string>;

inline FieldMap Fields(analysis::AudioProperties& props) {
  static const char* const kNames[18] = {"type",     "album",     "artist",   "bits",     "channels", "division",
                                         "comment",  "encoding",  "copyright", "date",    "engineer", "version",
                                         "genre",    "name",      "product",  "rate",     "software", "year"};
  FieldMap fields;
  auto texts = props.Texts();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (!texts[i]->empty()) fields[kNames[i]] = *texts[i];
  }
  return fields;
}

// One case of a reader's table: the file's bytes and the fields it gives.
struct Case {
  const char* what;
  std::string bytes;
  FieldMap expected;
};

class AnalyzerTest : public ::testing::Test {
 protected:
  // Writes the bytes as `path` and analyses them without a player.
  FieldMap Analyze(const std::string& bytes, const std::string& path = "C:\\a.wav") {
    Write(path, bytes);
    status = analysis::AnalyzeAudioFile(path, props, nullptr);
    return Fields(props);
  }
  void RunTable(const std::vector<Case>& cases, const std::string& path = "C:\\a.wav") {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_EQ(Analyze(c.bytes, path), c.expected);
      EXPECT_EQ(status, analysis::AnalysisStatus::Done);
      EXPECT_EQ(props.gAudioFileLength, static_cast<std::int64_t>(c.bytes.size()));
    }
  }

  // Writes a new file each time: rewriting one in place makes some file systems wait for
  // the disk on every close.
  void Write(const std::string& path, const std::string& bytes) {
    std::string host = drives.Host(path);
    ::unlink(host.c_str());
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      drives.Write(path, bytes);  // the folder does not exist yet
      return;
    }
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  }

  testing_support::TempDrives drives{"C"};
  analysis::AudioProperties props;
  analysis::AnalysisStatus status = analysis::AnalysisStatus::Failed;
};

// Puts `bytes` at `at`, growing the text with zero bytes as needed.
inline void Put(std::string& file, std::size_t at, const std::string& bytes) {
  if (file.size() < at + bytes.size()) file.resize(at + bytes.size(), '\0');
  file.replace(at, bytes.size(), bytes);
}

// Reads from `offset` on fail while it lives.
class ReadFaultFrom {
 public:
  explicit ReadFaultFrom(std::int64_t offset) { analysis::InjectReadFaultFrom(offset); }
  ~ReadFaultFrom() { analysis::InjectReadFaultFrom(-1); }
};

}  // namespace analysis_test
