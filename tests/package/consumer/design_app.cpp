// A consumer's design-time host: registers the package and checks that its component is on
// the palette page the package names. Exits 0 only when it is.
#include <kelva/editors/KelvaReg.h>
#include <kelva/framework/design/DesignIntf.h>

#include <cstdio>

int main() {
  kelva::Register();
  const auto Classes = kelva::PaletteClasses(kelva::KelvaPalettePage);
  if (Classes.size() != 1) return 1;
  std::printf("design_app: page %s holds %zu class\n", kelva::KelvaPalettePage, Classes.size());
  return 0;
}
