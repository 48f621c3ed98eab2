// The viewer's files: saving and opening again, a file that cannot be read, unsaved changes
// when the window closes, and a large file that scrolls with only the visible rows read.
#include "ViewerTestSupport.h"
#include "support/Joined.h"

#include <QFile>
#include <QScrollBar>

namespace kelva::viewer_test {
namespace {

std::string ReadAll(const std::string& Path) {
  QFile File(QString::fromStdString(Path));
  EXPECT_TRUE(File.open(QIODevice::ReadOnly));
  return File.readAll().toStdString();
}

TEST(ViewerFile, SavingKeepsPendingChangesAndTheEditBeingTyped) {
  QTemporaryDir Dir;
  const std::string Path = WritePeople(Dir, "people.kdt", {{"ANNA", 30}, {"BOB", 40}});
  {
    ViewerOnScreen V(Path);
    V.TypeIntoCell(0, 0, "ANKE");
    V.Key(Qt::Key_Down);
    V.TypeIntoCell(1, 1, "41"); // not posted when saved
    V.Window.SaveAction()->trigger();
    EXPECT_FALSE(V.Window.HasUnsavedChanges());
  }
  ViewerOnScreen Again(Path);
  EXPECT_EQ(Again.Rows(), (std::vector<std::string>{"ANKE,30", "BOB,41"}));
  EXPECT_TRUE(Again.Data().UpDatesPending()); // still to be committed
  EXPECT_EQ(Again.PendingText(), "Changes pending");

  // Save As writes the chosen file, which becomes the open one; the first stays as it was.
  const std::string Copy = Dir.filePath("copy.kdt").toStdString();
  const std::string Before = ReadAll(Path);
  Again.Window.ChooseFile = [&](bool Saving) { return Saving ? Copy : std::string(); };
  Again.Click(Again.Window.ChangesBar(), Again.Window.ChangesBar().CommitAllAction());
  Again.Window.SaveAsAction()->trigger();
  EXPECT_EQ(Again.Window.FileName(), Copy);
  EXPECT_EQ(ReadAll(Path), Before);
  EXPECT_NE(ReadAll(Copy).find("#CACHED=0"), std::string::npos);
}

TEST(ViewerFile, SavingKeepsTheNameTheFileGaveItsData) {
  QTemporaryDir Dir;
  const std::string Path = WritePeople(Dir, "people.kdt", {{"ANNA", 30}});
  std::string Text = ReadAll(Path);
  Text.replace(Text.find("#NAME="), 6, "#NAME=Customers");
  QFile File(QString::fromStdString(Path));
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.write(Text.data(), static_cast<qint64>(Text.size()));
  File.close();
  ViewerOnScreen V(Path);
  ASSERT_TRUE(V.Window.Save());
  EXPECT_NE(ReadAll(Path).find("#NAME=Customers\r\n"), std::string::npos);
}

TEST(ViewerFile, AFileThatCannotBeReadShowsWhyAndChangesNothing) {
  QTemporaryDir Dir;
  const std::string Good = WritePeople(Dir, "people.kdt", {{"ANNA", 30}, {"BOB", 40}});
  const std::string Bad = Dir.filePath("bad.kdt").toStdString();
  QFile File(QString::fromStdString(Bad));
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.write("#VERSION=2\r\n");
  File.close();

  ViewerOnScreen V(Good);
  V.TypeIntoCell(0, 0, "ANKE");
  V.Key(Qt::Key_Down);
  TKelvaDataset* Shown = V.Window.DataSet();
  std::unique_ptr<MessageBoxAnswer> Refusal; // the second box: watched once the first is gone
  V.Window.ChooseFile = [&](bool) {
    Refusal = std::make_unique<MessageBoxAnswer>();
    return Bad;
  };
  MessageBoxAnswer Discard(QMessageBox::No); // the unsaved edit: not saved, not lost either
  V.Window.OpenAction()->trigger();
  EXPECT_EQ(Discard.Text(), "Save changes to people.kdt?");
  ASSERT_TRUE(Refusal);
  EXPECT_EQ(Refusal->Text(), "invalid file format");
  EXPECT_EQ(V.Window.DataSet(), Shown);
  EXPECT_EQ(V.Window.FileName(), Good);
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"ANKE,30", "BOB,40"}));
  EXPECT_TRUE(V.Window.HasUnsavedChanges());
}

TEST(ViewerFile, ClosingWithUnsavedChangesAsksFirst) {
  QTemporaryDir Dir;
  const std::string Path = WritePeople(Dir, "people.kdt", {{"ANNA", 30}});
  ViewerOnScreen V(Path);
  V.TypeIntoCell(0, 1, "31");
  {
    MessageBoxAnswer Answer(QMessageBox::Cancel);
    EXPECT_FALSE(V.Window.close());
    EXPECT_EQ(Answer.Text(), "Save changes to people.kdt?");
  }
  EXPECT_TRUE(V.Window.isVisible());
  EXPECT_EQ(V.Data().State(), dsEdit); // the edit goes on
  {
    MessageBoxAnswer Answer(QMessageBox::Yes);
    EXPECT_TRUE(V.Window.close());
  }
  ViewerOnScreen Again(Path);
  EXPECT_EQ(Again.Rows(), (std::vector<std::string>{"ANNA,31"}));
}

TEST(ViewerFile, ALargeFileScrollsToTheEndAndBackWithOnlyTheVisibleRowsRead) {
  QTemporaryDir Dir;
  TPeople Many;
  for (int I = 1; I <= 200000; ++I)
    Many.emplace_back(testing::Joined("P", std::to_string(I)), I % 100);
  ViewerOnScreen V(WritePeople(Dir, "many.kdt", Many));
  const int Visible = V.Window.Pane().Grid().VisibleRowCount();
  EXPECT_GT(Visible, 5);
  EXPECT_EQ(V.Window.Status().RecordCount()->text(), "200000 records");

  V.Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(V.Data().RecNo(), 200000);
  EXPECT_EQ(V.Rows().back().substr(0, 8), "P200000,");
  EXPECT_EQ(V.Table()->model()->rowCount(), Visible);

  QScrollBar* Scroll = V.Window.Pane().GridWidget()->ScrollBar();
  EXPECT_EQ(Scroll->value(), Scroll->maximum());
  Scroll->triggerAction(QAbstractSlider::SliderToMinimum); // the person drags it to the top
  EXPECT_EQ(V.Data().RecNo(), 1);
  EXPECT_EQ(V.Rows().front().substr(0, 3), "P1,");
  EXPECT_EQ(V.Table()->model()->rowCount(), Visible);
}

} // namespace
} // namespace kelva::viewer_test
