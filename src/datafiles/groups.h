#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "datafiles/datafilenames.h"
#include "platform/core/treemodel.h"

namespace datafiles {

// One line of groups.dat: a node of the groups tree.
struct GroupsLine {
  std::string gNodeParentKey;
  std::string gNodeKey;
  std::string gNodeText;
  std::string gNodeTag;
  bool operator==(const GroupsLine&) const = default;
};

// The lines of a groups.dat; a line that does not hold exactly four fields is skipped and
// counted in `skipped`.
std::vector<GroupsLine> ParseGroupsLines(std::string_view bytes, int* skipped = nullptr);
// groups.dat's bytes for the tree: one line per node in pre-order, texts through the field
// encoder. Iterative: any depth.
std::string GroupsFileText(const platform::TreeModel& tree);

// A key's level (the digits after its leading "n"; -1 when there are none) and its kind (the
// text between its first two "-").
int KeyLevel(std::string_view key);
std::string KeyKind(std::string_view key);

// The image key of a file entry by the extension of its path (the text after its last ".";
// a path without one yields all but its first character). Empty for an empty path.
std::string FileImageKey(std::string_view path);

inline constexpr const char* kDefaultRootKey = "n0-root- -Groups";
inline constexpr const char* kDefaultRootText = "Groups";

enum class GroupsLoad {
  Loaded,   // every line was taken
  Missing,  // no groups.dat: the default root
  Damaged,  // lines were skipped, the root line was missing or the file could not be read
};

// Fills an empty tree from groups.dat, level by level. A bad line is skipped; a file without a
// root line gets the default root with its first-level nodes below it. A file entry with an
// empty tag shows "audio_unk".
GroupsLoad LoadGroupTree(const DataFileNames& files, platform::TreeModel& tree);

// Where a damaged groups.dat is kept before the first save overwrites it.
std::string DamagedGroupsCopy(const DataFileNames& files);

// Writes the tree to groups.dat through its temporary twin. With `keepDamagedCopy` the file
// as it is is copied aside first and the flag cleared; when that copy fails nothing is written.
// A failing write is tried again a few times after a short sleep. True when written; otherwise
// `failure` (when given) says why, and groups.dat is as it was.
bool SaveGroupTree(const DataFileNames& files, const platform::TreeModel& tree, bool& keepDamagedCopy,
                   std::string* failure = nullptr);

}  // namespace datafiles
