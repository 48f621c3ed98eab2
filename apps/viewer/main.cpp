// kelva-view FILE: shows a data file in a grid, to browse, edit, search, sort, settle pending
// changes and save it again.
#include "kelva/apps/viewer/ViewerWindow.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication App(argc, argv); // takes Qt's own options out of argv
  kelva::TQtWidgetSet WidgetSet;
  kelva::viewer::TViewerWindow Window;
  Window.show();
  if (argc > 1) Window.OpenFile(argv[1]);
  return QApplication::exec();
}
