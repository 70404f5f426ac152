#pragma once

#include <QtCore/qnamespace.h>

#include <functional>

class QMimeData;
class QWidget;
class frmLauncher;

namespace platform {
class Label;
class TextBox;
}  // namespace platform

// Handlers of the main window's database pane: its tabs, Update, Print and the grid's mouse.
// Each ignores the user while the pane's long work runs (DBViewerState::PaneBusy).
void frmLauncher_btnSelInventory_Click();
void frmLauncher_btnSelDetail_Click();
// "Erase All" in the note edit mode; otherwise the first click opens search entry and the
// second one searches.
void frmLauncher_btnSelSearch_Click();
void frmLauncher_btnUpdate_Click();
// Prints the view on show.
void frmLauncher_btnPrint_Click();
// Button 1 left, 2 right (MouseMove: the buttons held); X and Y in twips.
void frmLauncher_grdTotals_MouseDown(int Button, int Shift, int X, int Y);
void frmLauncher_grdTotals_MouseMove(int Button, int Shift, int X, int Y);
void frmLauncher_grdTotals_MouseUp(int Button, int Shift, int X, int Y);

// The five note boxes (txtDBCaption, txtDBSubject, txtDBProject, txtDBKeywords, txtDBPlayers)
// share their handlers: the edit look while a box has the focus or is double-clicked, and on
// leaving it the rest look, its text red when it differs from its label's caption.
void frmLauncher_txtDBNote_GotFocus(platform::TextBox* box);
void frmLauncher_txtDBNote_DblClick(platform::TextBox* box);
void frmLauncher_txtDBNote_LostFocus(platform::TextBox* box, const platform::Label* label);
// The width in bytes of a note box's field (15, 44, 15, 44, 70); the box takes no more.
int NoteFieldWidth(const frmLauncher& f, const platform::TextBox* box);

// The drag of the shown file's full path out of the description line, in File Detail only and
// with the left button alone.
void frmLauncher_txtDBDescription_MouseMove(int Button, int Shift, int X, int Y);
// The data of that drag: the path as text, in the host's form; a target may only copy it.
void frmLauncher_txtDBDescription_OLEStartDrag(QMimeData& Data, Qt::DropActions& AllowedEffects);
// Runs a drag the program starts (QDrag by default; tests put a recorder in its place).
using DragStarter = std::function<void(QWidget* source, QMimeData* data, Qt::DropActions allowed)>;
void SetDragStarter(DragStarter starter);

// Wiring of the parts of the pane that have their own sources.
void WireNoteFields(frmLauncher& f);
