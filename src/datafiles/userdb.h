#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "datafiles/datafilenames.h"

namespace datafiles {

// userdb.dat: fixed records of 298 bytes, numbered from 1, no header.
inline constexpr std::size_t kUserDBRecordLength = 298;

// One record as it stands in the file: every field exactly its width, blank-padded.
struct UserDBRecord {
  static constexpr std::size_t kPathWidth = 100, kSizeWidth = 10, kCaptionWidth = 15, kSubjectWidth = 44,
                               kProjectWidth = 15, kKeywordsWidth = 44, kPlayersWidth = 70;

  std::string Path;
  std::string Size;
  std::string Caption;
  std::string Subject;
  std::string Project;
  std::string Keywords;
  std::string Players;

  UserDBRecord();  // all blanks
  // From the 298 bytes of a record.
  static UserDBRecord FromBytes(std::string_view bytes);
  // The 298 bytes; each field fitted to its width (cut on a character boundary, padded).
  std::string Bytes() const;
  // The key: the path field without its trailing blanks.
  std::string_view Key() const;
};

// The five texts of a note, as the edit boxes and labels hold them.
struct UserDBNote {
  std::string Caption;
  std::string Subject;
  std::string Project;
  std::string Keywords;
  std::string Players;

  bool AllEmpty() const;
  // The texts of a record without their trailing blanks.
  static UserDBNote OfRecord(const UserDBRecord& record);
  bool operator==(const UserDBNote&) const = default;
};

// The state every reader and writer of userdb.dat shares.
struct UserDBState {
  UserDBRecord gUserDBRecord;     // the record read last
  UserDBRecord gUserDBOutRecord;  // the record written last
  std::int64_t gUserDBRecNo = 0;
  bool gUserDBFound = false;
  std::int64_t gUserDBDeleteRecNo = 0;
  bool gUserDBMissing = false;
};

// --- the note of the shown file (the main window's forms) ---

struct UserDBLookup {
  std::int32_t error = 0;  // other than a missing file: the lookup ended, the state is untouched
  bool found = false;
  std::int64_t recNo = 0;
  UserDBNote note;  // empty unless found
};

// Looks up the note of `gCurrentFilePath` (exact comparison, case included). Found: the note,
// gUserDBFound set and gUserDBRecNo its number. Not found (also with userdb.dat missing):
// gUserDBFound cleared and gUserDBRecNo the number of records + 1; the form empties the five
// note labels and lblDBRallysets.
UserDBLookup ShowUserDBRecord(UserDBState& state, const DataFileNames& files, std::string_view gCurrentFilePath);

// The caption noted for `path` without trailing blanks; empty without a note or userdb.dat.
// Leaves the shared state alone.
std::string GetUserDBCaption(const DataFileNames& files, std::string_view path);

enum class NoteSaveStatus {
  Saved,
  PathNotKeyable,  // longer than the 100-byte key, or ending in a blank: refused
  FileMissing,     // the file vanished since it was shown: not saved
  WriteFailed,
};

struct NoteSaveOutcome {
  NoteSaveStatus status = NoteSaveStatus::Saved;
  std::string path;     // the file the note is for
  std::string file;     // userdb.dat
  std::string failure;  // WriteFailed: the error's description
};

// Saves the note of the file `path` (the shown file, txtDBDescription's tooltip text) over the
// record with the same path, or as a new last record (userdb.dat is created when missing).
// Anything but Saved leaves userdb.dat as it was; the form keeps the edits then.
NoteSaveOutcome SaveUserDBRecord(UserDBState& state, const DataFileNames& files, std::string_view path,
                                 const UserDBNote& note);

// Removes record gUserDBDeleteRecNo (a number outside 1..count removes nothing) through
// tempuserdb.dat. Returns 0, errFileNotFound when userdb.dat is missing (nothing done), or the
// error that stopped the rewrite (userdb.dat then as it was).
std::int32_t DeleteUserDBRecord(UserDBState& state, const DataFileNames& files);

struct NoteDeleteOutcome {
  std::int32_t error = 0;    // what stopped it; errFileNotFound: no userdb.dat, nothing to remove
  bool writeFailed = false;  // the error came from writing userdb.dat anew (it is as it was), not from reading it
  bool removed = false;      // a record was dropped
  std::string file;          // userdb.dat
  std::string failure;       // with an error: its description
};

// Removes the note shown for `path`: the first record whose key is `path` at the moment of the
// call (the one ShowUserDBRecord finds and SaveUserDBRecord overwrites), through
// tempuserdb.dat; for the note being edited and for a deleted orphan. Another record of the
// same path stays. A failed rewrite leaves userdb.dat as it was. gUserDBFound is cleared and
// gUserDBRecNo is the new count + 1 unless it stopped.
NoteDeleteOutcome DeleteUserDBRecordOfPath(UserDBState& state, const DataFileNames& files, std::string_view path);

// --- whole-file readers for the views (one pass each) ---

struct UserDBContents {
  std::int32_t error = 0;             // errFileNotFound when userdb.dat is missing
  std::vector<UserDBRecord> records;  // record k at index k - 1; a partial tail is no record
};
UserDBContents ReadUserDB(const DataFileNames& files);

// Record numbers by key, for marking listed files and the searches: one hash lookup per path.
class UserDBIndex {
 public:
  UserDBIndex() = default;
  explicit UserDBIndex(const std::vector<UserDBRecord>& records);

  // Numbers (ascending) of the records whose key is `path`; empty when none.
  std::span<const std::int64_t> Find(std::string_view path) const;
  bool Contains(std::string_view path) const { return !Find(path).empty(); }
  std::size_t size() const { return byKey_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, std::vector<std::int64_t>, Hash, std::equal_to<>> byKey_;
};

// Writes records under their own numbers (the reconcile tools' relinks), the others as they
// were, through tempuserdb.dat; read-only afterwards. Returns 0 or the error that stopped it
// (userdb.dat then as it was; a number outside 1..count writes nothing).
std::int32_t RewriteUserDBRecords(const DataFileNames& files,
                                  const std::vector<std::pair<std::int64_t, UserDBRecord>>& changes);

// The size field for a length: a blank and the digits; ten digits go in without the blank;
// a length that still does not fit leaves the field blank.
std::string UserDBSizeText(std::int64_t length);

}  // namespace datafiles
