// Handlers of windows and areas that are not built yet: each moves to its own source when
// its area lands.
#include "mainwindow/frmLauncher.h"
#include "inventory/dbviewer.h"
#include "inventory/reconcile.h"
#include "mainwindow/launcher.h"
