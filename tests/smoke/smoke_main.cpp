// The smoke suite: the real program on the X11 platform with its real message boxes, file
// dialogs and player, worked by a user at the display (see driver.h). One scenario a run:
//   tolvan_smoke <scenario>
// The exit code is 0 when every step passed and the program ended through its Exit.
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "main/program.h"
#include "main/startup.h"
#include "smoke/scenarios.h"

int main(int argc, char** argv) {
  const std::map<std::string, void (*)(smoke::Scenario&, smoke::Machine&)> scenarios = {
      {"tree", smoke::TreeScenario},
      {"playlist_popup", smoke::PlaylistPopupScenario},
      {"playlist_player", smoke::PlaylistPlayerScenario},
      {"main_window", smoke::MainWindowScenario},
      {"reconcile", smoke::ReconcileScenario},
      {"popup_placement", smoke::PopupPlacementScenario},
      {"preset_editors", smoke::PresetEditorsScenario},
      {"preset_editors_wm", smoke::PresetEditorsWmScenario},
      {"window_drag", smoke::WindowDragScenario},
      {"window_drag_wm", smoke::WindowDragWmScenario},
  };
  const auto chosen = argc == 2 ? scenarios.find(argv[1]) : scenarios.end();
  if (chosen == scenarios.end()) {
    std::fprintf(stderr, "usage: tolvan_smoke <scenario>; scenarios:");
    for (const auto& [name, run] : scenarios) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");

  TolvanApplication app(argc, argv);
  std::optional<smoke::Machine> machine(std::in_place);
  smoke::Scenario scenario(chosen->first);
  chosen->second(scenario, *machine);
  scenario.cleanup = [&machine] { machine.reset(); };

  ProgramServices services;
  const std::string folder = machine->Host("C:\\app");
  if (Main(QString::fromStdString(folder), services.MainPlayer()) != StartOutcome::Running) {
    std::fprintf(stderr, "[%s] the program did not start\n", chosen->first.c_str());
    return 1;
  }
  scenario.Start();
  const int rc = QApplication::exec();
  if (!scenario.Finished()) {
    std::fprintf(stderr, "[%s] the program ended before its Exit (code %d)\n", chosen->first.c_str(), rc);
    return 1;
  }
  if (!scenario.FinalChecksHold()) return 1;
  std::fprintf(stderr, "[%s] passed\n", chosen->first.c_str());
  return rc;
}
