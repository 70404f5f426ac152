// The main window's ways into the playlist editor.
#include "mainwindow/frmLauncher.h"

void frmLauncher::btnPlaylistEditor_Click() { playlist_->ShowWindow(); }

void frmLauncher::OpenPlaylistWindow() { playlist_->OpenWindow(); }
