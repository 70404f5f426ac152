#include "datafiles/userdb.h"

#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/textrecords.h"

namespace datafiles {
namespace {

using platform::VbError;

constexpr std::size_t kFieldOffsets[] = {0, 100, 110, 125, 169, 184, 228, 298};
// The key of record `k` (from 0) of a whole file's bytes.
std::string_view KeyAt(std::string_view data, std::size_t k) {
  return platform::TrimRight(data.substr(k * kUserDBRecordLength, UserDBRecord::kPathWidth));
}

std::string_view RecordAt(std::string_view data, std::size_t k) {
  return data.substr(k * kUserDBRecordLength, kUserDBRecordLength);
}

// userdb.dat's bytes; throws VbError (53 when it is missing).
std::string ReadAll(const DataFileNames& files) { return platform::ReadWholeFile(files.gUserDBFile); }

std::int64_t WholeRecords(std::string_view data) {
  return static_cast<std::int64_t>(data.size() / kUserDBRecordLength);
}

// Rewrites userdb.dat through tempuserdb.dat with the records `keep` says yes to.
template <typename Keep>
void RewriteKeeping(const DataFileNames& files, std::string_view data, Keep keep) {
  const std::int64_t count = WholeRecords(data);
  platform::ReplaceFile(
      files.gUserDBFile, files.gTempUserDBFile,
      [&](platform::OutFile& out) {
        for (std::int64_t i = 1; i <= count; ++i) {
          if (keep(i)) out.Write(RecordAt(data, static_cast<std::size_t>(i - 1)));
        }
      },
      true);
}

}  // namespace

UserDBRecord::UserDBRecord()
    : Path(kPathWidth, ' '),
      Size(kSizeWidth, ' '),
      Caption(kCaptionWidth, ' '),
      Subject(kSubjectWidth, ' '),
      Project(kProjectWidth, ' '),
      Keywords(kKeywordsWidth, ' '),
      Players(kPlayersWidth, ' ') {}

UserDBRecord UserDBRecord::FromBytes(std::string_view bytes) {
  std::string whole(bytes.substr(0, kUserDBRecordLength));
  whole.resize(kUserDBRecordLength, ' ');
  UserDBRecord r;
  std::string* fields[] = {&r.Path, &r.Size, &r.Caption, &r.Subject, &r.Project, &r.Keywords, &r.Players};
  for (int f = 0; f < 7; ++f) {
    fields[f]->assign(whole, kFieldOffsets[f], kFieldOffsets[f + 1] - kFieldOffsets[f]);
  }
  return r;
}

std::string UserDBRecord::Bytes() const {
  const std::string* fields[] = {&Path, &Size, &Caption, &Subject, &Project, &Keywords, &Players};
  std::string out;
  out.reserve(kUserDBRecordLength);
  for (int f = 0; f < 7; ++f) out += platform::FitToWidth(*fields[f], kFieldOffsets[f + 1] - kFieldOffsets[f]);
  return out;
}

std::string_view UserDBRecord::Key() const { return platform::TrimRight(Path); }

bool UserDBNote::AllEmpty() const {
  return Caption.empty() && Subject.empty() && Project.empty() && Keywords.empty() && Players.empty();
}

UserDBNote UserDBNote::OfRecord(const UserDBRecord& r) {
  using platform::TrimRight;
  return {std::string(TrimRight(r.Caption)), std::string(TrimRight(r.Subject)), std::string(TrimRight(r.Project)),
          std::string(TrimRight(r.Keywords)), std::string(TrimRight(r.Players))};
}

std::string UserDBSizeText(std::int64_t length) {
  std::string text = platform::NumberText(length);
  if (text.size() > UserDBRecord::kSizeWidth && text.front() == ' ') text.erase(0, 1);
  if (text.size() > UserDBRecord::kSizeWidth) text.clear();
  return text;
}

UserDBLookup ShowUserDBRecord(UserDBState& state, const DataFileNames& files, std::string_view gCurrentFilePath) {
  UserDBLookup result;
  std::string data;
  try {
    data = ReadAll(files);
  } catch (const VbError& e) {
    if (e.number() != platform::errFileNotFound) {
      result.error = e.number();
      return result;
    }
    // No file, no notes: the shown file has none either.
    state.gUserDBFound = false;
    state.gUserDBRecNo = 1;
    result.recNo = 1;
    return result;
  }
  const std::int64_t count = WholeRecords(data);
  state.gUserDBFound = false;
  state.gUserDBRecNo = 0;
  for (std::int64_t i = 1; i <= count; ++i) {
    if (KeyAt(data, static_cast<std::size_t>(i - 1)) == gCurrentFilePath) {
      state.gUserDBRecord = UserDBRecord::FromBytes(RecordAt(data, static_cast<std::size_t>(i - 1)));
      state.gUserDBFound = true;
      state.gUserDBRecNo = i;
      result.found = true;
      result.recNo = i;
      result.note = UserDBNote::OfRecord(state.gUserDBRecord);
      return result;
    }
  }
  if (count > 0) state.gUserDBRecord = UserDBRecord::FromBytes(RecordAt(data, static_cast<std::size_t>(count - 1)));
  state.gUserDBRecNo = count + 1;
  result.recNo = count + 1;
  return result;
}

std::string GetUserDBCaption(const DataFileNames& files, std::string_view path) {
  std::string data;
  try {
    data = ReadAll(files);
  } catch (const VbError&) {
    return {};
  }
  const std::int64_t count = WholeRecords(data);
  for (std::int64_t i = 0; i < count; ++i) {
    if (KeyAt(data, static_cast<std::size_t>(i)) == path) {
      std::string_view caption = RecordAt(data, static_cast<std::size_t>(i)).substr(kFieldOffsets[2], UserDBRecord::kCaptionWidth);
      return std::string(platform::TrimRight(caption));
    }
  }
  return {};
}

NoteSaveOutcome SaveUserDBRecord(UserDBState& state, const DataFileNames& files, std::string_view path,
                                 const UserDBNote& note) {
  NoteSaveOutcome outcome;
  outcome.path = std::string(path);
  outcome.file = files.gUserDBFile;
  if (path.size() > UserDBRecord::kPathWidth || (!path.empty() && path.back() == ' ')) {
    outcome.status = NoteSaveStatus::PathNotKeyable;
    return outcome;
  }
  platform::FileProbe probe = platform::FileLen(path);
  if (!probe.ok()) {
    outcome.status = NoteSaveStatus::FileMissing;
    return outcome;
  }

  UserDBRecord out;
  out.Path = platform::FitToWidth(path, UserDBRecord::kPathWidth);
  out.Size = platform::FitToWidth(UserDBSizeText(probe.length), UserDBRecord::kSizeWidth);
  out.Caption = platform::FitToWidth(note.Caption, UserDBRecord::kCaptionWidth);
  out.Subject = platform::FitToWidth(note.Subject, UserDBRecord::kSubjectWidth);
  out.Project = platform::FitToWidth(note.Project, UserDBRecord::kProjectWidth);
  out.Keywords = platform::FitToWidth(note.Keywords, UserDBRecord::kKeywordsWidth);
  out.Players = platform::FitToWidth(note.Players, UserDBRecord::kPlayersWidth);
  state.gUserDBOutRecord = out;

  state.gUserDBMissing = platform::FileLen(files.gUserDBFile).error == platform::errFileNotFound;
  std::int64_t recNo = 1;
  try {
    if (!state.gUserDBMissing) {
      std::string data = ReadAll(files);
      const std::int64_t count = WholeRecords(data);
      recNo = count + 1;
      for (std::int64_t i = 1; i <= count; ++i) {
        if (KeyAt(data, static_cast<std::size_t>(i - 1)) == path) {
          recNo = i;
          break;
        }
      }
    }
    platform::SetReadOnly(files.gUserDBFile, false);
    platform::RecordFile file(files.gUserDBFile, kUserDBRecordLength, platform::RecordFile::Mode::ReadWrite);
    file.Write(recNo, out.Bytes());
    file.Sync();
    file.Close();
  } catch (const VbError& e) {
    // A file this save created holds nothing worth keeping.
    if (state.gUserDBMissing) {
      const platform::FileProbe created = platform::FileLen(files.gUserDBFile);
      if (created.ok() && created.length == 0) platform::DeleteFile(files.gUserDBFile);
    }
    platform::SetReadOnly(files.gUserDBFile, true);
    outcome.status = NoteSaveStatus::WriteFailed;
    outcome.failure = e.what();
    return outcome;
  }
  platform::SetReadOnly(files.gUserDBFile, true);
  state.gUserDBRecNo = recNo;
  state.gUserDBFound = true;
  return outcome;
}

std::int32_t DeleteUserDBRecord(UserDBState& state, const DataFileNames& files) {
  try {
    std::string data = ReadAll(files);
    const std::int64_t drop = state.gUserDBDeleteRecNo;
    RewriteKeeping(files, data, [drop](std::int64_t i) { return i != drop; });
  } catch (const VbError& e) {
    return e.number();
  }
  return platform::errNone;
}

NoteDeleteOutcome DeleteUserDBRecordOfPath(UserDBState& state, const DataFileNames& files, std::string_view path) {
  NoteDeleteOutcome outcome;
  outcome.file = files.gUserDBFile;
  std::string data;
  try {
    data = ReadAll(files);
  } catch (const VbError& e) {
    outcome.error = e.number();
    outcome.failure = e.what();
    return outcome;
  }
  const std::int64_t count = WholeRecords(data);
  std::int64_t drop = 0;
  for (std::int64_t i = 1; i <= count && drop == 0; ++i) {
    if (KeyAt(data, static_cast<std::size_t>(i - 1)) == path) drop = i;
  }
  if (drop > 0) {
    try {
      RewriteKeeping(files, data, [drop](std::int64_t i) { return i != drop; });
    } catch (const VbError& e) {
      outcome.error = e.number();
      outcome.writeFailed = true;
      outcome.failure = e.what();
      return outcome;
    }
  }
  outcome.removed = drop > 0;
  state.gUserDBFound = false;
  state.gUserDBRecNo = count - (drop > 0 ? 1 : 0) + 1;
  return outcome;
}

UserDBContents ReadUserDB(const DataFileNames& files) {
  UserDBContents contents;
  std::string data;
  try {
    data = ReadAll(files);
  } catch (const VbError& e) {
    contents.error = e.number();
    return contents;
  }
  const std::int64_t count = WholeRecords(data);
  contents.records.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    contents.records.push_back(UserDBRecord::FromBytes(RecordAt(data, static_cast<std::size_t>(i))));
  }
  return contents;
}

UserDBIndex::UserDBIndex(const std::vector<UserDBRecord>& records) {
  byKey_.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto key = records[i].Key();
    auto it = byKey_.find(key);
    if (it == byKey_.end()) it = byKey_.emplace(std::string(key), std::vector<std::int64_t>{}).first;
    it->second.push_back(static_cast<std::int64_t>(i) + 1);
  }
}

std::span<const std::int64_t> UserDBIndex::Find(std::string_view path) const {
  auto it = byKey_.find(path);
  if (it == byKey_.end()) return {};
  return it->second;
}

std::int32_t RewriteUserDBRecords(const DataFileNames& files,
                                  const std::vector<std::pair<std::int64_t, UserDBRecord>>& changes) {
  std::string data;
  try {
    data = ReadAll(files);
  } catch (const VbError& e) {
    return e.number();
  }
  const std::int64_t count = WholeRecords(data);
  std::vector<const UserDBRecord*> replaced(static_cast<std::size_t>(count) + 1, nullptr);
  for (const auto& [number, record] : changes) {
    if (number < 1 || number > count) return platform::errInputPastEnd;
    replaced[static_cast<std::size_t>(number)] = &record;
  }
  try {
    platform::ReplaceFile(
        files.gUserDBFile, files.gTempUserDBFile,
        [&](platform::OutFile& out) {
          for (std::int64_t i = 1; i <= count; ++i) {
            if (const UserDBRecord* r = replaced[static_cast<std::size_t>(i)]) {
              out.Write(r->Bytes());
            } else {
              out.Write(RecordAt(data, static_cast<std::size_t>(i - 1)));
            }
          }
          out.Write(std::string_view(data).substr(static_cast<std::size_t>(count) * kUserDBRecordLength));
        },
        true);
  } catch (const VbError& e) {
    return e.number();
  }
  return platform::errNone;
}

}  // namespace datafiles
