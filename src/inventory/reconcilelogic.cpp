#include "inventory/reconcilelogic.h"

#include <unordered_set>

#include "datafiles/inventoryline.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/core/textrecords.h"

namespace inventory {
namespace {

using datafiles::UserDBRecord;

std::string Br() { return std::string(platform::vbLf) + std::string(platform::vbCr); }

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The path through its last "\" (empty without one).
std::string_view FolderWithSlash(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

// The folder between the drive's "X:\" and the last "\": empty for a root folder.
std::string_view FolderPart(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos || slash <= 3) return {};
  return path.substr(3, slash - 3);
}

}  // namespace

OrphanNameParts SplitOrphanName(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

std::optional<std::int64_t> StoredSize(std::string_view sizeField) {
  const std::string_view text = platform::Trim(sizeField);
  std::int64_t value = 0;
  if (text.empty() || !platform::ParseListNumber(text, value)) return std::nullopt;
  return value;
}

CandidateSearch FindCandidateMatches(const datafiles::DataFileNames& files, std::string_view orphanPath,
                                     const UserDBRecord* orphanNote) {
  CandidateSearch result;
  const OrphanNameParts orphan = SplitOrphanName(orphanPath);
  const std::optional<std::int64_t> size = orphanNote ? StoredSize(orphanNote->Size) : std::nullopt;

  const datafiles::UserDBContents notes = datafiles::ReadUserDB(files);
  const datafiles::UserDBIndex noted(notes.records);
  try {
    datafiles::InventoryReader reader(files.gInventoryFile);
    datafiles::InventoryLine line;
    std::string path;
    while (reader.Next(line, 4)) {
      const bool sameName = line.gInvFileName == orphan.baseName;
      const bool sameExtension = size && line.gInvExtension == orphan.extension;
      // Only a line that can match costs a look at the disk.
      if (!sameName && !sameExtension) continue;
      line.FullPathInto(path);
      const platform::FileProbe probe = platform::FileLen(path);
      if (!probe.ok()) continue;
      if (!sameName && probe.length != *size) continue;
      if (noted.Contains(path)) continue;
      result.paths.push_back(path);
    }
  } catch (const platform::VbError& e) {
    result.error = e.number();
    result.paths.clear();
  }
  return result;
}

LinkKind LinkKindOf(std::string_view orphan, std::string_view target) {
  if (FileNameOf(orphan) != FileNameOf(target)) return LinkKind::Name;
  LinkKind kind = LinkKind::Same;
  if (orphan.substr(0, 1) != target.substr(0, 1)) kind = LinkKind::Drive;
  if (FolderPart(orphan) != FolderPart(target)) kind = LinkKind::Path;
  return kind;
}

LinkQuestion AllOrphansQuestion(LinkKind kind) {
  const std::string br = Br();
  if (kind == LinkKind::Drive) {
    return {"Drive letter change",
            "The file appears to have changed location by drive letter only." + br +
                "This may indicate a change in system configuration that may have" + br +
                "caused other orphans in an identical way." + br + br +
                "Would you like to change the drive letter of all orphans " + br +
                "referencing the same original drive?"};
  }
  return {"File path has changed",
          "The path to this file has changed." + br + "This may indicate a path change on your system" + br +
              "that may have orphaned other files from the same original location." + br + br +
              "Would you like to similarly change the path of any orphans " + br + "from the same location?"};
}

bool MovesWithLink(LinkKind kind, std::string_view selectedOrphan, std::string_view orphan) {
  if (kind == LinkKind::DriveAll) return !orphan.empty() && orphan.substr(0, 1) == selectedOrphan.substr(0, 1);
  if (kind == LinkKind::PathAll) return FolderWithSlash(orphan) == FolderWithSlash(selectedOrphan);
  return orphan == selectedOrphan;
}

LinkPlan PlanLink(const std::vector<UserDBRecord>& records, const LinkRequest& request) {
  LinkPlan plan;
  const std::string_view selected = request.selectedOrphan;
  const bool all = request.kind == LinkKind::DriveAll || request.kind == LinkKind::PathAll;
  if (request.kind == LinkKind::Same) return plan;

  std::optional<std::int64_t> newLength;
  if (request.fromBrowse) {
    const platform::FileProbe probe = platform::FileLen(request.target);
    if (!probe.ok()) {
      plan.refusal = LinkRefusal::TargetMissing;
      plan.refusedPath = request.target;
      return plan;
    }
    newLength = probe.length;
  }

  const std::unordered_set<std::string_view> listed(request.listedOrphans.begin(), request.listedOrphans.end());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string_view key = records[i].Key();
    std::string newPath;
    if (!all) {
      if (key != selected) continue;
      newPath = request.target;
    } else {
      if (key.empty() || !listed.contains(key) || !MovesWithLink(request.kind, selected, key)) continue;
      if (request.kind == LinkKind::DriveAll) {
        newPath = std::string(request.target.substr(0, 1)) + std::string(key.substr(1));
      } else {
        newPath = std::string(FolderWithSlash(request.target)) + std::string(FileNameOf(key));
      }
      if (key != selected && !platform::FileLen(newPath).ok()) continue;
    }
    if (plan.movedOrphans.empty() || plan.movedOrphans.back() != key) plan.movedOrphans.emplace_back(key);
    UserDBRecord moved = records[i];
    moved.Path = newPath;
    if (newLength) moved.Size = datafiles::UserDBSizeText(*newLength);
    plan.changes.emplace_back(static_cast<std::int64_t>(i) + 1, std::move(moved));
    if (!all) break;
  }

  // A new path must be a key, and a key of no note but those that move onto it.
  std::unordered_set<std::int64_t> rewritten;
  for (const auto& [number, record] : plan.changes) rewritten.insert(number);
  std::unordered_set<std::string_view> keptKeys;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!rewritten.contains(static_cast<std::int64_t>(i) + 1)) keptKeys.insert(records[i].Key());
  }
  for (const auto& [number, record] : plan.changes) {
    const std::string& path = record.Path;
    LinkRefusal refusal = LinkRefusal::None;
    if (path.size() > UserDBRecord::kPathWidth) {
      refusal = LinkRefusal::PathTooLong;
    } else if (!path.empty() && path.back() == ' ') {
      refusal = LinkRefusal::PathEndsInBlank;
    } else if (keptKeys.contains(path)) {
      refusal = LinkRefusal::PathHasNote;
    }
    if (refusal != LinkRefusal::None) {
      plan.refusal = refusal;
      plan.refusedPath = path;
      plan.changes.clear();
      plan.movedOrphans.clear();
      return plan;
    }
  }
  return plan;
}

PreparedLink PrepareLink(const datafiles::DataFileNames& files, const LinkRequest& request) {
  PreparedLink prepared;
  prepared.file = files.gUserDBFile;
  prepared.selectedOrphan = request.selectedOrphan;
  datafiles::UserDBContents notes = datafiles::ReadUserDB(files);
  if (notes.error != platform::errNone && notes.error != platform::errFileNotFound) {
    prepared.readError = notes.error;
    prepared.refused = true;
    return prepared;
  }
  prepared.plan = PlanLink(notes.records, request);
  prepared.refused = prepared.plan.refusal != LinkRefusal::None;
  return prepared;
}

LinkWrite CarryOutLink(const datafiles::DataFileNames& files, const LinkPlan& plan) {
  LinkWrite write;
  write.file = files.gUserDBFile;
  if (!plan.changes.empty()) write.error = datafiles::RewriteUserDBRecords(files, plan.changes);
  return write;
}

datafiles::NoteDeleteOutcome DeleteOrphanNote(const datafiles::DataFileNames& files, std::string_view path) {
  const datafiles::UserDBContents notes = datafiles::ReadUserDB(files);
  datafiles::NoteDeleteOutcome outcome;
  outcome.file = files.gUserDBFile;
  if (notes.error == platform::errFileNotFound) return outcome;
  if (notes.error != platform::errNone) {
    outcome.error = notes.error;
    outcome.failure = platform::VbError::DescribeError(notes.error);
    return outcome;
  }
  datafiles::UserDBState scratch;
  return datafiles::DeleteUserDBRecordOfPath(scratch, files, path);
}

std::string DeleteQuestionText(std::string_view path, const std::array<std::string, 5>& selectedLabels) {
  const std::string br = Br();
  std::string text = "You are about to permanently delete the following record:" + br + br + std::string(path) + br + br;
  for (const std::string& label : selectedLabels) text += label + br;
  text += br + "Are you sure you want to delete this information?" + br;
  return text;
}

std::string OrphansRemainText() {
  return "There are still orphaned records in your database." + Br() + Br() +
         "Are you sure you want to close the Reconcile form?";
}

std::string ReconcilingLaterText() {
  const std::string br = Br(), q = "\"";
  return "You may finish reconciling your database anytime later" + br + "by clicking the " + q + "Tools/Preferences" +
         q + " button" + br + "and selecting " + q + "Reconcile Database" + q + " from the tools screen.";
}

}  // namespace inventory
