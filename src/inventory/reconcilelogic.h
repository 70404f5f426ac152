#pragma once

// The reconcile tools' work on the data files, without windows: candidate matches for an
// orphaned note, the kind of a link, the rewrites a link makes in userdb.dat and the removal
// of an orphan's notes. The reconcile window (frmReconcileDB) drives them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datafiles/datafilenames.h"
#include "datafiles/userdb.h"

namespace inventory {

// The file name of a path without its extension, and the extension without its dot: the name
// is what follows the last "\", the extension what follows the last "." of that name (empty
// when the name has none).
struct OrphanNameParts {
  std::string baseName;
  std::string extension;
};
OrphanNameParts SplitOrphanName(std::string_view path);

// The length a note's size field states (" 1234" -> 1234); nothing for a blank or damaged one.
std::optional<std::int64_t> StoredSize(std::string_view sizeField);

struct CandidateSearch {
  std::int32_t error = 0;           // inventory.dat could not be read: no candidates
  std::vector<std::string> paths;   // full paths, in inventory order
};

// The inventory files the orphan `orphanPath` may now be: same file name without extension
// (any extension), or same extension and a current length equal to the size stored in the
// orphan's note (`orphanNote`; without one, only the name counts). Both compare exactly, case
// included. A file whose length cannot be taken is skipped, and so is one that has a note of
// its own (userdb.dat is read once).
CandidateSearch FindCandidateMatches(const datafiles::DataFileNames& files, std::string_view orphanPath,
                                     const datafiles::UserDBRecord* orphanNote);

// How a link's target differs from its orphan. DriveAll and PathAll are Drive and Path
// accepted for every listed orphan alike.
enum class LinkKind { Same, Name, Drive, Path, DriveAll, PathAll };

// How `target` differs from `orphan`: Name when the file names (extension included) differ;
// else Path when the folders differ, Drive when only the drive letters do; Same when the
// paths are the same.
LinkKind LinkKindOf(std::string_view orphan, std::string_view target);

// The question that offers to move every orphan alike, for Drive or Path.
struct LinkQuestion {
  std::string title;
  std::string text;
};
LinkQuestion AllOrphansQuestion(LinkKind kind);

// Whether an orphan of the list moves with a link of `kind` (DriveAll: the same first
// character as `selectedOrphan`; PathAll: the same folder, through its last "\"); for the
// other kinds only the selected orphan itself.
bool MovesWithLink(LinkKind kind, std::string_view selectedOrphan, std::string_view orphan);

struct LinkRequest {
  LinkKind kind = LinkKind::Same;  // Same links nothing
  std::string selectedOrphan;  // its full path
  std::string target;          // the full path the note is to point to
  std::vector<std::string> listedOrphans;  // the paths the orphan list shows
  bool fromBrowse = false;     // the target was picked in the file dialog: its length is stored
};

enum class LinkRefusal {
  None,
  TargetMissing,  // a browsed file whose length cannot be taken
  PathTooLong,    // more than the 100 bytes of the key
  PathEndsInBlank,
  PathHasNote,    // another note already stands under the new path
};

struct LinkPlan {
  std::vector<std::pair<std::int64_t, datafiles::UserDBRecord>> changes;  // record number, new record
  std::vector<std::string> movedOrphans;  // the old paths of the notes that move
  LinkRefusal refusal = LinkRefusal::None;
  std::string refusedPath;
};

// The records a link rewrites, from userdb.dat's records. Name, Drive, Path: the first
// record of the selected orphan gets the target path (and, from the file dialog, the target's
// current length as its size). DriveAll, PathAll: every record of a listed orphan that
// moves with the link gets the target's drive letter or folder, where a file exists at that
// new path (else the note would name a file that never existed and lose its own path; it
// stays an orphan). Every other field stays. The
// plan is refused, without changes, when a new path cannot be a key or would give a second
// note to a path.
LinkPlan PlanLink(const std::vector<datafiles::UserDBRecord>& records, const LinkRequest& request);

// Reads userdb.dat and plans the link. A refusal, or a userdb.dat that exists and cannot be
// read, comes back with `refused` set and no change; a missing userdb.dat plans no change.
struct PreparedLink {
  LinkPlan plan;
  bool refused = false;
  std::int32_t readError = 0;  // userdb.dat could not be read (the refusal then is None)
  std::string file;            // userdb.dat
  std::string selectedOrphan;
};
PreparedLink PrepareLink(const datafiles::DataFileNames& files, const LinkRequest& request);

// Writes the plan's records through tempuserdb.dat. A failure leaves userdb.dat as it was.
struct LinkWrite {
  std::int32_t error = 0;
  std::string file;  // userdb.dat
  explicit operator bool() const { return error == 0; }  // written, or nothing was to be written
};
LinkWrite CarryOutLink(const datafiles::DataFileNames& files, const LinkPlan& plan);

// Removes the note shown for the orphan `path` (its first record) from userdb.dat through
// tempuserdb.dat; another note of the same path stays listed. No error when the note is gone
// (also when userdb.dat is missing: there is none); a failure changed nothing.
datafiles::NoteDeleteOutcome DeleteOrphanNote(const datafiles::DataFileNames& files, std::string_view path);

// The texts of the reconcile window's questions. Line breaks are LF CR.
std::string DeleteQuestionText(std::string_view path, const std::array<std::string, 5>& selectedLabels);
std::string OrphansRemainText();
std::string ReconcilingLaterText();

}  // namespace inventory
