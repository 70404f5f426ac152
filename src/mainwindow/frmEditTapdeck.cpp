#include "mainwindow/frmEditTapdeck.h"

using platform::Label;

namespace {

constexpr int kLeft = 12, kTop = 40, kRowHeight = 30, kColumnWidth = 500;
constexpr int kNumberWidth = 24, kCaptionWidth = 130, kPathWidth = 250, kLoopWidth = 22, kBrowseWidth = 28,
              kGap = 6;

}  // namespace

frmEditTapdeck::frmEditTapdeck(frmLauncher* main)
    : TapdeckEditor(main, {"Tap Decker Configuration", "Changes to presets have been made but not saved.",
                             "tdprogroup.htm"}) {
  const int captionX = kNumberWidth + kGap;
  const int pathX = captionX + kCaptionWidth + kGap;
  const int loopX = pathX + kPathWidth + kGap;
  const int browseX = loopX + kLoopWidth + kGap;
  auto heading = [this](const char* caption, int x, int width) {
    auto* l = new Label(this, caption);
    l->setGeometry(x, kTop - 24, width, 20);
    return l;
  };
  lblCaptionA = heading("Caption", kLeft + captionX, kCaptionWidth);
  lblFilePathA = heading("File/Path", kLeft + pathX, kPathWidth);
  lblLoopA = heading("Loop", kLeft + loopX - 6, 40);
  lblCaptionB = heading("Caption", kLeft + kColumnWidth + captionX, kCaptionWidth);
  lblFilePathB = heading("File/Path", kLeft + kColumnWidth + pathX, kPathWidth);
  lblLoopB = heading("Loop", kLeft + kColumnWidth + loopX - 6, 40);

  for (int n = 1; n <= 20; ++n) {
    const int x = kLeft + ((n - 1) / 10) * kColumnWidth;
    const int y = kTop + ((n - 1) % 10) * kRowHeight;
    lblPreset[n] = new Label(this, QString::number(n));
    lblPreset[n]->setGeometry(x, y, kNumberWidth, 24);
    lblPreset[n]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Row& row = AddRow(n);
    row.txtCaption->setGeometry(x + captionX, y, kCaptionWidth, 24);
    row.txtFilePath->setGeometry(x + pathX, y, kPathWidth, 24);
    row.chkLoop->setGeometry(x + loopX, y + 1, kLoopWidth, 22);
    row.btnBrowse->setGeometry(x + browseX, y - 1, kBrowseWidth, 26);
    txtCaption[n] = row.txtCaption;
    txtFilePath[n] = row.txtFilePath;
    chkLoop[n] = row.chkLoop;
    btnBrowse[n] = row.btnBrowse;
  }

  const int buttonsY = kTop + 10 * kRowHeight + 12;
  const int width = kLeft + kColumnWidth + browseX + kBrowseWidth + kLeft;
  btnApply = new QPushButton("Apply", this);
  btnApply->setAutoDefault(false);
  connect(btnApply, &QPushButton::clicked, this, &frmEditTapdeck::btnApply_Click);
  btnEditTDHelp->setGeometry(kLeft, buttonsY, 36, 32);
  btnApply->setGeometry(width - kLeft - 3 * 90 - 2 * 8, buttonsY, 90, 32);
  btnOK->setGeometry(width - kLeft - 2 * 90 - 8, buttonsY, 90, 32);
  btnCancel->setGeometry(width - kLeft - 90, buttonsY, 90, 32);
  setFixedSize(width, buttonsY + 32 + kLeft);
}

void frmEditTapdeck::btnApply_Click() { Commit(true); }
