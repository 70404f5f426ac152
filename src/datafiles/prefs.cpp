#include "datafiles/prefs.h"

#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/textrecords.h"

namespace datafiles {
namespace {

// The name beside a damaged file under which it is kept.
std::string DamagedCopyName(const std::string& file) { return file + ".damaged"; }

// A file that could not be read whole is kept beside itself before a save can overwrite it.
void KeepDamaged(const std::string& bytes, ReadOutcome& outcome) {
  const std::string copy = DamagedCopyName(outcome.file);
  outcome.status = ReadStatus::Damaged;
  try {
    platform::ReplaceFile(copy, copy + ".new", [&](platform::OutFile& out) { out.Write(bytes); }, false);
    outcome.copy = copy;
  } catch (const platform::VbError& e) {
    outcome.copyFailure = e.what();
  }
}

// Reads what the file holds field by field; a short or damaged file ends the reading and the
// values not reached keep what they had (their defaults). A file that fails to give every
// field, or holds more than its lines, is damaged.
template <typename ReadFields>
ReadOutcome ReadInto(DataFile which, const std::string& file, ReadFields read) {
  ReadOutcome outcome;
  outcome.which = which;
  outcome.file = file;
  if (platform::FileLen(file).error == platform::errFileNotFound) {
    outcome.status = platform::AnythingAt(file) ? ReadStatus::NotAFile : ReadStatus::Missing;
    return outcome;
  }
  std::string bytes;
  try {
    bytes = platform::ReadWholeFile(file);
  } catch (const platform::VbError&) {
    outcome.status = ReadStatus::Unreadable;  // not damaged: nothing to keep
    return outcome;
  }
  bool damaged = false;
  try {
    auto in = platform::ListReader::View(bytes);
    read(in);
    damaged = bytes.find_first_not_of("\r\n", in.position()) != std::string::npos;
  } catch (const platform::VbError&) {
    damaged = true;
  }
  if (damaged) KeepDamaged(bytes, outcome);
  return outcome;
}

SaveOutcome Save(const std::string& file, const std::string& content) {
  SaveOutcome outcome;
  outcome.file = file;
  try {
    platform::ReplaceFile(file, file + ".new", [&](platform::OutFile& out) { out.Write(content); }, true);
  } catch (const platform::VbError& e) {
    outcome.saved = false;
    outcome.failure = e.what();
  }
  return outcome;
}

// The orphan count is stored as its number text (" 3", the blank standing for the sign) and
// the reader skips that blank, so a bare number reads back as its number text: the count is
// the same after a restart. Any other number is quoted and read literally; any other text
// ("n/a ") goes through the field encoder.
std::string StoredOrphanQuantity(const std::string& text) {
  std::int64_t count = 0;
  if (text.empty() || !platform::ParseListNumber(text, count)) return platform::EncodeField(text);
  if (platform::NumberText(count) == text) return text;
  return "\"" + text + "\"";  // a number holds no quote to double
}

std::string OrphanQuantityRead(platform::ListReader& in) {
  std::string text = in.Field();
  std::int64_t count = 0;
  if (!in.lastQuoted() && !text.empty() && platform::ParseListNumber(text, count)) return platform::NumberText(count);
  return text;
}

}  // namespace

Presets::Presets() {
  for (int i = 0; i < kPresetCount; ++i) {
    gPresetCaptions[i] = std::to_string(i + 1);
    gPresetLoop[i] = "False";
  }
}

std::string PrefsLine(const Preferences& p) {
  platform::ListWriter w;
  w.Text(p.gBrowsePath).Raw(StoredOrphanQuantity(p.gOrphanQuantity));
  w
      .Number(p.gEnableEmbedded)
      .Number(p.gSearchAttributes)
      .Number(p.gSearchUserDB)
      .Number(p.gSearchChunks)
      .Text(p.gWaveEditorPath)
      .Number(p.gExportFile)
      .EndLine();
  return w.Take();
}

std::string PresetLines(const Presets& p) {
  platform::ListWriter w;
  for (int i = 0; i < kPresetCount; ++i) {
    w.Text(p.gPresetCaptions[i]).Text(p.gPresetPaths[i]).Text(p.gPresetLoop[i]).EndLine();
  }
  return w.Take();
}

ReadOutcome ReadPreferences(const DataFileNames& files, Preferences& prefs) {
  prefs = Preferences();
  return ReadInto(DataFile::Preferences, files.gPrefsFile, [&](platform::ListReader& in) {
    prefs.gBrowsePath = in.Field();
    prefs.gOrphanQuantity = OrphanQuantityRead(in);
    prefs.gEnableEmbedded = static_cast<int>(in.NumberField());
    prefs.gSearchAttributes = static_cast<int>(in.NumberField());
    prefs.gSearchUserDB = static_cast<int>(in.NumberField());
    prefs.gSearchChunks = static_cast<int>(in.NumberField());
    prefs.gWaveEditorPath = in.Field();
    prefs.gExportFile = static_cast<int>(in.NumberField());
  });
}

SaveOutcome SavePreferences(const DataFileNames& files, const Preferences& prefs) {
  return Save(files.gPrefsFile, PrefsLine(prefs));
}

ReadOutcome ReadTapdeckPresets(const DataFileNames& files, Presets& presets) {
  presets = Presets();
  return ReadInto(DataFile::TapdeckPresets, files.gPresetFile, [&](platform::ListReader& in) {
    for (int i = 0; i < kPresetCount; ++i) {
      presets.gPresetCaptions[i] = in.Field();
      presets.gPresetPaths[i] = in.Field();
      presets.gPresetLoop[i] = in.Field();
    }
  });
}

SaveOutcome SaveTapdeckPresets(const DataFileNames& files, const Presets& presets) {
  return Save(files.gPresetFile, PresetLines(presets));
}

}  // namespace datafiles
