#include "help/frmHelp.h"

#include "help/helpdeclarations.h"
#include "windows/skin.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

// The viewer's pictures live in a static library, whose resources need this call.
static void InitHelpPictures() { Q_INIT_RESOURCE(help); }

namespace {

using platform::TwipsToPixels;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;

void Place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QPushButton* PictureButton(QWidget* parent, const char* tip, int left, int top, int width, int height) {
  auto* b = new QPushButton(parent);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  Place(b, left, top, width, height);
  return b;
}

}  // namespace

frmHelp::frmHelp(QWidget* parent) : QWidget(parent) {
  InitHelpPictures();
  setWindowTitle("Help! - Tolvan Audio Manager");
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(9840), TwipsToPixels(8550));
  platform::PaintWindow(*this, skin::kFormGrey);
  const QFont pageFont = font();
  // The window is laid out for an 8-point face; the pages keep the normal one.
  QFont face = font();
  face.setPointSizeF(8.25);
  setFont(face);

  btnBack = PictureButton(this, "Back", 120, 120, 1095, 375);
  btnFwd = PictureButton(this, "Forward", 1200, 120, 1095, 375);
  btnIndex = PictureButton(this, "Disply Help index", 2400, 120, 1215, 375);

  lblHelpTitleLabel = new platform::Label(this, "Title:");
  lblHelpTitleLabel->SetBackColor(skin::kFormGrey);
  lblHelpTitleLabel->SetForeColor(kBlack);
  QFont bold = lblHelpTitleLabel->font();
  bold.setBold(true);
  lblHelpTitleLabel->setFont(bold);
  Place(lblHelpTitleLabel, 3720, 195, 495, 255);

  lblHelpTitle = new platform::Label(this);
  lblHelpTitle->setTextFormat(Qt::PlainText);  // a page's title is text, never markup
  lblHelpTitle->SetBackColor(kWhite);
  lblHelpTitle->SetForeColor(kBlack);
  lblHelpTitle->setIndent(3);
  Place(lblHelpTitle, 4200, 150, 4575, 270);

  btnPrint = PictureButton(this, "Print", 8880, 120, 855, 375);

  wbrHelpScreen = new help::HelpBrowser(this);
  wbrHelpScreen->setFont(pageFont);
  wbrHelpScreen->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
  Place(wbrHelpScreen, 120, 600, 9615, 7395);

  btnExit = PictureButton(this, "Exit Help", 9000, 8100, 735, 375);

  setTabOrder(btnBack, btnFwd);
  setTabOrder(btnFwd, btnIndex);
  setTabOrder(btnIndex, btnPrint);
  setTabOrder(btnPrint, btnExit);

  connect(btnBack, &QPushButton::clicked, this, &frmHelp::btnBack_Click);
  connect(btnFwd, &QPushButton::clicked, this, &frmHelp::btnFwd_Click);
  connect(btnIndex, &QPushButton::clicked, this, &frmHelp::btnIndex_Click);
  connect(btnPrint, &QPushButton::clicked, this, &frmHelp::btnPrint_Click);
  connect(btnExit, &QPushButton::clicked, this, &frmHelp::btnExit_Click);
  connect(wbrHelpScreen, &help::HelpBrowser::DownloadComplete, this, &frmHelp::wbrHelpScreen_DownloadComplete);
  connect(wbrHelpScreen, &help::HelpBrowser::TitleChange, this, &frmHelp::wbrHelpScreen_TitleChange);
  connect(wbrHelpScreen, &help::HelpBrowser::BackRequested, this, &frmHelp::btnBack_Click);
  connect(wbrHelpScreen, &help::HelpBrowser::ForwardRequested, this, &frmHelp::btnFwd_Click);
}

void frmHelp::Form_Load() {
  HelpDeclarations& h = Helpdeclarations();
  setWindowIcon(platform::LoadResIcon(214));
  platform::SetButtonPicture(btnBack, 149, platform::ResKind::Bitmap, 150, 6);
  platform::SetButtonPicture(btnFwd, 151, platform::ResKind::Bitmap, 152, 6);
  platform::SetButtonPicture(btnIndex, 153, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnPrint, 154, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnExit, 116, platform::ResKind::Bitmap, 0, 6);
  btnBack->setEnabled(false);
  btnFwd->setEnabled(false);
  h.gHelpFirstLoad = true;
  wbrHelpScreen->SetHelpFolder(h.gHelpPath);
  h.gHelpURL = h.gHelpPath + h.gCommandLine;
  wbrHelpScreen->Navigate(h.gHelpURL);
}

void frmHelp::wbrHelpScreen_DownloadComplete() {
  HelpDeclarations& h = Helpdeclarations();
  if (h.gHelpFirstLoad) {
    h.gHelpFirstLoad = false;
    return;
  }
  btnBack->setEnabled(true);
}

void frmHelp::wbrHelpScreen_TitleChange(const QString& text) { lblHelpTitle->SetCaption(text); }

void frmHelp::btnBack_Click() {
  wbrHelpScreen->setFocus();
  if (wbrHelpScreen->GoBack()) {
    btnFwd->setEnabled(true);
  } else {
    btnBack->setEnabled(false);
  }
}

void frmHelp::btnFwd_Click() {
  wbrHelpScreen->setFocus();
  if (wbrHelpScreen->GoForward()) {
    btnBack->setEnabled(true);
  } else {
    btnFwd->setEnabled(false);
  }
}

void frmHelp::btnIndex_Click() {
  wbrHelpScreen->setFocus();
  wbrHelpScreen->Navigate(Helpdeclarations().gHelpPath + "index.htm");
  btnBack->setEnabled(true);
}

void frmHelp::btnPrint_Click() {
  wbrHelpScreen->setFocus();
  try {
    wbrHelpScreen->PrintPage();
  } catch (const platform::VbError& failure) {
    platform::MsgBox(failure.what(), platform::vbExclamation, "Help Page Not Printed");
  }
}

void frmHelp::btnExit_Click() { close(); }
