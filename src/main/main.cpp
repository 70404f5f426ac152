// tolvan: the desktop audio manager.
#include "main/program.h"

int main(int argc, char** argv) {
  TolvanApplication app(argc, argv);
  return RunProgram(QCoreApplication::applicationDirPath());
}
