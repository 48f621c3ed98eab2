// The widget tests run real Qt widgets on Qt's offscreen platform, which draws and takes input
// without a display; one QApplication serves every test of the process.
#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
