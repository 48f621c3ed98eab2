// kelva-designer [FORMFILE]: the design host. It registers the package, shows the designer's
// window on the Qt widget set, and opens the form file given (or starts a new form).
#include "kelva/apps/designer/DesignerWindow.h"
#include "kelva/editors/KelvaReg.h"
#include "kelva/framework/widgets/QtWidgetSet.h"

#include <QApplication>

#include <iostream>
#include <string_view>

namespace {

constexpr const char* Usage = "usage: kelva-designer [FORMFILE]\n"
                              "Designs the form in FORMFILE (a new form when the file does not "
                              "exist yet) on the component palette of the Kelva package.\n";

} // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, which needs a display.
  for (int I = 1; I < argc; ++I)
    if (std::string_view(argv[I]) == "-h" || std::string_view(argv[I]) == "--help") {
      std::cout << Usage;
      return 0;
    }
  QApplication App(argc, argv); // takes Qt's own options out of argv
  QApplication::setApplicationName(QStringLiteral("Kelva Designer"));
  if (argc > 2) {
    std::cerr << Usage;
    return 2;
  }
  kelva::TQtWidgetSet WidgetSet;
  kelva::Register();
  kelva::TDesignerWindow Window;
  if (argc == 2) Window.OpenOrStart(argv[1]);
  Window.PlaceOnScreen();
  Window.show();
  return QApplication::exec();
}
