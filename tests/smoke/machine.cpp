#include "smoke/machine.h"

#include <algorithm>
#include <map>

#include <QByteArray>

#include "analysis/audio_builders.h"
#include "datafiles/datafilenames.h"
#include "datafiles/groups.h"
#include "datafiles/prefs.h"

namespace smoke {
namespace {

datafiles::DataFileNames Files() {
  return datafiles::DataFileNames::InFolder(std::string(Machine::kProgramFolder) + "data\\");
}

std::string Padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

// One note of userdb.dat: path, size, caption, subject, project, keywords, players.
std::string Note(const std::string& path, const std::string& size, const std::string& caption) {
  return Padded(path, 100) + Padded(" " + size, 10) + Padded(caption, 15) + Padded("Smoke test", 44) +
         Padded("", 15) + Padded("tone", 44) + Padded("", 70);
}

}  // namespace

Machine::Machine() {
  using namespace audio_builders;
  const datafiles::DataFileNames files = Files();
  drives.MakeFolder(files.gDataPath);
  drives.Write(files.gPrefsFile, datafiles::PrefsLine(datafiles::Preferences()));
  drives.Write(files.gPresetFile, datafiles::PresetLines(datafiles::Presets()));
  drives.Write(files.gGroupsFile,
               ",n0-root- -Groups,Groups,\r\n"
               "n0-root- -Groups,n1-group-Groups-Rock,Rock,Rock\r\n"
               "n1-group-Groups-Rock,n2-file-Rock-Song,Song,C:\\Music\\tone.wav\r\n"
               "n1-group-Groups-Rock,n2-file-Rock-Gone,Gone,C:\\Music\\gone.wav\r\n"
               "n0-root- -Groups,n1-group-Groups-Empty,Empty,Empty\r\n");
  const std::string tone = PcmWave(1.0);
  drives.Write("C:\\Music\\tone.wav", tone);
  drives.Write("C:\\Music\\long.wav", PcmWave(3.0));
  drives.Write("C:\\Music\\spare.wav", PcmWave(2.0));
  drives.Write("C:\\Music\\noise.wav", "RIFF this is not audio at all, not at all");
  userDbAtStart = Note("C:\\Music\\tone.wav", std::to_string(tone.size()), "A tone");
  drives.Write(files.gUserDBFile, userDbAtStart);
  std::string list;
  for (const char* track : {"tone.wav", "noise.wav", "gone.wav", "long.wav"}) {
    list += drives.Host(std::string("C:\\Music\\") + track) + "\r\n";
  }
  drives.Write("C:\\Lists\\mix.m3u", list);
  qputenv("TOLVAN_PRINT_TO_PDF", QByteArray::fromStdString(drives.Host(kPrintout)));
}

void Machine::AddNote(const std::string& path, const std::string& caption) {
  userDbAtStart += Note(path, "12", caption);
  drives.Write(Files().gUserDBFile, userDbAtStart);
}

std::vector<std::string> Machine::NotePaths() const {
  const std::string bytes = UserDbDat();
  std::vector<std::string> paths;
  for (std::size_t at = 0; at + 298 <= bytes.size(); at += 298) {
    std::string path = bytes.substr(at, 100);
    path.erase(path.find_last_not_of(' ') + 1);
    paths.push_back(path);
  }
  return paths;
}

std::string Machine::Read(const std::string& dosPath) const {
  return drives.Exists(dosPath) ? drives.Read(dosPath) : std::string();
}

std::string Machine::GroupsDat() const { return Read(Files().gGroupsFile); }
std::string Machine::UserDbDat() const { return Read(Files().gUserDBFile); }

std::vector<std::string> Machine::Outline() const {
  const std::vector<datafiles::GroupsLine> lines = datafiles::ParseGroupsLines(GroupsDat());
  std::map<std::string, std::string> textOfKey;
  for (const datafiles::GroupsLine& line : lines) textOfKey[line.gNodeKey] = line.gNodeText;
  std::vector<std::string> outline;
  for (const datafiles::GroupsLine& line : lines) outline.push_back(textOfKey[line.gNodeParentKey] + "/" + line.gNodeText);
  return outline;
}

bool Machine::HasNode(const std::string& parentSlashText) const {
  const std::vector<std::string> outline = Outline();
  return std::find(outline.begin(), outline.end(), parentSlashText) != outline.end();
}

}  // namespace smoke
