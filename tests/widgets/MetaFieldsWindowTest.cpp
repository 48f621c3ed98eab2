// The field-description dialog on a real window, driven by keys and mouse clicks.
#include "qtsupport/WidgetTestSupport.h"

#include "kelva/dataset/KelvaClasses.h"
#include "kelva/editors/KelvaReg.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

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

// Opens the dialog with Lines in its memo and plays Script on its window while ShowModal runs.
TModalResult RunDialog(TFrmMetaFields& Dialog, TQtWidgetSet& WidgetSet,
                       const std::vector<std::string>& Lines,
                       const std::function<void(QWidget* Window)>& Script) {
  FrmMetaFields = &Dialog;
  for (const std::string& Line : Lines) Dialog.mmoFields->Lines().Add(Line);
  Later([&] {
    TQtFormView* View = WidgetSet.ModalDriver().ViewOf(Dialog);
    ASSERT_NE(View, nullptr);
    // The window system activates a new window in its own time; keys go to it only then.
    ASSERT_TRUE(QTest::qWaitForWindowActive(View->Window()));
    Script(View->Window());
  });
  return Dialog.ShowModal();
}

void ClickRow(QTableView* Table, int Row) {
  QTest::mouseClick(Table->viewport(), Qt::LeftButton, Qt::NoModifier,
                    Table->visualRect(Table->model()->index(Row, 0)).center());
}

TEST(MetaFieldsWindow, ArrowButtonsMoveTheSelectedLine) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  std::vector<std::string> AfterDown, AfterUp;
  const TModalResult Result = RunDialog(
      Dialog, WidgetSet, {"FIELD=A,DATE,0", "FIELD=B,DATE,0", "FIELD=C,DATE,0"},
      [&](QWidget* Window) {
        auto* Table = Named<QTableView>(Window, "");
        QTest::mouseClick(Named<QToolButton>(Window, "BtnNext"), Qt::LeftButton); // A below B
        AfterDown = TableRows(Table);
        ClickRow(Table, 2);                                                       // C
        QTest::mouseClick(Named<QToolButton>(Window, "btnPrev"), Qt::LeftButton); // above A
        AfterUp = TableRows(Table);
        QTest::mouseClick(Named<QPushButton>(Window, "Button1"), Qt::LeftButton);
      });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(AfterDown, (std::vector<std::string>{"B,DATE,0", "A,DATE,0", "C,DATE,0"}));
  EXPECT_EQ(AfterUp, (std::vector<std::string>{"B,DATE,0", "C,DATE,0", "A,DATE,0"}));
  EXPECT_EQ(LinesOf(Dialog.mmoFields->Lines()),
            (std::vector<std::string>{"FIELD=B,DATE,0", "FIELD=C,DATE,0", "FIELD=A,DATE,0"}));
}

TEST(MetaFieldsWindow, TypingInTheEditPanelChangesTheSelectedLine) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  std::vector<std::string> Rows;
  RunDialog(Dialog, WidgetSet, {"FIELD=A,CHAR,5", "FIELD=B,CHAR,5"}, [&](QWidget* Window) {
    auto* Table = Named<QTableView>(Window, "");
    ClickRow(Table, 1);
    auto* Name = Named<QLineEdit>(Window, "DBNom");
    QTest::mouseClick(Name, Qt::LeftButton);
    Name->selectAll();
    QTest::keyClicks(Name, "PRICE");
    auto* Length = Named<QLineEdit>(Window, "DBLength");
    QTest::mouseClick(Length, Qt::LeftButton);
    Length->selectAll();
    QTest::keyClicks(Length, "12");
    ClickRow(Table, 0); // leaving the line posts it
    Rows = TableRows(Table);
    QTest::mouseClick(Named<QPushButton>(Window, "Button1"), Qt::LeftButton);
  });
  EXPECT_EQ(Rows, (std::vector<std::string>{"A,CHAR,5", "PRICE,CHAR,12"}));
  EXPECT_EQ(LinesOf(Dialog.mmoFields->Lines()),
            (std::vector<std::string>{"FIELD=A,CHAR,5", "FIELD=PRICE,CHAR,12"}));
}

TEST(MetaFieldsWindow, ARefusedLineShowsItsMessageAndThePageStays) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  std::string Shown;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  int PageAfter = -1;
  const TModalResult Result = RunDialog(Dialog, WidgetSet, {}, [&](QWidget* Window) {
    auto* Tabs = Named<QTabWidget>(Window, "PageControl1");
    ClickTab(Tabs, 1);
    auto* Memo = Named<QPlainTextEdit>(Window, "mmoFields");
    Memo->setFocus();
    QTest::keyClicks(Memo, "FIELD=AMOUNT,FLOAT,8");
    {
      MessageBoxAnswer Answer;
      ClickTab(Tabs, 0);
      Shown = Answer.Text();
      Icon = Answer.Icon();
    }
    PageAfter = Tabs->currentIndex();
    QTest::mouseClick(Named<QPushButton>(Window, "Button2"), Qt::LeftButton); // Cancel
  });
  EXPECT_EQ(Shown, "Length must be zero");
  EXPECT_EQ(Icon, QMessageBox::Critical);
  EXPECT_EQ(PageAfter, 1);
  EXPECT_EQ(Result, mrCancel);
}

// The property editor behind the inspector's ellipsis: OK writes the property, Cancel or the
// window's close box leaves it as it was.
TEST(MetaFieldsWindow, OkWritesTheDatasetsPropertyAndCancelLeavesIt) {
  Register();
  TQtWidgetSet WidgetSet;
  TComponent Root(nullptr);
  auto* Data = new TEventDataset(&Root);
  Data->SetName("Customers");
  Data->MetaFields().Add("FIELD=NAME,CHAR,20");
  TDesignerHost Designer(&Root);
  Designer.Select(Data);
  TObjectInspector Inspector(Designer);
  const auto TypeOnTextPage = [&](const char* Text, const char* Button) {
    Later([&WidgetSet, Text, Button] {
      TQtFormView* View = WidgetSet.ModalDriver().ViewOf(*FrmMetaFields);
      ASSERT_NE(View, nullptr);
      QWidget* Window = View->Window();
      ClickTab(Named<QTabWidget>(Window, "PageControl1"), 1);
      auto* Memo = Named<QPlainTextEdit>(Window, "mmoFields");
      Memo->setFocus();
      QTest::keyClick(Memo, Qt::Key_End, Qt::ControlModifier);
      QTest::keyClick(Memo, Qt::Key_Return);
      QTest::keyClicks(Memo, Text);
      if (Button)
        QTest::mouseClick(Named<QPushButton>(Window, Button), Qt::LeftButton);
      else
        Window->close();
    });
    Inspector.Edit("MetaFields");
  };
  TypeOnTextPage("FIELD=CITY,CHAR,30", "Button2");
  EXPECT_EQ(LinesOf(Data->MetaFields()), (std::vector<std::string>{"FIELD=NAME,CHAR,20"}));
  TypeOnTextPage("FIELD=CITY,CHAR,30", nullptr);
  EXPECT_EQ(LinesOf(Data->MetaFields()), (std::vector<std::string>{"FIELD=NAME,CHAR,20"}));
  TypeOnTextPage("FIELD=CITY,CHAR,30", "Button1");
  EXPECT_EQ(LinesOf(Data->MetaFields()),
            (std::vector<std::string>{"FIELD=NAME,CHAR,20", "FIELD=CITY,CHAR,30"}));
}

TEST(MetaFieldsWindow, AcceleratorsGlyphsAndTheWindowFollowTheModel) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  bool NameFocused = false;
  bool GlyphsDiffer = false;
  QString Title;
  QSize Size;
  RunDialog(Dialog, WidgetSet, {"FIELD=A,CHAR,5"}, [&](QWidget* Window) {
    Title = Window->windowTitle();
    Size = Window->size();
    // "&Name :" labels the name edit: Alt+N moves the focus there, in the model too.
    QTest::keyClick(Window, Qt::Key_N, Qt::AltModifier);
    NameFocused = Dialog.ActiveControl() == Dialog.DBNom &&
                  QApplication::focusWidget() == Named<QLineEdit>(Window, "DBNom");
    // The arrows have a normal and a disabled picture.
    const QIcon Icon = Named<QToolButton>(Window, "BtnNext")->icon();
    const QSize Glyph = Icon.availableSizes().value(0);
    GlyphsDiffer = !Glyph.isEmpty() && Icon.pixmap(Glyph, QIcon::Normal).toImage() !=
                                           Icon.pixmap(Glyph, QIcon::Disabled).toImage();
    QTest::keyClick(Window, Qt::Key_Escape); // the cancel button
  });
  EXPECT_EQ(Title, "Meta Fields Definition");
  EXPECT_EQ(Size, QSize(437, 396)); // the client size, fixed for a dialog border
  EXPECT_TRUE(NameFocused);
  EXPECT_TRUE(GlyphsDiffer);
  EXPECT_EQ(Dialog.ModalResult(), mrCancel);
  EXPECT_EQ(WidgetSet.ModalDriver().ViewOf(Dialog), nullptr); // the window went with the loop
}

TEST(MetaFieldsWindow, EditsFollowTheirFieldsAndTheComboChoosesTheType) {
  TQtWidgetSet WidgetSet;
  TFrmMetaFields Dialog(nullptr);
  int NameLimit = 0, NameColumnWidth = 0;
  bool LengthReadOnly = false;
  std::string TypeShown;
  RunDialog(Dialog, WidgetSet, {"FIELD=A,CHAR,5"}, [&](QWidget* Window) {
    NameLimit = Named<QLineEdit>(Window, "DBNom")->maxLength();
    NameColumnWidth = Named<QTableView>(Window, "")->columnWidth(0);
    auto* Type = Named<QComboBox>(Window, "DBType");
    const int Float = Type->findText(QStringLiteral("FLOAT"));
    ASSERT_GE(Float, 0);
    // The person opens the list and picks FLOAT.
    Type->setFocus();
    Type->showPopup();
    QTest::keyClick(Type->view(), Qt::Key_Home);
    for (int I = 0; I < Float; ++I) QTest::keyClick(Type->view(), Qt::Key_Down);
    QTest::keyClick(Type->view(), Qt::Key_Return);
    TypeShown = Type->currentText().toStdString();
    LengthReadOnly = Named<QLineEdit>(Window, "DBLength")->isReadOnly();
    QTest::mouseClick(Named<QPushButton>(Window, "Button1"), Qt::LeftButton);
  });
  EXPECT_EQ(NameLimit, 25); // the NAME field holds 25 characters
  EXPECT_EQ(NameColumnWidth, 214);
  EXPECT_EQ(TypeShown, "FLOAT");
  EXPECT_TRUE(LengthReadOnly); // a type other than CHAR takes no length
  EXPECT_EQ(LinesOf(Dialog.mmoFields->Lines()), (std::vector<std::string>{"FIELD=A,FLOAT,0"}));
}

} // namespace
} // namespace kelva::widgets_test
