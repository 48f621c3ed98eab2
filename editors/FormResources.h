// The form files of the package's dialogs, compiled in from editors/forms/*.kfm.
#pragma once

#include <string>

namespace kelva {

const std::string& FrmMetaFieldsFormText();
const std::string& FrmKlvParmFormText();

} // namespace kelva
