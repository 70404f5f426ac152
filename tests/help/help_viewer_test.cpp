// The help viewer's window on small pages of its own: start, history buttons, title, missing
// pages, printing and exit.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <string>
#include <vector>

#include "help/frmHelp.h"
#include "help/helpaddress.h"
#include "help/helpdeclarations.h"
#include "platform/core/drives.h"
#include "platform/core/msgbox.h"
#include "platform/core/printer.h"
#include "platform/qt/controls.h"
#include "support/scripted_services.h"

namespace {

void WriteFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

QByteArray Page(const char* title, const char* body) {
  QByteArray html = "<html><head>";
  if (title) html += QByteArray("<title>") + title + "</title>";
  return html + "</head><body>" + body + "</body></html>";
}

// Where the anchor with this href sits in the view, in viewport coordinates.
std::optional<QPoint> AnchorPoint(help::HelpBrowser* view, const QString& href) {
  QTextDocument* doc = view->document();
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isAnchor()) continue;
      if (!fragment.charFormat().anchorHref().endsWith(href)) continue;
      QTextCursor cursor(doc);
      cursor.setPosition(fragment.position() + fragment.length() / 2);
      view->setTextCursor(cursor);
      view->ensureCursorVisible();
      return view->cursorRect(cursor).center();
    }
  }
  return std::nullopt;
}

// Clicks the link as the user does: press and release on the anchor.
void FollowLink(help::HelpBrowser* view, const QString& href) {
  auto point = AnchorPoint(view, href);
  ASSERT_TRUE(point) << "no link to " << href.toStdString() << " on the page";
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, *point);
}

QString ShownFile(frmHelp* w) { return QFileInfo(w->wbrHelpScreen->source().toLocalFile()).fileName(); }

class HelpViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(outside_.isValid());
    const QString help = root_.path() + "/app/help/";
    WriteFile(help + "first.htm", Page("First", "<p>First page text</p><p><a href=\"second.htm\">to second</a></p>"));
    WriteFile(help + "second.htm", Page("Second", "<p><a href=\"first.htm\">to first</a></p>"));
    WriteFile(help + "untitled.htm", Page(nullptr, "<p>no title here</p>"));
    WriteFile(help + "amp.htm", Page("Tips &amp; &lt;tricks&gt;", "<p>x</p>"));
    WriteFile(help + "index.htm", Page("Index", "<p><a href=\"first.htm\">first</a></p>"));
    platform::SetDriveMap(platform::DriveMap({{'C', root_.path().toStdString()}}));
  }
  void TearDown() override {
    delete window_.data();
    platform::SetDriveMap(platform::DriveMap::FromEnvironment());
  }

  frmHelp* Start(const std::string& commandLine) {
    window_ = Main((root_.path() + "/app").toStdString(), commandLine);
    return window_.data();
  }

  // The host path from the help folder up to `name` in a folder beside the drive's root.
  QString Outside(const QString& name) const { return "../../../" + QFileInfo(outside_.path()).fileName() + "/" + name; }

  QTemporaryDir root_;     // drive C:
  QTemporaryDir outside_;  // on no drive, beside C:'s root folder
  QPointer<frmHelp> window_;
};

TEST(HelpAppPath, EndsInExactlyOneBackslash) {
  EXPECT_EQ(HelpAppPath("C:\\Apps"), "C:\\Apps\\");
  EXPECT_EQ(HelpAppPath("C:\\"), "C:\\");
}

TEST(HelpCommandLine, JoinsTheArgumentsIntoOnePageName) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const std::vector<Case> cases = {
      {{}, ""},
      {{"dbrecon.htm"}, "dbrecon.htm"},
      {{"my", "page.htm"}, "my page.htm"},
      {{"my page.htm"}, "my page.htm"},
      {{"\"dbrecon.htm\""}, "\"dbrecon.htm\""},  // quotes are kept as given
  };
  for (const Case& c : cases) EXPECT_EQ(HelpCommandLine(c.args), c.line);
}

TEST(ResolvedAddress, DotDotAboveTheDrivesRootStaysAtTheRoot) {
  struct Case {
    const char* address;
    const char* resolved;
  };
  const std::vector<Case> cases = {
      {"C:\\app\\help\\first.htm", "C:\\app\\help\\first.htm"},
      {"C:\\app\\help\\..\\..\\..\\..\\etc\\hostname", "C:\\etc\\hostname"},
      {"C:\\app\\help\\../../../../etc/hostname", "C:\\etc\\hostname"},
      {"D:\\..", "D:\\"},
      {"C:..\\x.htm", "C:\\x.htm"},
      {"C:\\app\\help\\.\\sub\\..\\\\first.htm", "C:\\app\\help\\first.htm"},
      {"C:\\app\\help\\", "C:\\app\\help\\"},  // a folder keeps its trailing backslash
      {"C:\\app\\help\\\"..\\x.htm\"", "C:\\app\\help\\\"..\\x.htm\""},  // '"..' is a name, not the parent
      {"C:\\app\\...\\x.htm", "C:\\app\\...\\x.htm"},
      {"help\\..\\..\\x.htm", "help\\..\\..\\x.htm"},  // on no drive: left as it is
  };
  for (const Case& c : cases) EXPECT_EQ(help::ResolvedAddress(c.address), c.resolved) << c.address;
}

TEST_F(HelpViewerTest, OpensTheCommandLinePageFromTheHelpFolderBesideTheProgram) {
  frmHelp* w = Start("first.htm");
  const HelpDeclarations& h = Helpdeclarations();
  EXPECT_EQ(h.gAppPath, "C:\\app\\");
  EXPECT_EQ(h.gHelpPath, "C:\\app\\help\\");
  EXPECT_EQ(h.gHelpURL, "C:\\app\\help\\first.htm");
  EXPECT_EQ(w->wbrHelpScreen->ShownAddress(), "C:\\app\\help\\first.htm");
  EXPECT_TRUE(w->wbrHelpScreen->toPlainText().contains("First page text"));
  EXPECT_FALSE(h.gHelpFirstLoad);
}

TEST_F(HelpViewerTest, FromADriveRootNoSecondBackslashIsAdded) {
  platform::SetDriveMap(platform::DriveMap({{'C', (root_.path() + "/app").toStdString()}}));
  frmHelp* w = Start("first.htm");
  EXPECT_EQ(Helpdeclarations().gAppPath, "C:\\");
  EXPECT_EQ(Helpdeclarations().gHelpURL, "C:\\help\\first.htm");
  EXPECT_EQ(ShownFile(w), "first.htm");
}

TEST_F(HelpViewerTest, AFolderOnNoDriveStillShowsItsPages) {
  platform::SetDriveMap(platform::DriveMap({{'D', "/nonexistent-drive"}}));
  frmHelp* w = Start("first.htm");
  QString expected = "C:" + root_.path() + "/app/help/first.htm";
  EXPECT_EQ(Helpdeclarations().gHelpURL, expected.replace('/', '\\').toStdString());
  EXPECT_EQ(w->lblHelpTitle->Caption(), "First");
}

// The two history buttons over scripted walks through the pages: every step names what the
// user does, then the buttons' enabling and the page on show after it.
enum class Act { Link, Back, Forward, Index, AltLeft, AltRight };
struct Step {
  Act act;
  const char* href;  // Link only
  bool back;
  bool fwd;
  const char* shown;
};
struct Walk {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const Walk& walk, std::ostream* os) { *os << walk.name; }

class HistoryButtons : public HelpViewerTest, public ::testing::WithParamInterface<Walk> {};

TEST_P(HistoryButtons, FollowTheTable) {
  frmHelp* w = Start("first.htm");
  EXPECT_FALSE(w->btnBack->isEnabled()) << "after the first page loaded";
  EXPECT_FALSE(w->btnFwd->isEnabled()) << "after the first page loaded";
  int n = 0;
  for (const Step& s : GetParam().steps) {
    ++n;
    switch (s.act) {
      case Act::Link: FollowLink(w->wbrHelpScreen, s.href); break;
      case Act::Back: w->btnBack->click(); break;
      case Act::Forward: w->btnFwd->click(); break;
      case Act::Index: w->btnIndex->click(); break;
      case Act::AltLeft: QTest::keyClick(w->wbrHelpScreen, Qt::Key_Left, Qt::AltModifier); break;
      case Act::AltRight: QTest::keyClick(w->wbrHelpScreen, Qt::Key_Right, Qt::AltModifier); break;
    }
    EXPECT_EQ(w->btnBack->isEnabled(), s.back) << "Back after step " << n;
    EXPECT_EQ(w->btnFwd->isEnabled(), s.fwd) << "Forward after step " << n;
    EXPECT_EQ(ShownFile(w).toStdString(), s.shown) << "page after step " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Walks, HistoryButtons,
    ::testing::Values(
        // A link, then back to the first page: the load there enables Back again, and only the
        // Back that finds no earlier page disables it.
        Walk{"LinkBackBackForwardForward",
             {{Act::Link, "second.htm", true, false, "second.htm"},
              {Act::Back, nullptr, true, true, "first.htm"},
              {Act::Back, nullptr, false, true, "first.htm"},
              {Act::Forward, nullptr, true, true, "second.htm"},
              {Act::Forward, nullptr, true, false, "second.htm"}}},
        // Index enables Back at once.
        Walk{"IndexThenBack",
             {{Act::Index, nullptr, true, false, "index.htm"},
              {Act::Back, nullptr, true, true, "first.htm"},
              {Act::Back, nullptr, false, true, "first.htm"}}},
        // A new link after going back drops the forward pages; Forward stays enabled until a
        // Forward finds nothing.
        Walk{"LinkAfterBackDropsForward",
             {{Act::Link, "second.htm", true, false, "second.htm"},
              {Act::Back, nullptr, true, true, "first.htm"},
              {Act::Link, "second.htm", true, true, "second.htm"},
              {Act::Forward, nullptr, true, false, "second.htm"},
              {Act::Back, nullptr, true, true, "first.htm"}}},
        // The view's history keys move like the buttons and set them the same way.
        Walk{"HistoryKeys",
             {{Act::Link, "second.htm", true, false, "second.htm"},
              {Act::AltLeft, nullptr, true, true, "first.htm"},
              {Act::AltLeft, nullptr, false, true, "first.htm"},
              {Act::AltRight, nullptr, true, true, "second.htm"},
              {Act::AltRight, nullptr, true, false, "second.htm"}}}),
    [](const ::testing::TestParamInfo<Walk>& info) { return std::string(info.param.name); });

TEST_F(HelpViewerTest, TheTitleLabelShowsThePagesTitle) {
  struct Case {
    const char* page;
    const char* title;
  };
  const std::vector<Case> cases = {
      {"first.htm", "First"},
      {"untitled.htm", "untitled.htm"},  // a page without a title is named by its file
      {"amp.htm", "Tips & <tricks>"},  // shown as text, never as markup
      {"missing.htm", "Page Not Found"},
  };
  for (const Case& c : cases) {
    frmHelp* w = Start(c.page);
    EXPECT_EQ(w->lblHelpTitle->Caption().toStdString(), c.title) << c.page;
    EXPECT_EQ(w->lblHelpTitle->textFormat(), Qt::PlainText);
    delete w;
  }
}

TEST_F(HelpViewerTest, TheTitleFollowsTheShownPage) {
  frmHelp* w = Start("first.htm");
  FollowLink(w->wbrHelpScreen, "second.htm");
  EXPECT_EQ(w->lblHelpTitle->Caption(), "Second");
  w->btnBack->click();
  EXPECT_EQ(w->lblHelpTitle->Caption(), "First");
}

TEST_F(HelpViewerTest, AMissingPageSaysSoAndLinksTheIndex) {
  testing_support::ScriptedMessageBoxes boxes;  // fails on any box
  frmHelp* w = Start("nosuch.htm");
  const QString text = w->wbrHelpScreen->toPlainText();
  EXPECT_TRUE(text.contains("Page not found"));
  EXPECT_TRUE(text.contains("C:\\app\\help\\nosuch.htm"));
  FollowLink(w->wbrHelpScreen, "/app/help/index.htm");
  EXPECT_EQ(ShownFile(w), "index.htm");
  EXPECT_EQ(w->lblHelpTitle->Caption(), "Index");
  EXPECT_TRUE(w->btnBack->isEnabled());
  w->btnBack->click();
  EXPECT_EQ(w->lblHelpTitle->Caption(), "Page Not Found");
}

// ".." above the drive's root stays at the root, as on the drives' own platform: the page
// named on the command line never lies outside the help folder's drive.
TEST_F(HelpViewerTest, TheCommandLinePageStaysOnTheHelpFoldersDrive) {
  WriteFile(outside_.path() + "/beyond.htm", Page("Beyond", "<p>a host file off the drives</p>"));
  WriteFile(root_.path() + "/inroot.htm", Page("Drive Root", "<p>in the drive's root</p>"));
  const QString beyond = QFileInfo(outside_.path()).fileName() + "\\beyond.htm";
  struct Case {
    QString commandLine;
    const char* title;
    QString text;
  };
  const std::vector<Case> cases = {
      {Outside("beyond.htm"), "Page Not Found", "C:\\" + beyond},
      {QString(Outside("beyond.htm")).replace('/', '\\'), "Page Not Found", "C:\\" + beyond},
      {"../../../../../../../../../" + QFileInfo(outside_.path()).fileName() + "/beyond.htm", "Page Not Found",
       "C:\\" + beyond},
      {"..\\..\\inroot.htm", "Drive Root", "in the drive's root"},
      {"..\\..\\..\\..\\..\\inroot.htm", "Drive Root", "in the drive's root"},  // stopped at C:\\ on the way
      {"nosuch\\..\\first.htm", "First", "First page text"},                    // names, not folders, are undone
      {"first.htm", "First", "First page text"},
      {"\"first.htm\"", "Page Not Found", "C:\\app\\help\\\"first.htm\""},  // quotes stay part of the name
  };
  for (const Case& c : cases) {
    frmHelp* w = Start(c.commandLine.toStdString());
    EXPECT_EQ(w->lblHelpTitle->Caption().toStdString(), c.title) << c.commandLine.toStdString();
    EXPECT_TRUE(w->wbrHelpScreen->toPlainText().contains(c.text))
        << c.commandLine.toStdString() << " shows: " << w->wbrHelpScreen->toPlainText().toStdString();
    EXPECT_FALSE(w->wbrHelpScreen->toPlainText().contains("off the drives")) << c.commandLine.toStdString();
    delete w;
  }
}

TEST_F(HelpViewerTest, AFollowedLinkStaysOnTheHelpFoldersDrive) {
  WriteFile(outside_.path() + "/beyond.htm", Page("Beyond", "<p>a host file off the drives</p>"));
  WriteFile(root_.path() + "/inroot.htm", Page("Drive Root", "<p>in the drive's root</p>"));
  struct Case {
    QString href;
    const char* title;
  };
  const std::vector<Case> cases = {
      {Outside("beyond.htm"), "Page Not Found"},
      {QString(Outside("beyond.htm")).replace("..", "%2E%2E"), "Page Not Found"},
      {QUrl::fromLocalFile(outside_.path() + "/beyond.htm").toString(), "Page Not Found"},
      {"../../../../../inroot.htm", "Drive Root"},
      {"..\\..\\..\\..\\..\\inroot.htm", "Drive Root"},
      {"/inroot.htm", "Drive Root"},  // a path from the root is one from the drive's root
      {"second.htm", "Second"},
  };
  for (const Case& c : cases) {
    WriteFile(root_.path() + "/app/help/link.htm", Page("Link", ("<p><a href=\"" + c.href + "\">go</a></p>").toUtf8().constData()));
    frmHelp* w = Start("link.htm");
    FollowLink(w->wbrHelpScreen, c.href);
    EXPECT_EQ(w->lblHelpTitle->Caption().toStdString(), c.title) << c.href.toStdString();
    EXPECT_FALSE(w->wbrHelpScreen->toPlainText().contains("off the drives")) << c.href.toStdString();
    delete w;
  }
}

// A page's pictures and stylesheets come from the drive as its links do.
TEST_F(HelpViewerTest, APagesPicturesAndStylesheetsStayOnTheHelpFoldersDrive) {
  const QString help = root_.path() + "/app/help/";
  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(help + "inside.png"));
  ASSERT_TRUE(picture.save(outside_.path() + "/beyond.png"));
  WriteFile(help + "inside.css", "p { color: #ff0000; }");
  WriteFile(outside_.path() + "/beyond.css", "h2 { color: #0000ff; }");
  const QString beyond = Outside("beyond.png");
  const QString body = "<p>styled<img src=\"inside.png\"><img src=\"" + beyond + "\"></p><h2>heading</h2>";
  auto sheet = [](const QString& href) { return "<link rel=\"stylesheet\" type=\"text/css\" href=\"" + href + "\">"; };
  const QString head = sheet("inside.css") + sheet(Outside("beyond.css")) + "<title>Pictures</title>";
  WriteFile(help + "pictures.htm", ("<html><head>" + head + "</head><body>" + body + "</body></html>").toUtf8());
  frmHelp* w = Start("pictures.htm");
  QTextDocument* doc = w->wbrHelpScreen->document();
  auto loaded = [doc](const QString& src) {
    const QVariant v = doc->resource(QTextDocument::ImageResource, QUrl(src));
    if (v.typeId() == QMetaType::QPixmap) return !v.value<QPixmap>().isNull();
    if (v.typeId() == QMetaType::QImage) return !v.value<QImage>().isNull();
    return !QImage::fromData(v.toByteArray()).isNull();
  };
  EXPECT_TRUE(loaded("inside.png"));
  EXPECT_FALSE(loaded(beyond));
  auto colour = [doc](const QString& text) {
    const QTextCursor at = doc->find(text);
    return at.isNull() ? QColor() : at.charFormat().foreground().color();
  };
  EXPECT_EQ(colour("styled"), QColor(0xff, 0, 0));
  EXPECT_NE(colour("heading"), QColor(0, 0, 0xff));
}

// Only text is shown as a page, and only up to a size that the view lays out at once; a
// program or any other binary file is a missing page, named or linked.
TEST_F(HelpViewerTest, OnlyTextFilesOfABoundedSizeShowAsPages) {
  const QString help = root_.path() + "/app/help/";
  QByteArray program("\x7F" "ELF\x02\x01\x01", 7);
  program += QByteArray(9, '\0') + QByteArray("GLIBC_2.34 main printf") + QByteArray(4096, '\x90');
  WriteFile(help + "program.exe", program);
  QImage picture(8, 8, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  ASSERT_TRUE(picture.save(help + "picture.png"));
  WriteFile(help + "notes.txt", "Plain notes, no markup\r\n\tindented\f\r\n");
  QByteArray utf16("\xFF\xFE", 2);
  const QString wide = "<html><head><title>Wide</title></head><body>UTF-16 page</body></html>";
  utf16.append(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
  WriteFile(help + "wide.htm", utf16);
  // Pages of exactly the largest size and of one byte more: a comment pads them cheaply.
  const qint64 limit = help::HelpBrowser::kLargestPage;
  const QByteArray head = Page("At The Limit", "<p>largest page</p>") + "<!--";
  const QByteArray full = head + QByteArray(limit - head.size() - 3, 'x') + "-->";
  ASSERT_EQ(full.size(), limit);
  WriteFile(help + "limit.htm", full);
  WriteFile(help + "over.htm", QByteArray(full).insert(head.size(), 'x'));

  struct Case {
    const char* page;
    const char* title;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"program.exe", "Page Not Found", "C:\\app\\help\\program.exe"},
      {"picture.png", "Page Not Found", "C:\\app\\help\\picture.png"},
      {"over.htm", "Page Not Found", "C:\\app\\help\\over.htm"},
      {"limit.htm", "At The Limit", "largest page"},
      {"notes.txt", "notes.txt", "Plain notes, no markup"},
      {"wide.htm", "Wide", "UTF-16 page"},
  };
  for (const Case& c : cases) {
    frmHelp* w = Start(c.page);
    EXPECT_EQ(w->lblHelpTitle->Caption().toStdString(), c.title) << c.page;
    EXPECT_TRUE(w->wbrHelpScreen->toPlainText().contains(c.text)) << c.page;
    delete w;
    WriteFile(help + "link.htm", Page("Link", (QByteArray("<p><a href=\"") + c.page + "\">go</a></p>").constData()));
    w = Start("link.htm");
    FollowLink(w->wbrHelpScreen, c.page);
    EXPECT_EQ(w->lblHelpTitle->Caption().toStdString(), c.title) << "linked " << c.page;
    delete w;
  }
}

TEST_F(HelpViewerTest, AnEmptyCommandLineShowsTheHelpFolderWithItsPages) {
  frmHelp* w = Start("");
  EXPECT_EQ(Helpdeclarations().gHelpURL, "C:\\app\\help\\");
  EXPECT_TRUE(w->wbrHelpScreen->toPlainText().contains("second.htm"));
  FollowLink(w->wbrHelpScreen, "/second.htm");
  EXPECT_EQ(w->lblHelpTitle->Caption(), "Second");
}

TEST_F(HelpViewerTest, PrintWithNoPrinterSaysSoWithThePrintersMessage) {
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  frmHelp* w = Start("first.htm");
  w->wbrHelpScreen->SetPrinterLookup([] { return QPrinterInfo(); });
  testing_support::ScriptedMessageBoxes boxes;
  boxes.Answer(platform::vbOK);
  w->btnPrint->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::kNoPrinterInstalled);
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].title, "Help Page Not Printed");
  EXPECT_TRUE(w->isVisible());
}

TEST_F(HelpViewerTest, PrintSendsTheShownPageWithoutADialog) {
  const QString pdf = root_.path() + "/out.pdf";
  qputenv("TOLVAN_PRINT_TO_PDF", pdf.toUtf8());
  frmHelp* w = Start("first.htm");
  testing_support::ScriptedMessageBoxes boxes;  // fails on any box
  w->btnPrint->click();
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5) == "%PDF-");
  EXPECT_FALSE(QFile::exists(pdf + ".part"));
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
  QProcess tool;
  tool.start("pdftotext", {pdf, "-"});
  ASSERT_TRUE(tool.waitForFinished(20000));
  EXPECT_TRUE(tool.readAllStandardOutput().contains("First page text"));
}

TEST_F(HelpViewerTest, APrintoutThatCannotBeWrittenIsReported) {
  qputenv("TOLVAN_PRINT_TO_PDF", (root_.path() + "/no/such/folder/out.pdf").toUtf8());
  frmHelp* w = Start("first.htm");
  testing_support::ScriptedMessageBoxes boxes;
  boxes.Answer(platform::vbOK);
  w->btnPrint->click();
  qunsetenv("TOLVAN_PRINT_TO_PDF");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_NE(boxes.shown()[0].text.find("could not be written"), std::string::npos);
}

TEST_F(HelpViewerTest, ExitClosesTheWindow) {
  frmHelp* w = Start("first.htm");
  ASSERT_TRUE(w->isVisible());
  w->btnExit->click();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(HelpViewerTest, TheWindowAsDesigned) {
  frmHelp* w = Start("first.htm");
  EXPECT_EQ(w->windowTitle(), "Help! - Tolvan Audio Manager");
  EXPECT_EQ(w->size(), QSize(656, 570));  // 9840 x 8550 twips
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_FALSE(w->windowIcon().isNull());
  EXPECT_EQ(w->palette().color(QPalette::Window), platform::VbColor(0x808080));
  EXPECT_EQ(w->lblHelpTitle->BackColor(), 0xFFFFFFu);
  EXPECT_EQ(w->lblHelpTitleLabel->Caption(), "Title:");
  EXPECT_TRUE(w->lblHelpTitleLabel->font().bold());
  for (platform::Label* l : {w->lblHelpTitleLabel, w->lblHelpTitle}) {
    EXPECT_LE(l->fontMetrics().height(), l->height()) << l->Caption().toStdString();
  }
  EXPECT_LE(w->lblHelpTitleLabel->fontMetrics().horizontalAdvance("Title:"), w->lblHelpTitleLabel->width())
      << "the caption is cut";

  struct Control {
    QWidget* widget;
    const char* tip;
    QRect twips;
  };
  const std::vector<Control> controls = {
      {w->btnBack, "Back", {120, 120, 1095, 375}},
      {w->btnFwd, "Forward", {1200, 120, 1095, 375}},
      {w->btnIndex, "Disply Help index", {2400, 120, 1215, 375}},
      {w->btnPrint, "Print", {8880, 120, 855, 375}},
      {w->wbrHelpScreen, "", {120, 600, 9615, 7395}},
      {w->btnExit, "Exit Help", {9000, 8100, 735, 375}},
  };
  for (const Control& c : controls) {
    using platform::TwipsToPixels;
    EXPECT_EQ(c.widget->toolTip().toStdString(), c.tip);
    EXPECT_EQ(c.widget->geometry(), QRect(TwipsToPixels(c.twips.x()), TwipsToPixels(c.twips.y()),
                                          TwipsToPixels(c.twips.width()), TwipsToPixels(c.twips.height())))
        << c.tip;
    if (auto* b = qobject_cast<QPushButton*>(c.widget)) {
      EXPECT_TRUE(b->text().isEmpty()) << c.tip;
      EXPECT_FALSE(b->icon().isNull()) << c.tip;
    }
  }
  // Focus order: Back, Forward, Index, Print, Exit; the page is no tab stop.
  std::vector<QWidget*> order;
  QWidget* at = w->btnBack;
  do {
    if (at->focusPolicy() & Qt::TabFocus) order.push_back(at);
    at = at->nextInFocusChain();
  } while (at != w->btnBack && order.size() < 10);
  EXPECT_EQ(order, (std::vector<QWidget*>{w->btnBack, w->btnFwd, w->btnIndex, w->btnPrint, w->btnExit}));
}

}  // namespace
