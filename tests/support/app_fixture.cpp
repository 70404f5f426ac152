#include "support/app_fixture.h"

#include "datafiles/prefs.h"
#include "mainwindow/frmLauncher.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace testing_support {

AppFixture::AppFixture() {
  Declarations& decl = state.decl;
  decl.gAppPath = kAppPath;
  decl.files = datafiles::DataFileNames::InFolder(kDataPath);
  drives.MakeFolder(kDataPath);
  platform::SetClock(&clock);
}

AppFixture::~AppFixture() {
  platform::SetClock(nullptr);
}

bool AppFixture::FailsToWrite(const std::function<void()>& step) {
  const std::size_t before = boxes.shown().size();
  boxes.Answer(platform::vbOK);
  platform::InjectWriteFailureAfter(0);
  step();
  platform::InjectWriteFailureAfter(-1);
  EXPECT_EQ(boxes.shown().size(), before + 1);
  if (boxes.shown().size() != before + 1) return false;
  EXPECT_EQ(boxes.shown().back().title, "Data File Not Saved");
  return boxes.shown().back().title == "Data File Not Saved";
}

void AppFixture::WriteDefaultSettings() const {
  const auto& files = state.decl.files;
  drives.Write(files.gPrefsFile, datafiles::PrefsLine(datafiles::Preferences()));
  drives.Write(files.gPresetFile, datafiles::PresetLines(datafiles::Presets()));
}

std::unique_ptr<frmLauncher> AppFixture::OpenMainWindow(platform::MediaPlayer* mainPlayer) {
  // The splash's inventory check: a missing inventory file is rebuilt without a message.
  Declarations& decl = state.decl;
  for (const std::string* file : {&decl.files.gInvSumFile, &decl.files.gInventoryFile}) {
    if (platform::FileLen(*file).error == platform::errFileNotFound) decl.gRebuildInventory = true;
  }
  auto window = std::make_unique<frmLauncher>(mainPlayer ? mainPlayer : &player, state);
  window->Playlist().SetPlayer(playlistPlayer);
  window->Form_Load();
  opened_ = window.get();
  return window;
}

DatabasePane& AppFixture::MainPane() const { return opened_->Pane(); }
PlaylistEditor& AppFixture::MainPlaylist() const { return opened_->Playlist(); }

}  // namespace testing_support
