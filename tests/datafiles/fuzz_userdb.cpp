// libFuzzer target: any bytes as userdb.dat, through the whole-file reader, the lookups by
// path and a deletion by number.
#include "datafiles/fuzz_support.h"
#include "datafiles/userdb.h"
#include "platform/core/codepage.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("userdb.dat", data, size);
  datafiles::UserDBContents contents = datafiles::ReadUserDB(Files());
  Check(contents.error == 0, "userdb.dat is read");
  Check(contents.records.size() == size / datafiles::kUserDBRecordLength, "every whole record is read");
  datafiles::UserDBIndex index(contents.records);
  datafiles::UserDBState state;
  if (!contents.records.empty()) {
    const std::string key(platform::TrimRight(contents.records[0].Path));
    datafiles::UserDBLookup lookup = datafiles::ShowUserDBRecord(state, Files(), key);
    Check(lookup.error == 0, "the lookup runs");
    if (!key.empty()) {
      Check(lookup.found, "the first record's note is found by its path");
      Check(index.Contains(key), "the index knows the first record's path");
    }
    datafiles::GetUserDBCaption(Files(), key);
  }
  state.gUserDBDeleteRecNo = size > 0 ? data[0] % 4 : 0;
  datafiles::DeleteUserDBRecord(state, Files());
  return 0;
}
