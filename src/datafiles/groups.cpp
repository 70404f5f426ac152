#include "datafiles/groups.h"

#include <chrono>
#include <thread>

#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"

namespace datafiles {

namespace {

constexpr int kMaxLevel = 99;  // what the key's two digits can say
constexpr int kSaveAttempts = 5;
constexpr auto kSaveRetryPause = std::chrono::milliseconds(40);

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::vector<GroupsLine> ParseGroupsLines(std::string_view bytes, int* skipped) {
  std::vector<GroupsLine> lines;
  int bad = 0;
  platform::ListReader reader = platform::ListReader::View(bytes);
  while (!reader.AtEnd()) {
    std::vector<std::string> fields;
    // The fields of one line: each but the last ends at a comma.
    for (;;) {
      fields.push_back(reader.Field());
      const std::size_t pos = reader.position();
      if (pos == 0 || bytes[pos - 1] != ',' || reader.AtEnd()) break;
    }
    if (fields.size() == 1 && fields[0].empty()) continue;  // an empty line
    if (fields.size() != 4) {
      ++bad;
      continue;
    }
    lines.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2]), std::move(fields[3])});
  }
  if (skipped) *skipped = bad;
  return lines;
}

std::string GroupsFileText(const platform::TreeModel& tree) {
  platform::ListWriter out;
  using platform::TreeNode;
  const TreeNode* node = tree.Root();
  while (node) {
    out.Text(node->parent ? node->parent->key : std::string()).Text(node->key).Text(node->text).Text(node->tag).EndLine();
    if (const TreeNode* child = platform::TreeModel::FirstChild(node)) {
      node = child;
      continue;
    }
    // Climb to the nearest node with a next sibling; the walk ends at the top.
    while (node && !tree.Next(node)) node = node->parent;
    if (node) node = tree.Next(node);
  }
  return out.Take();
}

int KeyLevel(std::string_view key) {
  int level = -1;
  for (std::size_t i = 1; i < key.size() && key[i] >= '0' && key[i] <= '9'; ++i) {
    level = (level < 0 ? 0 : level) * 10 + (key[i] - '0');
    if (level > 100000) return level;
  }
  return level;
}

std::string KeyKind(std::string_view key) {
  const std::size_t first = key.find('-');
  if (first == std::string_view::npos) return {};
  const std::size_t second = key.find('-', first + 1);
  if (second == std::string_view::npos) return {};
  return std::string(key.substr(first + 1, second - first - 1));
}

std::string FileImageKey(std::string_view path) {
  if (path.empty()) return {};
  const std::size_t dot = path.rfind('.');
  std::string ext(dot == std::string_view::npos ? path.substr(1) : path.substr(dot + 1));
  for (char& c : ext) c = Lower(c);
  if (ext == "wav") return "audio_wav";
  if (ext == "aif" || ext == "aiff" || ext == "aifc") return "audio_aif";
  if (ext == "au") return "audio_au";
  if (ext == "snd") return "audio_snd";
  if (ext == "mid" || ext == "midi" || ext == "rmi") return "audio_mid";
  if (ext == "mp3") return "audio_mp3";
  return "audio_unk";
}

GroupsLoad LoadGroupTree(const DataFileNames& files, platform::TreeModel& tree) {
  using platform::TreeModel;
  using platform::TreeNode;
  auto addDefaultRoot = [&tree] {
    TreeNode* root = tree.Add(nullptr, TreeModel::Relation::Last, kDefaultRootKey, kDefaultRootText, "groups");
    tree.SetExpanded(root, true);
    return root;
  };
  const platform::FileProbe probe = platform::FileLen(files.gGroupsFile);
  if (probe.error == platform::errFileNotFound || probe.error == platform::errPathNotFound) {
    addDefaultRoot();
    return GroupsLoad::Missing;
  }
  std::string bytes;
  try {
    bytes = platform::ReadWholeFile(files.gGroupsFile);
  } catch (const platform::VbError&) {
    addDefaultRoot();
    return GroupsLoad::Damaged;
  }
  int bad = 0;
  std::vector<GroupsLine> lines = ParseGroupsLines(bytes, &bad);

  // Level by level, so that a parent is in the tree before its children whatever the order of
  // the lines; siblings keep the file's order.
  std::vector<std::vector<const GroupsLine*>> byLevel(kMaxLevel + 1);
  for (const GroupsLine& line : lines) {
    const int level = KeyLevel(line.gNodeKey);
    if (level < 0 || level > kMaxLevel) {
      ++bad;
      continue;
    }
    byLevel[static_cast<std::size_t>(level)].push_back(&line);
  }
  TreeNode* root = nullptr;
  for (const GroupsLine* line : byLevel[0]) {
    if (root || KeyKind(line->gNodeKey) != "root") {
      ++bad;
      continue;
    }
    root = tree.Add(nullptr, TreeModel::Relation::Last, line->gNodeKey, line->gNodeText, "groups");
    if (!root) {
      ++bad;
      continue;
    }
    root->tag = line->gNodeTag;
    tree.SetExpanded(root, true);
  }
  const bool rootMissing = root == nullptr;
  if (rootMissing) root = addDefaultRoot();

  for (int level = 1; level <= kMaxLevel; ++level) {
    for (const GroupsLine* line : byLevel[static_cast<std::size_t>(level)]) {
      TreeNode* parent = tree.Find(line->gNodeParentKey);
      if (!parent && rootMissing && level == 1) parent = root;
      const std::string kind = KeyKind(line->gNodeKey);
      // A node stands one level below its parent, so that its key says its depth.
      if (!parent || platform::TreeModel::Depth(parent) != level - 1 || (kind != "group" && kind != "file")) {
        ++bad;
        continue;
      }
      std::string image = kind == "group" ? "clsdfold" : FileImageKey(line->gNodeTag);
      if (image.empty()) image = "audio_unk";
      TreeNode* node = tree.Add(parent, TreeModel::Relation::Last, line->gNodeKey, line->gNodeText, std::move(image));
      if (!node) {
        ++bad;  // a key already in the tree
        continue;
      }
      node->tag = line->gNodeTag;
      if (kind == "group") tree.SetExpandedImage(node, "openfold");
    }
  }
  return (bad > 0 || rootMissing) ? GroupsLoad::Damaged : GroupsLoad::Loaded;
}

std::string DamagedGroupsCopy(const DataFileNames& files) { return files.gGroupsFile + ".damaged"; }

bool SaveGroupTree(const DataFileNames& files, const platform::TreeModel& tree, bool& keepDamagedCopy,
                   std::string* failure) {
  if (keepDamagedCopy) {
    try {
      const platform::FileProbe probe = platform::FileLen(files.gGroupsFile);
      if (probe.ok()) {
        const std::string old = platform::ReadWholeFile(files.gGroupsFile);
        const std::string copy = DamagedGroupsCopy(files);
        platform::ReplaceFile(copy, copy + ".new", [&](platform::OutFile& out) { out.Write(old); }, false);
      }
      keepDamagedCopy = false;
    } catch (const platform::VbError& e) {
      // The damaged file stays as it is.
      if (failure) *failure = e.what();
      return false;
    }
  }
  const std::string text = GroupsFileText(tree);
  for (int attempt = 1;; ++attempt) {
    try {
      platform::ReplaceFile(files.gGroupsFile, files.gGroupsFile + ".new",
                            [&](platform::OutFile& out) { out.Write(text); }, false);
      return true;
    } catch (const platform::VbError& e) {
      if (attempt >= kSaveAttempts) {
        if (failure) *failure = e.what();
        return false;
      }
      std::this_thread::sleep_for(kSaveRetryPause);
    }
  }
}

}  // namespace datafiles
