// The grid on a real window: what it shows, the keys and clicks a person uses, and a million
// records that cost no more than the rows on screen.
#include "qtsupport/WidgetTestSupport.h"

#include "kelva/dataset/EventDataset.h"
#include "kelva/framework/forms/DBCtrls.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/widgets/DBGridView.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/NavigatorButtons.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include <cstdio>

namespace kelva::widgets_test {
namespace {

// A dataset whose record buffers can be counted.
class TCountedDataset : public TEventDataset {
public:
  using TEventDataset::TEventDataset;
  std::int32_t Buffers() const { return BufferCount(); }
};

// The text of a saved dataset with Count records named R0000001, R0000002, ...: one record is
// saved by the dataset itself and its line repeated with the number changed.
std::string NumberedFile(std::int32_t Count) {
  TEventDataset Model(nullptr);
  Model.MetaFields().Add("FIELD=NAME,CHAR,12");
  Model.Open();
  Model.AppendRawRecord({"R0000001"});
  TStringStream Saved;
  Model.SaveToStream(Saved);
  const std::string Text = Saved.DataString();
  const std::size_t RecordLine = Text.find("BOOK1=");
  std::string Image = Text.substr(RecordLine + 6, Text.find("\r\n", RecordLine) - RecordLine - 6);
  const std::size_t Digits = Image.find("0000001");
  std::string File = Text.substr(0, RecordLine);
  File.replace(File.find("#COMMITED=1"), 11, "#COMMITED=" + std::to_string(Count));
  File.reserve(File.size() + static_cast<std::size_t>(Count) * (Image.size() + 16));
  char Number[16];
  for (std::int32_t I = 1; I <= Count; ++I) {
    std::snprintf(Number, sizeof Number, "%07d", I);
    Image.replace(Digits, 7, Number);
    File.append("BOOK").append(std::to_string(I)).append("=").append(Image).append("\r\n");
  }
  return File;
}

// A form with a grid and a navigator over a dataset, on a real window.
struct GridWindow {
  explicit GridWindow(std::int32_t Records) {
    Form.SetName("GridForm");
    Form.SetCaption("Records");
    Form.SetClientWidth(420);
    Form.SetClientHeight(300);
    Data = new TCountedDataset(&Form);
    TStringStream File(NumberedFile(Records));
    Data->LoadFromStream(File);
    Source = new TDataSource(&Form);
    Source->SetDataSet(Data);
    Navigator = new TDBNavigator(&Form);
    Navigator->SetName("Navigator");
    Navigator->SetParent(&Form);
    Navigator->SetAlign(alTop);
    Navigator->SetHeight(25);
    Navigator->SetDataSource(Source);
    Grid = new TDBGrid(&Form);
    Grid->SetName("Grid");
    Grid->SetParent(&Form);
    Grid->SetAlign(alClient);
    Grid->SetDataSource(Source);
    Form.Show();
    View = std::make_unique<TQtFormView>(Form);
    View->ShowWindow(false);
    QCoreApplication::processEvents();
  }
  ~GridWindow() { View.reset(); }

  TQtDBGrid* GridWidget() const { return static_cast<TQtDBGrid*>(View->WidgetOf(Grid)); }
  QTableView* Table() const { return GridWidget()->Table(); }
  std::string ShownName(int Row) const {
    return Table()->model()->index(Row, 0).data().toString().toStdString();
  }
  void Key(int KeyCode, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) const {
    QTest::keyClick(Table(), static_cast<Qt::Key>(KeyCode), Modifiers);
  }

  TQtWidgetSet WidgetSet; // message boxes on screen
  TForm Form{nullptr};
  TCountedDataset* Data = nullptr;
  TDataSource* Source = nullptr;
  TDBNavigator* Navigator = nullptr;
  TDBGrid* Grid = nullptr;
  std::unique_ptr<TQtFormView> View;
};

TEST(GridView, AMillionRecordsScrollWithOnlyTheVisibleRowsInMemory) {
  GridWindow W(1000000);
  ExpectRendered(*W.View->Window(), "grid-million");
  const int Visible = W.Grid->VisibleRowCount();
  EXPECT_GT(Visible, 5);
  EXPECT_EQ(W.Table()->model()->rowCount(), Visible);
  EXPECT_EQ(W.Data->Buffers(), Visible);
  EXPECT_EQ(W.GridWidget()->ScrollBar()->maximum(), 999999);

  W.Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(W.Data->RecNo(), 1000000);
  EXPECT_EQ(W.ShownName(W.Grid->Row()), "R1000000");
  EXPECT_EQ(W.GridWidget()->ScrollBar()->value(), 999999);
  EXPECT_EQ(W.Table()->model()->rowCount(), Visible);

  W.GridWidget()->ScrollBar()->setValue(499999); // the person drags the thumb half-way
  EXPECT_EQ(W.Data->RecNo(), 500000);
  EXPECT_EQ(W.ShownName(W.Grid->Row()), "R0500000");

  W.Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(W.Data->RecNo(), 1);
  EXPECT_EQ(W.ShownName(0), "R0000001");
  EXPECT_EQ(W.Data->Buffers(), Visible);
  EXPECT_EQ(W.Table()->model()->rowCount(), Visible);
}

TEST(GridView, KeysAndTheNavigatorMoveAndEditTheDataset) {
  GridWindow W(30);
  W.Key(Qt::Key_Down);
  W.Key(Qt::Key_Down);
  EXPECT_EQ(W.Data->RecNo(), 3);
  W.Key(Qt::Key_PageDown);
  EXPECT_EQ(W.Data->RecNo(), 3 + W.Grid->VisibleRowCount());
  QTest::mouseClick(NavigatorButton(W.View->WidgetOf(W.Navigator), nbFirst), Qt::LeftButton);
  EXPECT_EQ(W.Data->RecNo(), 1);
  EXPECT_FALSE(NavigatorButton(W.View->WidgetOf(W.Navigator), nbPrior)->isEnabled());
  EXPECT_FALSE(NavigatorButton(W.View->WidgetOf(W.Navigator), nbPost)->isEnabled());

  // Typing into a cell edits the record; moving off the row posts it.
  W.Table()->setFocus();
  W.Key(Qt::Key_F2);
  QTest::keyClicks(QApplication::focusWidget(), "CHANGED");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(W.Data->State(), dsEdit);
  EXPECT_TRUE(NavigatorButton(W.View->WidgetOf(W.Navigator), nbPost)->isEnabled());
  W.Key(Qt::Key_Down);
  EXPECT_EQ(W.Data->State(), dsBrowse);
  W.Data->First();
  EXPECT_EQ(W.Data->FieldByName("NAME")->AsString(), "CHANGED");

  // Delete asks first; the answer decides.
  const std::int32_t Before = W.Data->RecordCount();
  {
    MessageBoxAnswer Answer(QMessageBox::Cancel);
    W.Key(Qt::Key_Delete);
    EXPECT_EQ(Answer.Text(), "Delete record?");
  }
  EXPECT_EQ(W.Data->RecordCount(), Before);
  {
    MessageBoxAnswer Answer(QMessageBox::Ok);
    W.Key(Qt::Key_Delete);
  }
  EXPECT_EQ(W.Data->RecordCount(), Before - 1);
  W.Key(Qt::Key_Insert);
  EXPECT_EQ(W.Data->State(), dsInsert);
  W.Key(Qt::Key_Escape);
  EXPECT_EQ(W.Data->State(), dsBrowse);
  EXPECT_EQ(W.Data->RecordCount(), Before - 1);
}

TEST(GridView, MessageDlgShowsTheExactTextAndAnswersWithTheButtonPressed) {
  TQtWidgetSet WidgetSet;
  MessageBoxAnswer Answer(QMessageBox::No);
  EXPECT_EQ(MessageDlg("Save changes to\n'a & b'?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0),
            mrNo);
  EXPECT_EQ(Answer.Text(), "Save changes to\n'a & b'?");
  EXPECT_EQ(Answer.Icon(), QMessageBox::Question);
}

} // namespace
} // namespace kelva::widgets_test
