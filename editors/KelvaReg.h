// The package's design-time part: Register puts TEventDataset on the component palette and
// gives MetaFields and ParamsDesc their editors, which open the two description dialogs from
// the object inspector.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

#include <string>

namespace kelva {

// The palette page the package's component goes on.
inline constexpr const char* KelvaPalettePage = "ZUV";

class TMetaFieldsEditor : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  // Opens the field-description dialog on the dataset's MetaFields; on OK the new lines
  // replace them and the dataset is reopened once, so that they are applied at once.
  void Edit() override;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
};

class TklvParamEditor : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  // Opens the parameter-description dialog on the dataset's ParamsDesc; on OK the new lines
  // replace them, the parameters are prepared again and the dataset is reopened once.
  void Edit() override;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
};

// Called by the designer when it loads the package.
void Register();

} // namespace kelva
