// The help pages as the build lays them out beside the programs: all there, all reachable from
// the index, no link that leads nowhere, and the viewer program where the Help buttons look.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <vector>

namespace {

const QString kAppDir = QStringLiteral(TOLVAN_APP_DIR);
const QString kHelpDir = kAppDir + "/help";
const QString kPagesSource = QStringLiteral(TOLVAN_SOURCE_DIR "/help-pages");

// The pages the Help buttons open, and the index the viewer's Index button opens.
const std::vector<QString> kPages = {"introduction.htm", "tdprogroup.htm", "tdprosolo.htm", "toolsnprefs.htm",
                                     "rsaddgroup.htm",   "rsaddfile.htm",  "rseditfile.htm", "dbrecon.htm",
                                     "playedit.htm",     "index.htm"};

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A page as the viewer's HTML view reads it.
struct ParsedPage {
  QString title;
  std::vector<QString> links;  // hrefs as written
  QSet<QString> anchors;       // names a link's fragment can aim at
};

ParsedPage Parse(const QString& path) {
  QTextDocument doc;
  doc.setHtml(QString::fromUtf8(Read(path)));
  ParsedPage page;
  page.title = doc.metaInformation(QTextDocument::DocumentTitle);
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (!format.isAnchor()) continue;
      if (!format.anchorHref().isEmpty()) page.links.push_back(format.anchorHref());
      for (const QString& name : format.anchorNames()) page.anchors.insert(name);
    }
  }
  return page;
}

QStringList PagesInFolder() { return QDir(kHelpDir).entryList({"*.htm"}, QDir::Files, QDir::Name); }

TEST(HelpPages, EveryPageIsInTheHelpFolderWithATitle) {
  for (const QString& name : kPages) {
    const QString path = kHelpDir + "/" + name;
    ASSERT_TRUE(QFile::exists(path)) << name.toStdString();
    const ParsedPage page = Parse(path);
    EXPECT_FALSE(page.title.trimmed().isEmpty()) << name.toStdString();
  }
}

TEST(HelpPages, TheBuildCopiesThePagesAsWritten) {
  // The pages and the one stylesheet they share.
  const QStringList sources = QDir(kPagesSource).entryList({"*.htm", "*.css"}, QDir::Files, QDir::Name);
  EXPECT_TRUE(sources.contains("help.css"));
  EXPECT_EQ(sources, QDir(kHelpDir).entryList({"*.htm", "*.css"}, QDir::Files, QDir::Name));
  for (const QString& name : sources) {
    EXPECT_EQ(Read(kPagesSource + "/" + name), Read(kHelpDir + "/" + name)) << name.toStdString();
  }
}

TEST(HelpPages, TheIndexLinksEveryPageAndEveryPageLinksTheIndex) {
  QSet<QString> fromIndex;
  for (const QString& href : Parse(kHelpDir + "/index.htm").links) fromIndex.insert(QUrl(href).path());
  for (const QString& name : PagesInFolder()) {
    if (name == "index.htm") continue;
    EXPECT_TRUE(fromIndex.contains(name)) << "the index does not link " << name.toStdString();
    bool linksIndex = false;
    for (const QString& href : Parse(kHelpDir + "/" + name).links) linksIndex |= QUrl(href).path() == "index.htm";
    EXPECT_TRUE(linksIndex) << name.toStdString() << " does not link the index";
  }
}

TEST(HelpPages, NoLinkLeadsNowhere) {
  int links = 0;
  for (const QString& name : PagesInFolder()) {
    const QUrl base = QUrl::fromLocalFile(kHelpDir + "/" + name);
    for (const QString& href : Parse(kHelpDir + "/" + name).links) {
      ++links;
      const QUrl target = base.resolved(QUrl(href));
      ASSERT_TRUE(target.isLocalFile()) << name.toStdString() << ": " << href.toStdString() << " leaves the help";
      const QString file = target.toLocalFile();
      EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(kHelpDir).absoluteFilePath())
          << name.toStdString() << ": " << href.toStdString();
      ASSERT_TRUE(QFileInfo(file).isFile()) << name.toStdString() << ": dead link " << href.toStdString();
      if (target.hasFragment()) {
        EXPECT_TRUE(Parse(file).anchors.contains(target.fragment()))
            << name.toStdString() << ": no anchor for " << href.toStdString();
      }
    }
  }
  EXPECT_GT(links, 0) << "the pages were read as holding no links at all";
}

// Every page name the program's sources hand to the viewer is a page of the help.
TEST(HelpPages, EveryPageTheProgramNamesExists) {
  static const QRegularExpression pageName(R"re("([A-Za-z0-9_]+\.htm)")re");
  QSet<QString> named;
  QDirIterator it(QStringLiteral(TOLVAN_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.contains("/src/help/")) continue;
    const QString text = QString::fromUtf8(Read(path));
    for (auto m = pageName.globalMatch(text); m.hasNext();) named.insert(m.next().captured(1));
  }
  EXPECT_FALSE(named.isEmpty());
  for (const QString& name : named) {
    EXPECT_TRUE(QFile::exists(kHelpDir + "/" + name)) << name.toStdString() << " is named but missing";
  }
}

// The viewer lies where the main program starts it, and two starts run side by side.
TEST(HelpProgram, StartsFromTheProgramFolderAndRunsBesideAnother) {
  const QString program = kAppDir + "/help.exe";
  ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.remove("TOLVAN_DRIVES");
  QProcess first, second;
  for (QProcess* p : {&first, &second}) {
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(kAppDir);
    p->start(program, {"introduction.htm"});
    ASSERT_TRUE(p->waitForStarted(10000));
  }
  // A viewer that cannot show its page ends or crashes at once; a working one waits for Exit.
  EXPECT_FALSE(first.waitForFinished(1500)) << first.readAllStandardError().toStdString();
  EXPECT_EQ(second.state(), QProcess::Running) << second.readAllStandardError().toStdString();
  for (QProcess* p : {&first, &second}) {
    p->kill();
    p->waitForFinished(5000);
  }
}

}  // namespace
