// The field-description dialog on a real window, driven by keys and mouse clicks.
#include "qtsupport/WidgetTestSupport.h"

#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace kelva::widgets_test {
namespace {

template <class TWidget>
TWidget* Named(QWidget* Window, const char* Name) {
  auto* Found = Window->findChild<TWidget*>(QString::fromUtf8(Name));
  EXPECT_NE(Found, nullptr) << Name;
  return Found;
}

std::vector<std::string> TableRows(QTableView* Table) {
  std::vector<std::string> Rows;
  QAbstractItemModel* Model = Table->model();
  for (int Row = 0; Row < Model->rowCount(); ++Row) {
    std::string Text;
    for (int Col = 0; Col < Model->columnCount(); ++Col) {
      if (Col) Text += ',';
      Text += Model->index(Row, Col).data().toString().toStdString();
    }
    Rows.push_back(Text);
  }
  return Rows;
}

void ClickTab(QTabWidget* Tabs, int Index) {
  QTabBar* Bar = Tabs->tabBar();
  QTest::mouseClick(Bar, Qt::LeftButton, Qt::NoModifier, Bar->tabRect(Index).center());
  QCoreApplication::processEvents(); // the page shown gets its size
}

std::vector<std::string> LinesOf(const TStrings& Lines) {
  std::vector<std::string> Result;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) Result.push_back(Lines[I]);
  return Result;
}

TEST(MetaFieldsWindow, TypedTextLinesReachTheGridAndOkWritesThem) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  FrmMetaFields = &Dialog;
  Dialog.mmoFields->Lines().Add("FIELD=NAME,CHAR,20");
  std::vector<std::string> GridSeen;
  Later([&] {
    TQtFormView* View = WidgetSet.ModalDriver().ViewOf(Dialog);
    ASSERT_NE(View, nullptr);
    QWidget* Window = View->Window();
    ExpectRendered(*Window, "meta-fields-dialog");
    auto* Tabs = Named<QTabWidget>(Window, "PageControl1");
    ClickTab(Tabs, 1);
    auto* Memo = Named<QPlainTextEdit>(Window, "mmoFields");
    EXPECT_TRUE(Memo->isVisible());
    Memo->setFocus();
    QTest::keyClick(Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Memo, Qt::Key_Return);
    QTest::keyClicks(Memo, "FIELD=SALARY,FLOAT,0");
    ExpectRendered(*Window, "meta-fields-dialog-text");
    ClickTab(Tabs, 0);
    GridSeen = TableRows(Named<QTableView>(Window, "")); // the grid's table
    QTest::mouseClick(Named<QPushButton>(Window, "Button1"), Qt::LeftButton);
  });
  EXPECT_EQ(Dialog.ShowModal(), mrOk);
  EXPECT_EQ(LinesOf(Dialog.mmoFields->Lines()),
            (std::vector<std::string>{"FIELD=NAME,CHAR,20", "FIELD=SALARY,FLOAT,0"}));
  EXPECT_EQ(GridSeen, (std::vector<std::string>{"NAME,CHAR,20", "SALARY,FLOAT,0"}));
}

} // namespace
} // namespace kelva::widgets_test
