#include "mainwindow/frmTDButtonConfig.h"

#include <algorithm>

#include "datafiles/userdb.h"
#include "windows/shareddata.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"

using platform::Label;

frmTDButtonConfig::frmTDButtonConfig(frmLauncher* main)
    : TapdeckEditor(main, {"Configure Tap Deck Button", "Changes to this preset have been made but not saved.",
                             "tdprosolo.htm"}) {
  const int left = 12, top = 40;
  lblButtonNumber = new Label(this);
  lblButtonNumber->setGeometry(left, top, 28, 24);
  lblButtonNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont bold = lblButtonNumber->font();
  bold.setBold(true);
  lblButtonNumber->setFont(bold);

  Row& row = AddRow(1);
  txtCaption = row.txtCaption;
  txtFilePath = row.txtFilePath;
  chkLoop = row.chkLoop;
  btnBrowse = row.btnBrowse;
  txtCaption->setGeometry(left + 34, top, 150, 24);
  txtFilePath->setGeometry(left + 190, top, 300, 24);
  chkLoop->setGeometry(left + 500, top + 1, 22, 22);
  btnBrowse->setGeometry(left + 528, top - 1, 28, 26);
  lblCaption = new Label(this, "Caption");
  lblCaption->setGeometry(left + 34, top - 24, 150, 20);
  lblFilePath = new Label(this, "File/Path");
  lblFilePath->setGeometry(left + 190, top - 24, 300, 20);
  lblLoop = new Label(this, "Loop");
  lblLoop->setGeometry(left + 494, top - 24, 40, 20);

  const int width = left + 556 + left, buttonsY = top + 40;
  btnEditTDHelp->setGeometry(left, buttonsY, 36, 32);
  btnOK->setGeometry(width - left - 2 * 90 - 8, buttonsY, 90, 32);
  btnCancel->setGeometry(width - left - 90, buttonsY, 90, 32);
  setFixedSize(width, buttonsY + 32 + left);
}

void frmTDButtonConfig::BeforeRows() {
  const int index = std::clamp(main_.State().launcher.gPresetIndex, 1, 20);
  rows_.front().n = index;
  lblButtonNumber->SetCaption(QString::number(index));
}

void frmTDButtonConfig::AfterArming() {
  LauncherState& state = main_.State().launcher;
  if (!state.gPrefillPending) return;
  // Armed already: what the drop brings is marked where it differs from the preset.
  txtFilePath->setText(QString::fromStdString(state.gPrefillPath));
  txtCaption->setText(QString::fromStdString(datafiles::GetUserDBCaption(main_.State().decl.files, state.gPrefillPath)));
  state.gPrefillPending = false;
}
