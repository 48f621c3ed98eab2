// The viewer's grid, navigator and tool bars driven by clicks and keys: editing with cached
// updates, the views of pending changes, commit and revert, sorting and searching.
#include "ViewerTestSupport.h"

#include "kelva/framework/widgets/NavigatorButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>

namespace kelva::viewer_test {
namespace {

const TPeople Three = {{"ANNA", 30}, {"BOB", 40}, {"CARL", 50}};

void ChooseView(ViewerOnScreen& V, int Steps) {
  QComboBox* Views = V.Window.ChangesBar().ViewSwitcher();
  QTest::keyClick(Views, Qt::Key_Home);
  for (int I = 0; I < Steps; ++I) QTest::keyClick(Views, Qt::Key_Down);
  QCoreApplication::processEvents();
}

void ClickNavigator(ViewerOnScreen& V, TNavigateBtn Button) {
  QTest::mouseClick(NavigatorButton(V.Window.Pane().NavigatorWidget(), Button), Qt::LeftButton);
  QCoreApplication::processEvents();
}

TEST(Viewer, EditsStayPendingAndTheViewsShowThemUntilCommittedOrReverted) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", Three));
  ExpectRendered(V.Window, "kelva-view");
  EXPECT_EQ(V.PendingText(), "No changes pending");
  EXPECT_FALSE(V.Window.ChangesBar().ViewSwitcher()->isEnabled()); // nothing to show yet

  V.TypeIntoCell(1, 0, "BERT");
  V.Key(Qt::Key_Down); // moving off the row posts
  EXPECT_EQ(V.Data().State(), dsBrowse);
  EXPECT_EQ(V.PendingText(), "Changes pending");
  EXPECT_TRUE(V.Window.isWindowModified());

  ClickNavigator(V, nbInsert);
  V.TypeIntoCell(V.Window.Pane().Grid().Row(), 0, "DORA");
  ClickNavigator(V, nbPost);
  EXPECT_EQ(V.Data().RecordCount(), 4);

  ChooseView(V, 2); // Modified
  EXPECT_EQ(V.Data().BrowseBuffer(), brModified);
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"BERT,40"}));
  ChooseView(V, 3); // Inserted
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"DORA,"}));
  V.Click(V.Window.ChangesBar(), V.Window.ChangesBar().CommitRecordAction());
  EXPECT_TRUE(V.Rows().empty()); // settled records leave the view

  // From any view, "all" means all: the modification is reverted, the commit kept.
  ChooseView(V, 1); // Committed
  V.Click(V.Window.ChangesBar(), V.Window.ChangesBar().RevertAllAction());
  EXPECT_EQ(V.Data().BrowseBuffer(), brStandard);
  EXPECT_FALSE(V.Data().UpDatesPending());
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"ANNA,30", "BOB,40", "DORA,", "CARL,50"}));
  EXPECT_EQ(V.PendingText(), "No changes pending");
}

TEST(Viewer, CommitRecordCommitsWhatIsTypedButNotPosted) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", Three));
  V.TypeIntoCell(0, 1, "31");
  EXPECT_EQ(V.Data().State(), dsEdit);
  EXPECT_EQ(V.PendingText(), "Changes pending");
  V.Click(V.Window.ChangesBar(), V.Window.ChangesBar().CommitRecordAction());
  EXPECT_FALSE(V.Data().UpDatesPending());
  EXPECT_EQ(V.Rows().front(), "ANNA,31");
  ChooseView(V, 1); // Committed
  EXPECT_EQ(V.Data().BrowseBuffer(), brold);
  EXPECT_EQ(V.Rows().front(), "ANNA,31");

  // Revert record drops what is typed, even with nothing else pending.
  ChooseView(V, 0);
  V.TypeIntoCell(1, 1, "99");
  V.Click(V.Window.ChangesBar(), V.Window.ChangesBar().RevertRecordAction());
  EXPECT_EQ(V.Data().State(), dsBrowse);
  EXPECT_EQ(V.Rows()[1], "BOB,40");
}

TEST(Viewer, DeleteAsksFirstAndRevertRecordBringsTheRecordBack) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", Three));
  V.Key(Qt::Key_Down);
  {
    MessageBoxAnswer Answer(QMessageBox::Cancel);
    ClickNavigator(V, nbDelete);
    EXPECT_EQ(Answer.Text(), "Delete record?");
  }
  EXPECT_EQ(V.Data().RecordCount(), 3);
  {
    MessageBoxAnswer Answer(QMessageBox::Ok);
    ClickNavigator(V, nbDelete);
  }
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"ANNA,30", "CARL,50"}));
  ChooseView(V, 4); // Deleted
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"BOB,40"}));
  V.Click(V.Window.ChangesBar(), V.Window.ChangesBar().RevertRecordAction());
  ChooseView(V, 0);
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"ANNA,30", "BOB,40", "CARL,50"}));
  EXPECT_EQ(V.PendingText(), "No changes pending");
}

TEST(Viewer, TheNavigatorOffersNoRefreshThatWouldEmptyTheFilesRecords) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", Three));
  QWidget* Navigator = V.Window.Pane().NavigatorWidget();
  EXPECT_FALSE(NavigatorButton(Navigator, nbRefresh)->isVisible());
  EXPECT_TRUE(NavigatorButton(Navigator, nbInsert)->isVisible());
  QTest::mouseClick(NavigatorButton(Navigator, nbRefresh), Qt::LeftButton);
  EXPECT_EQ(V.Data().RecordCount(), 3);
}

TEST(Viewer, ATitleClickSortsAndASecondClickSortsDescending) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", {{"bob", 40}, {"Carl", 9}, {"anna", 30}}));
  QHeaderView* Titles = V.Table()->horizontalHeader();
  const auto ClickTitle = [&](int Column) {
    QTest::mouseClick(Titles->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(Titles->sectionViewportPosition(Column) + 10, Titles->height() / 2));
  };
  ClickTitle(1); // AGE: numbers in numeric order
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"Carl,9", "anna,30", "bob,40"}));
  EXPECT_EQ(Titles->sortIndicatorSection(), 1);
  EXPECT_EQ(Titles->sortIndicatorOrder(), Qt::AscendingOrder);
  ClickTitle(1);
  EXPECT_EQ(V.Rows(), (std::vector<std::string>{"bob,40", "anna,30", "Carl,9"}));
  EXPECT_EQ(Titles->sortIndicatorOrder(), Qt::DescendingOrder);
  ClickTitle(0); // another title starts ascending again
  EXPECT_EQ(V.Rows().front().substr(0, 4), "anna");
  EXPECT_EQ(Titles->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST(Viewer, TheSearchBoxLocatesWithThePartialKeyAndCaseOptions) {
  QTemporaryDir Dir;
  ViewerOnScreen V(WritePeople(Dir, "people.kdt", {{"ANNA", 30}, {"Bobby", 40}, {"CARL", 50}}));
  TSearchToolBar& Search = V.Window.SearchBar();
  const auto Find = [&](const char* Text) {
    Search.SearchText()->clear();
    QTest::keyClicks(Search.SearchText(), Text);
    QTest::keyClick(Search.SearchText(), Qt::Key_Return);
    QCoreApplication::processEvents();
  };
  Find("bob");
  EXPECT_EQ(V.Current(), "ANNA");
  EXPECT_EQ(V.Window.Status().NoteText(), "No record has NAME = \"bob\"");
  QTest::mouseClick(Search.PartialKey(), Qt::LeftButton);
  QTest::mouseClick(Search.CaseInsensitive(), Qt::LeftButton);
  Find("bob");
  EXPECT_EQ(V.Current(), "Bobby");
  EXPECT_EQ(V.Window.Status().NoteText(), "");
  Search.FieldChoice()->setCurrentIndex(1); // AGE
  Find("50");
  EXPECT_EQ(V.Current(), "CARL");
  {
    MessageBoxAnswer Answer; // a key the field cannot hold is refused with the dataset's message
    Find("fifty");
    EXPECT_TRUE(Answer.Seen());
    EXPECT_EQ(Answer.Icon(), QMessageBox::Critical);
  }
  EXPECT_EQ(V.Current(), "CARL");
}

} // namespace
} // namespace kelva::viewer_test
