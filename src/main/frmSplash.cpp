#include "main/frmSplash.h"

#include <QApplication>
#include <QPainter>

#include "inventory/summaryinstep.h"
#include "windows/shareddata.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/core/version.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/resources.h"
#include "windows/messages.h"

frmSplash::frmSplash(ProgramState& app, std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      app_(app),
      showMainWindow_(std::move(showMainWindow)) {
  setWindowTitle("Tolvan Audio Manager");
  setFixedSize(460, 260);
  platform::PaintWindow(*this, 0x473D01);
  lblLoadStatus = new platform::Label(this);
  lblLoadStatus->setGeometry(20, 196, 420, 20);
  lblVersionNumber = new platform::Label(this);
  lblVersionNumber->setGeometry(20, 222, 420, 20);
  timHoldSplash = new platform::VbTimer(this);
  connect(timHoldSplash, &platform::VbTimer::Timer, this, &frmSplash::timHoldSplash_Timer);
  Form_Load();
}

void frmSplash::Form_Load() {
  setWindowIcon(platform::LoadResIcon(209));
  lblLoadStatus->SetCaption("Initializing Tolvan...");
  lblVersionNumber->SetCaption(QString("Version %1.%2.%3")
                                   .arg(platform::kVersionMajor)
                                   .arg(platform::kVersionMinor)
                                   .arg(platform::kVersionRevision));
  app_.decl.gRebuildInventory = false;
}

void frmSplash::Form_Activate() {
  if (done_) return;
  lblLoadStatus->SetCaption("Initializing Tolvan...");
  timHoldSplash->SetInterval(2000);
  timHoldSplash->SetEnabled(true);
}

void frmSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A splash that never becomes the active window (no window manager) still starts its hold.
  if (!timHoldSplash->Enabled()) Form_Activate();
}

void frmSplash::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void frmSplash::timHoldSplash_Timer() {
  // One tick at a time: a long main-window load must not run a second one.
  timHoldSplash->SetEnabled(false);
  platform::DoEvents();
  lblLoadStatus->SetCaption("Checking inventory...");
  Declarations& decl = app_.decl;
  for (const std::string* file : {&decl.files.gInvSumFile, &decl.files.gInventoryFile}) {
    platform::FileProbe probe = platform::FileLen(*file);
    if (probe.error == platform::errFileNotFound) {
      if (decl.gRebuildInventory) {
        lblLoadStatus->SetCaption("Scanning system and building audio inventory...");
      } else {
        lblLoadStatus->SetCaption("Inventory file(s) not found, building new inventory...");
        decl.gRebuildInventory = true;
      }
    } else if (!probe.ok()) {
      if (++failedChecks_ < kMaxFailedChecks) {
        timHoldSplash->SetEnabled(true);
        return;
      }
      done_ = true;
      platform::MsgBox("Tolvan cannot read its data folder " + decl.files.gDataPath + "." +
                           std::string(platform::vbLf) + std::string(platform::vbCr) +
                           "Check that the folder exists and can be read. Tolvan will now close.",
                       platform::vbCritical, "Data Folder Missing");
      close();
      QApplication::exit(1);
      return;
    }
  }
  failedChecks_ = 0;
  done_ = true;
  // A kill or a failed write between inventory.dat and invsum.dat leaves the summary behind
  // the inventory: it is counted again before the main window draws it.
  const inventory::SummaryInStep step = inventory::BringSummaryInStep(decl.files);
  if (step.error != platform::errNone) {
    messages::ReportSaveFailure(decl.files.gInvSumFile, platform::VbError::DescribeError(step.error));
  }
  if (showMainWindow_) showMainWindow_();
  close();
}

void frmSplash::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QColor text = platform::VbColor(0xDCC281);
  p.setPen(QPen(text, 2));
  p.drawRoundedRect(rect().adjusted(2, 2, -3, -3), 10, 10);
  QPixmap icon = platform::LoadResPicture(201, platform::ResKind::Icon).scaled(64, 64, Qt::KeepAspectRatio,
                                                                               Qt::SmoothTransformation);
  p.drawPixmap(24, 40, icon);
  QFont f = font();
  f.setPointSize(20);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(104, 40, 340, 40), Qt::AlignVCenter | Qt::AlignLeft, "Tolvan");
  f.setPointSize(12);
  f.setBold(false);
  p.setFont(f);
  p.drawText(QRect(104, 80, 340, 30), Qt::AlignVCenter | Qt::AlignLeft, "Audio Manager");
}
