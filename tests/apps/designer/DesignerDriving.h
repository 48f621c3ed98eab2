// What the designer's tests share: a shown designer window with the package registered, and
// the moves a person makes on it (dropping from the palette, clicking tree items, typing into
// inspector rows), plus a folder that cannot be written and a picture of a dialog over it.
#pragma once

#include "dataset/TempDirectory.h"
#include "qtsupport/WidgetTestSupport.h"

#include "kelva/apps/designer/ComponentTreeView.h"
#include "kelva/apps/designer/DesignerWindow.h"
#include "kelva/apps/designer/PropertyGridView.h"
#include "kelva/apps/designer/PaletteView.h"
#include "kelva/apps/designer/PropertyValueEditor.h"
#include "kelva/editors/KelvaReg.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kelva::widgets_test {

using namespace file_test;

template <class TWidget>
TWidget* Named(QWidget* Window, const char* Name) {
  auto* Found = Window->findChild<TWidget*>(QString::fromUtf8(Name));
  EXPECT_NE(Found, nullptr) << Name;
  return Found;
}

inline std::vector<std::string> LinesOf(const TStrings& Lines) {
  std::vector<std::string> Result;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) Result.push_back(Lines[I]);
  return Result;
}

inline void ClickTab(QTabWidget* Tabs, int Index) {
  QTabBar* Bar = Tabs->tabBar();
  QTest::mouseClick(Bar, Qt::LeftButton, Qt::NoModifier, Bar->tabRect(Index).center());
  QCoreApplication::processEvents(); // the page shown gets its size
}

// Replaces the field's text as a person does: select all, type, Enter.
inline void TypeInto(QLineEdit* Edit, const QString& Text) {
  ASSERT_NE(Edit, nullptr);
  Edit->setFocus();
  QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(Edit, Text);
  QTest::keyClick(Edit, Qt::Key_Return);
}

// What a person sees while a dialog is open over the designer: the designer's window with the
// dialog's window drawn on top of it where it stands on the screen.
inline void ExpectRenderedOver(QWidget& Below, QWidget& Above, const std::string& Name) {
  EXPECT_TRUE(Below.geometry().intersects(Above.geometry())) << "the dialog is not over the window";
  QPixmap Screen = Below.grab();
  {
    QPainter Painter(&Screen);
    Painter.drawPixmap(Above.geometry().topLeft() - Below.geometry().topLeft(), Above.grab());
  }
  QLabel Picture;
  Picture.setPixmap(Screen);
  Picture.resize(Screen.size());
  ExpectRendered(Picture, Name);
}

// Makes Folder unwritable for the scope. Root may write anywhere, so a test run as root acts
// as the unprivileged user "nobody" meanwhile.
class TUnwritableFolder {
public:
  explicit TUnwritableFolder(const fs::path& Folder) : FFolder(Folder) {
    EXPECT_EQ(::chmod(Folder.c_str(), 0555), 0);
    if (::geteuid() == 0) {
      FActsAsNobody = ::seteuid(65534) == 0;
      EXPECT_TRUE(FActsAsNobody);
    }
  }
  ~TUnwritableFolder() {
    if (FActsAsNobody) {
      EXPECT_EQ(::seteuid(0), 0);
    }
    EXPECT_EQ(::chmod(FFolder.c_str(), 0755), 0);
  }
  TUnwritableFolder(const TUnwritableFolder&) = delete;
  TUnwritableFolder& operator=(const TUnwritableFolder&) = delete;

private:
  fs::path FFolder;
  bool FActsAsNobody = false;
};

class DesignerWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    Register();
    Window = std::make_unique<TDesignerWindow>();
    Window->PlaceOnScreen(); // as the program does: the dialogs open over it
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }

  // Presses the TEventDataset button on the palette page ZUV; the dataset dropped, or null.
  TEventDataset* DropEventDataset() {
    QAbstractButton* Button = Window->Palette().ButtonOf("ZUV", "TEventDataset");
    EXPECT_NE(Button, nullptr);
    if (!Button) return nullptr;
    TPaletteView& Palette = Window->Palette();
    for (int Page = 0; Page < Palette.count(); ++Page)
      if (Palette.tabText(Page) == "ZUV") ClickTab(&Palette, Page);
    EXPECT_TRUE(Button->isVisible());
    const std::int32_t Before = Window->Document().Root().ComponentCount();
    QTest::mouseClick(Button, Qt::LeftButton);
    TComponent& Root = Window->Document().Root();
    if (Root.ComponentCount() != Before + 1) return nullptr;
    return dynamic_cast<TEventDataset*>(Root.Components(Root.ComponentCount() - 1));
  }

  void ClickItem(QTreeWidgetItem* Item) {
    ASSERT_NE(Item, nullptr);
    TComponentTreeView& Tree = Window->Tree();
    Tree.setFocus();
    QTest::mouseClick(Tree.viewport(), Qt::LeftButton, Qt::NoModifier,
                      Tree.visualItemRect(Item).center());
  }

  TPropertyValueEditor* Row(const std::string& Path) const {
    return Window->Inspector().EditorOf(Path);
  }
  std::string ShownValue(const std::string& Path) const {
    TPropertyValueEditor* Editor = Row(Path);
    return Editor ? Editor->LineEdit()->text().toStdString() : "(no row " + Path + ")";
  }

  // The field-description dialog's window while its ShowModal runs.
  QWidget* DialogOnScreen() {
    if (!FrmMetaFields) return nullptr;
    TQtFormView* View = WidgetSet.ModalDriver().ViewOf(*FrmMetaFields);
    return View ? View->Window() : nullptr;
  }

  TQtWidgetSet WidgetSet;
  std::unique_ptr<TDesignerWindow> Window;
};

} // namespace kelva::widgets_test
