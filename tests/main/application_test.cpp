// The program's application object, on the offscreen platform: a failure that escapes a
// handler is told, and the program goes on.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <stdexcept>

#include "main/program.h"
#include "platform/core/errors.h"
#include "support/scripted_services.h"

TEST(TolvanApplication, AFailureEscapingAHandlerIsShownAndTheEventLoopGoesOn) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "tolvan";
  char* argv[] = {name, nullptr};
  TolvanApplication app(argc, argv);
  testing_support::ScriptedMessageBoxes boxes;
  boxes.Answer(platform::vbOK);
  boxes.Answer(platform::vbOK);

  QPushButton button("Play");
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&clicks] {
    if (++clicks == 1) throw platform::VbError(platform::errUnspecified);
    throw std::runtime_error("the second failure");
  });
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);

  EXPECT_EQ(clicks, 2) << "the button takes clicks after a failure";
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Action Not Completed");
  EXPECT_EQ(boxes.shown()[0].text, "Tolvan could not complete the last action:\n\r\n\rUnspecified error");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_NE(boxes.shown()[1].text.find("the second failure"), std::string::npos);
}
