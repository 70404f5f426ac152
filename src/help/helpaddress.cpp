#include "help/helpaddress.h"

#include <cctype>
#include <vector>

namespace help {

std::string ResolvedAddress(std::string_view address) {
  if (address.size() < 2 || address[1] != ':' || !std::isalpha(static_cast<unsigned char>(address[0]))) {
    return std::string(address);
  }
  std::vector<std::string_view> names;
  std::string_view rest = address.substr(2);
  const bool folder = !rest.empty() && (rest.back() == '\\' || rest.back() == '/');
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\\/");
    const std::string_view name = rest.substr(0, end);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  std::string out{address[0], ':', '\\'};
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out.push_back('\\');
    out.append(names[i]);
  }
  if (folder && !names.empty()) out.push_back('\\');
  return out;
}

}  // namespace help
