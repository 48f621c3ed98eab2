// The design host on real widgets, driven by mouse clicks and keys: the palette drops a dataset
// that the tree and the inspector show, the inspector edits through the property editors and
// opens the field-description dialog on screen, and form files are saved and read back.
#include "apps/designer/DesignerDriving.h"

#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/rtl/FormWriter.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace kelva::widgets_test {
namespace {

TEST_F(DesignerWindowTest, PaletteDropsAnEventDatasetThatTreeAndInspectorShow) {
  TEventDataset* Data = DropEventDataset();
  ASSERT_NE(Data, nullptr);
  QTreeWidgetItem* Item = Window->Tree().ItemOf("EventDataset1");
  ASSERT_NE(Item, nullptr);
  EXPECT_EQ(Item->text(0).toStdString(), "EventDataset1: TEventDataset");
  EXPECT_EQ(Window->Tree().selectedItems(), QList<QTreeWidgetItem*>{Item});
  EXPECT_EQ(Window->Document().Designer().Selection(), std::vector<TPersistent*>{Data});

  EXPECT_EQ(ShownValue("Name"), "EventDataset1");
  EXPECT_EQ(ShownValue("MetaFields"), "(Meta Fields)");
  EXPECT_EQ(ShownValue("ParamsDesc"), "(Params)");
  ASSERT_NE(Row("MetaFields"), nullptr);
  EXPECT_NE(Row("MetaFields")->DialogButton(), nullptr);
  EXPECT_EQ(Row("Name")->DialogButton(), nullptr);
  ASSERT_NE(Row("CachedUpdates")->ComboBox(), nullptr);
  EXPECT_EQ(Row("CachedUpdates")->ComboBox()->count(), 2);
  EXPECT_TRUE(Window->isWindowModified());
  ExpectRendered(*Window, "kelva-designer");
}

TEST_F(DesignerWindowTest, EllipsisOpensTheFieldDialogOnScreenAndOkWritesItsLines) {
  TEventDataset* Data = DropEventDataset();
  ASSERT_NE(Data, nullptr);
  TTempDir Dir;
  ASSERT_TRUE(Window->SaveAs((Dir / "form.kfm").string()));
  ASSERT_FALSE(Window->isWindowModified());

  // Cancelled, the dialog changes nothing: the form is not taken for changed either.
  Later([&] {
    QWidget* Dialog = DialogOnScreen();
    ASSERT_NE(Dialog, nullptr);
    QTest::mouseClick(Named<QPushButton>(Dialog, "Button2"), Qt::LeftButton);
  });
  QTest::mouseClick(Row("MetaFields")->DialogButton(), Qt::LeftButton);
  EXPECT_EQ(Data->MetaFields().Count(), 0);
  EXPECT_FALSE(Window->isWindowModified());

  Later([&] {
    QWidget* Dialog = DialogOnScreen();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_TRUE(Dialog->isVisible());
    ExpectRenderedOver(*Window, *Dialog, "kelva-designer-meta-fields");
    ClickTab(Named<QTabWidget>(Dialog, "PageControl1"), 1);
    auto* Memo = Named<QPlainTextEdit>(Dialog, "mmoFields");
    Memo->setFocus();
    QTest::keyClicks(Memo, "FIELD=NAME,CHAR,20");
    QTest::mouseClick(Named<QPushButton>(Dialog, "Button1"), Qt::LeftButton);
  });
  QTest::mouseClick(Row("MetaFields")->DialogButton(), Qt::LeftButton);
  EXPECT_EQ(LinesOf(Data->MetaFields()), std::vector<std::string>{"FIELD=NAME,CHAR,20"});
  EXPECT_EQ(FrmMetaFields, nullptr); // the dialog is gone again
  EXPECT_FALSE(Data->Active());      // a closed dataset stays closed
  // The dialog editor tells the designer nothing; the window still knows the form changed.
  EXPECT_TRUE(Window->isWindowModified());
}

TEST_F(DesignerWindowTest, TypedAndPickedValuesGoThroughThePropertyEditors) {
  TEventDataset* Data = DropEventDataset();
  ASSERT_NE(Data, nullptr);
  TypeInto(Row("Name")->LineEdit(), "Customers");
  EXPECT_EQ(Data->Name(), "Customers");
  ASSERT_NE(Window->Tree().ItemOf("Customers"), nullptr);
  EXPECT_EQ(Window->Tree().ItemOf("Customers")->text(0).toStdString(), "Customers: TEventDataset");

  // A name the component refuses: the error in a message box, the old name shown again.
  {
    MessageBoxAnswer Answer(QMessageBox::Ok);
    TypeInto(Row("Name")->LineEdit(), "9 lives");
    EXPECT_TRUE(Answer.Seen());
    EXPECT_EQ(Answer.Text(), Format(SInvalidName, {std::string("9 lives")}));
  }
  EXPECT_EQ(Data->Name(), "Customers");
  EXPECT_EQ(ShownValue("Name"), "Customers");

  // A value list: the next value picked with the arrow key.
  QComboBox* Cached = Row("CachedUpdates")->ComboBox();
  ASSERT_NE(Cached, nullptr);
  QTest::keyClick(Cached, Qt::Key_Down);
  EXPECT_TRUE(Data->CachedUpdates());
  EXPECT_EQ(ShownValue("CachedUpdates"), "True");
}

TEST_F(DesignerWindowTest, SubPropertiesOpenUnderTheirRowAndEditTheSet) {
  TTempDir Dir;
  WriteAll(Dir / "grid.kfm", "object Form1: TForm\n"
                             "  object Grid: TDBGrid\n"
                             "    Options = [dgTitles]\n"
                             "  end\n"
                             "end\n");
  ASSERT_TRUE(Window->OpenFile((Dir / "grid.kfm").string()));
  auto* Grid = dynamic_cast<TDBGrid*>(Window->Document().Root().FindComponent("Grid"));
  ASSERT_NE(Grid, nullptr);
  ClickItem(Window->Tree().ItemOf("Grid"));
  ASSERT_EQ(Window->Document().Designer().Selection(), std::vector<TPersistent*>{Grid});

  QTreeWidgetItem* Options = Window->Inspector().ItemOf("Options");
  ASSERT_NE(Options, nullptr);
  EXPECT_EQ(ShownValue("Options"), "[dgTitles]");
  Window->Inspector().expandItem(Options);
  QCoreApplication::processEvents(); // the rows are added once the expansion is over
  ASSERT_NE(Row("Options.dgRowSelect"), nullptr);
  EXPECT_EQ(ShownValue("Options.dgRowSelect"), "False");
  QTest::keyClick(Row("Options.dgRowSelect")->ComboBox(), Qt::Key_Down);
  EXPECT_TRUE(Grid->Options().Contains(dgRowSelect));
  EXPECT_TRUE(Grid->Options().Contains(dgTitles));
  EXPECT_EQ(ShownValue("Options"), "[dgTitles, dgRowSelect]");
  EXPECT_TRUE(Window->Inspector().ItemOf("Options")->isExpanded());
}

TEST_F(DesignerWindowTest, SavedFormFileOpensWithTheSameComponentsAndProperties) {
  TEventDataset* Data = DropEventDataset();
  ASSERT_NE(Data, nullptr);
  TypeInto(Row("Name")->LineEdit(), "Customers");
  QTest::keyClick(Row("CachedUpdates")->ComboBox(), Qt::Key_Down);
  Data->MetaFields().Add("FIELD=NAME,CHAR,20");

  TTempDir Dir;
  const std::string Path = (Dir / "customers.kfm").string();
  int Asked = 0;
  Window->AskFileName = [&](TDesignerWindow::TFileQuestion) {
    ++Asked;
    return Path;
  };
  Window->SaveAsAction()->trigger();
  EXPECT_EQ(Asked, 1);
  EXPECT_FALSE(Window->isWindowModified());
  EXPECT_NE(Window->windowTitle().indexOf("customers.kfm"), -1);
  const std::string Written = WriteComponentToText(Window->Document().Root());
  EXPECT_EQ(ReadAll(Path), Written);
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"customers.kfm"}); // no temporary left

  TDesignerWindow Reader;
  Reader.AskFileName = [&](TDesignerWindow::TFileQuestion) { return Path; };
  Reader.OpenAction()->trigger();
  EXPECT_EQ(Reader.Document().FileName(), Path);
  EXPECT_FALSE(Reader.isWindowModified());
  auto* Read = dynamic_cast<TEventDataset*>(Reader.Document().Root().FindComponent("Customers"));
  ASSERT_NE(Read, nullptr);
  EXPECT_TRUE(Read->CachedUpdates());
  EXPECT_EQ(LinesOf(Read->MetaFields()), std::vector<std::string>{"FIELD=NAME,CHAR,20"});
  EXPECT_NE(Reader.Tree().ItemOf("Customers"), nullptr);
  EXPECT_EQ(WriteComponentToText(Reader.Document().Root()), Written);

  // Save goes back to the file the form came from without asking, with the name still being
  // typed (no Enter yet) applied first.
  QLineEdit* Name = Row("Name")->LineEdit();
  Name->setFocus();
  QTest::keyClick(Name, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(Name, "People");
  Window->SaveAction()->trigger();
  EXPECT_EQ(Data->Name(), "People");
  EXPECT_EQ(Asked, 1);
  EXPECT_NE(ReadAll(Path).find("object People: TEventDataset"), std::string::npos);
}

TEST_F(DesignerWindowTest, AFailedSaveKeepsTheOldFileAndShowsTheError) {
  ASSERT_NE(DropEventDataset(), nullptr);
  TTempDir Dir;
  const std::string Path = (Dir / "form.kfm").string();
  WriteAll(Path, "old");
  ASSERT_EQ(::chmod(Path.c_str(), 0666), 0); // only the folder stands in the way
  Window->AskFileName = [&](TDesignerWindow::TFileQuestion) { return Path; };
  {
    TUnwritableFolder Locked(Dir.Path());
    MessageBoxAnswer Answer(QMessageBox::Ok);
    Window->SaveAsAction()->trigger();
    EXPECT_TRUE(Answer.Seen());
    EXPECT_EQ(Answer.Text(), Format(SFCreateError, {Path}));
  }
  EXPECT_EQ(ReadAll(Path), "old");
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"form.kfm"});
  EXPECT_TRUE(Window->isWindowModified());
  EXPECT_EQ(Window->Document().FileName(), "");
}

TEST_F(DesignerWindowTest, AFormIsReplacedOnlyOnceItsChangesAreSavedOrGivenUp) {
  TForm* Designed = &Window->Document().Root();
  // A file that cannot be read leaves the form on screen as it was.
  TTempDir Dir;
  const std::string Broken = (Dir / "broken.kfm").string();
  WriteAll(Broken, "object Form1: TForm\n  object X: TNoSuchClass\n  end\nend\n");
  {
    MessageBoxAnswer Error(QMessageBox::Ok);
    EXPECT_FALSE(Window->OpenFile(Broken));
    EXPECT_NE(Error.Text().find("broken.kfm"), std::string::npos) << Error.Text();
    EXPECT_NE(Error.Text().find("TNoSuchClass"), std::string::npos) << Error.Text();
  }
  EXPECT_EQ(&Window->Document().Root(), Designed);

  TEventDataset* Data = DropEventDataset();
  ASSERT_NE(Data, nullptr);
  {
    MessageBoxAnswer Answer(QMessageBox::Cancel);
    EXPECT_FALSE(Window->NewForm());
    EXPECT_EQ(Answer.Text(), "Save the changes to Untitled?");
  }
  EXPECT_EQ(&Window->Document().Root(), Designed);
  EXPECT_EQ(Designed->FindComponent("EventDataset1"), Data);
  {
    MessageBoxAnswer Answer(QMessageBox::No);
    EXPECT_TRUE(Window->NewForm());
    EXPECT_TRUE(Answer.Seen());
  }
  EXPECT_EQ(Window->Document().Root().ComponentCount(), 0);
  EXPECT_EQ(Window->Tree().ItemOf("EventDataset1"), nullptr);
  EXPECT_FALSE(Window->isWindowModified());
}

TEST_F(DesignerWindowTest, DeleteKeyInTheTreeRemovesTheSelectedComponent) {
  ASSERT_NE(DropEventDataset(), nullptr);
  ASSERT_NE(DropEventDataset(), nullptr);
  TComponent& Root = Window->Document().Root();
  ClickItem(Window->Tree().ItemOf("EventDataset1"));
  QTest::keyClick(&Window->Tree(), Qt::Key_Delete);
  EXPECT_EQ(Root.FindComponent("EventDataset1"), nullptr);
  EXPECT_NE(Root.FindComponent("EventDataset2"), nullptr);
  EXPECT_EQ(Window->Tree().ItemOf("EventDataset1"), nullptr);
  EXPECT_EQ(Window->Document().Designer().Selection(), std::vector<TPersistent*>{&Root});
  EXPECT_EQ(ShownValue("Name"), "Form1");
}

} // namespace
} // namespace kelva::widgets_test
