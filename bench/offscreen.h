#pragma once
// A bench that needs no real display runs headless: it takes Qt's offscreen platform unless the
// caller chose one, as the unit tests do. Called before the application object is made.
#include <QtGlobal>

namespace bench {

inline void ChooseOffscreenPlatform() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace bench
