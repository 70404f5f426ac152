// libFuzzer target: any bytes as result.dat. The rows read, written again with a header,
// must read back the same.
#include "datafiles/fuzz_support.h"
#include "inventory/searchresult.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile("result.dat", data, size);
  const std::string file = Files().gResultFile;
  inventory::SearchResultFile first = inventory::ReadSearchResult(file);
  Check(first.error == 0, "result.dat is read");
  const std::string text = first.header.rfind("Keyword search: ", 0) == 0 ? first.header.substr(16) : first.header;
  std::string bytes = inventory::ResultHeaderLine(text) + "\r\n";
  for (const inventory::SearchHit& row : first.rows) inventory::AppendResultLine(row, bytes);
  WriteFile("result.dat", reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  inventory::SearchResultFile again = inventory::ReadSearchResult(file);
  Check(again.header == "Keyword search: " + text, "the header reads back");
  Check(again.rows.size() == first.rows.size(), "every row reads back");
  for (std::size_t i = 0; i < first.rows.size(); ++i) {
    Check(again.rows[i].drive == first.rows[i].drive, "a drive reads back");
    Check(again.rows[i].pathWithoutDrive == first.rows[i].pathWithoutDrive, "a path reads back");
    Check(again.rows[i].hits == first.rows[i].hits, "a hit count reads back");
  }
  return 0;
}
