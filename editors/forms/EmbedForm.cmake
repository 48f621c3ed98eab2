# Writes OUTPUT, a C++ source that returns the form file INPUT as the text of the function
# NAME. Runs at build time, whenever the form file changes.
file(READ ${INPUT} content)
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}: edit the form file, not this file.
#include \"kelva/editors/FormResources.h\"

namespace kelva {

const std::string& ${NAME}() {
  static const std::string Text = R\"kfm(${content})kfm\";
  return Text;
}

} // namespace kelva
")
