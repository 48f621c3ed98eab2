// The parameter-description dialog on a real window.
#include "qtsupport/WidgetTestSupport.h"

#include "kelva/editors/ParamsForm.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace kelva::widgets_test {
namespace {

TEST(ParamsWindow, ShowsTheLinesAndTakesATypedOneOnOk) {
  TQtWidgetSet WidgetSet;
  TfrmKlvParm Dialog(nullptr);
  FrmKlvParm = &Dialog;
  Dialog.mmoFields->Lines().Add("PARAM=CITY,CHAR");
  std::string FirstCell;
  Later([&] {
    QWidget* Window = WidgetSet.ModalDriver().ViewOf(Dialog)->Window();
    ExpectRendered(*Window, "params-dialog");
    auto* Table = Window->findChild<QTableView*>();
    ASSERT_NE(Table, nullptr);
    FirstCell = Table->model()->index(0, 0).data().toString().toStdString();
    auto* Tabs = Window->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    QTest::mouseClick(Tabs->tabBar(), Qt::LeftButton, Qt::NoModifier,
                      Tabs->tabBar()->tabRect(1).center());
    auto* Memo = Window->findChild<QPlainTextEdit*>(QStringLiteral("mmoFields"));
    Memo->setFocus();
    QTest::keyClick(Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Memo, Qt::Key_Return);
    QTest::keyClicks(Memo, "PARAM=FROM,DATE");
    QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
  });
  EXPECT_EQ(Dialog.ShowModal(), mrOk);
  EXPECT_EQ(FirstCell, "CITY");
  ASSERT_EQ(Dialog.mmoFields->Lines().Count(), 2);
  EXPECT_EQ(Dialog.mmoFields->Lines()[1], "PARAM=FROM,DATE");
}

} // namespace
} // namespace kelva::widgets_test
