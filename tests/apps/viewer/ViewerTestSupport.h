// What the viewer's tests share: data files written by the dataset itself, a viewer window on
// screen, and the person's clicks and keys on it.
#pragma once

#include "qtsupport/WidgetTestSupport.h"

#include "kelva/apps/viewer/ChangesToolBar.h"
#include "kelva/apps/viewer/DataPane.h"
#include "kelva/apps/viewer/SearchToolBar.h"
#include "kelva/apps/viewer/StatusLine.h"
#include "kelva/apps/viewer/ViewerWindow.h"
#include "kelva/dataset/KelvaDataset.h"
#include "kelva/framework/widgets/DBGridView.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>

#include <string>
#include <utility>
#include <vector>

namespace kelva::viewer_test {

using namespace kelva::widgets_test;
using namespace kelva::viewer;

using TPeople = std::vector<std::pair<std::string, int>>;

// Writes a file of NAME and AGE records with the dataset's own SaveTofile.
inline std::string WritePeople(const QTemporaryDir& Dir, const std::string& Name,
                               const TPeople& People) {
  TEventDataset Data(nullptr);
  Data.MetaFields().Add("FIELD=NAME,CHAR,12");
  Data.MetaFields().Add("FIELD=AGE,INTEGER,0");
  Data.Open();
  for (const auto& [Person, Age] : People) Data.AppendRawRecord({Person, Age});
  const std::string Path = Dir.filePath(QString::fromStdString(Name)).toStdString();
  Data.SaveTofile(Path);
  return Path;
}

// A viewer window on screen with the message boxes and modal loops of the Qt widget set.
struct ViewerOnScreen {
  explicit ViewerOnScreen(const std::string& File = {}) {
    Window.show();
    Window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    if (!File.empty()) {
      EXPECT_TRUE(Window.OpenFile(File));
    }
    QCoreApplication::processEvents();
  }

  TKelvaDataset& Data() const { return *Window.DataSet(); }
  QTableView* Table() const { return Window.Pane().GridWidget()->Table(); }
  // The rows the grid shows, each as its cells joined by commas.
  std::vector<std::string> Rows() const {
    QCoreApplication::processEvents(); // the grid reads the dataset once an operation is over
    std::vector<std::string> Result;
    QAbstractItemModel* Model = Table()->model();
    for (int Row = 0; Row < Model->rowCount(); ++Row) {
      std::string Text;
      for (int Col = 0; Col < Model->columnCount(); ++Col) {
        if (Col) Text += ',';
        Text += Model->index(Row, Col).data().toString().toStdString();
      }
      Result.push_back(Text);
    }
    return Result;
  }
  std::string Current() const { return Data().FieldByName("NAME")->AsString(); }
  void Key(int Code, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) const {
    QTest::keyClick(Table(), static_cast<Qt::Key>(Code), Modifiers);
  }
  // Clicks the cell and types Text into it; the record is not posted yet.
  void TypeIntoCell(int Row, int Col, const char* Text) const {
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Table()->visualRect(Table()->model()->index(Row, Col)).center());
    Key(Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), Text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Settle();
  }
  // The cell editor hands its text over from the event loop, and what follows from that is
  // posted to the loop again: two turns of it see everything done.
  static void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  void Click(QToolBar& Bar, QAction* Action) const {
    QTest::mouseClick(Bar.widgetForAction(Action), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  std::string PendingText() const {
    QCoreApplication::processEvents();
    return Window.Status().Pending()->text().toStdString();
  }

  TQtWidgetSet WidgetSet;
  TViewerWindow Window;
};

} // namespace kelva::viewer_test
