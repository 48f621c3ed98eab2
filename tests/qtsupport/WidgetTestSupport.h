// What the widget tests share: screenshots, checks that a window really drew its controls, and
// answering the message boxes an action opens.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kelva::widgets_test {

// Saves the window as a PNG into the build folder's screenshots and checks what it shows: not
// one flat colour, and every visible widget inside the window.
inline void ExpectRendered(QWidget& Window, const std::string& Name) {
  // Pending layout requests are handled first: the picture is what a person would see.
  QCoreApplication::processEvents();
  const QImage Image = Window.grab().toImage();
  ASSERT_FALSE(Image.isNull());
  EXPECT_TRUE(
      Image.save(QString::fromStdString(std::string(KELVA_SCREENSHOT_DIR) + "/" + Name + ".png")));
  int Colours = 0;
  const QRgb First = Image.pixel(0, 0);
  for (int Y = 0; Y < Image.height() && Colours == 0; Y += 2)
    for (int X = 0; X < Image.width(); X += 2)
      if (Image.pixel(X, Y) != First) {
        ++Colours;
        break;
      }
  EXPECT_GT(Colours, 0) << Name << " renders as one flat colour";
  const QRect Inside = Window.rect();
  for (QWidget* Child : Window.findChildren<QWidget*>()) {
    if (!Child->isVisibleTo(&Window) || Child->isWindow()) continue;
    const QRect Placed(Child->mapTo(&Window, QPoint(0, 0)), Child->size());
    EXPECT_TRUE(Inside.contains(Placed))
        << Name << ": " << Child->metaObject()->className() << " '"
        << Child->objectName().toStdString() << "' lies outside the window";
  }
}

// The next message box that opens: its text is kept and ButtonText (or the first button) is
// clicked. Call before the action that opens it.
class MessageBoxAnswer {
public:
  explicit MessageBoxAnswer(QMessageBox::StandardButton Button = QMessageBox::Ok)
      : FButton(Button) {
    FTimer.setInterval(5);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
    FTimer.start();
  }
  bool Seen() const { return FSeen; }
  const std::string& Text() const { return FText; }
  QMessageBox::Icon Icon() const { return FIcon; }

private:
  void Poll() {
    for (QWidget* Top : QApplication::topLevelWidgets()) {
      auto* Box = qobject_cast<QMessageBox*>(Top);
      if (!Box || !Box->isVisible()) continue;
      FSeen = true;
      FText = Box->text().toStdString();
      FIcon = Box->icon();
      FTimer.stop();
      QAbstractButton* Button = Box->button(FButton);
      if (!Button && !Box->buttons().isEmpty()) Button = Box->buttons().first();
      if (Button) QTest::mouseClick(Button, Qt::LeftButton);
      return;
    }
  }
  QMessageBox::StandardButton FButton;
  QTimer FTimer;
  bool FSeen = false;
  std::string FText;
  QMessageBox::Icon FIcon = QMessageBox::NoIcon;
};

// Runs Action once the event loop runs again (inside a modal loop started after this call).
inline void Later(std::function<void()> Action) {
  QTimer::singleShot(0, std::move(Action));
}

} // namespace kelva::widgets_test
