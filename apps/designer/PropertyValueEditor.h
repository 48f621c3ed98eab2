// TPropertyValueEditor: the value cell of one object-inspector row: a line edit for text, a
// combo box for a value list, read-only text for a property that cannot be typed in, and a
// "..." button for a property with a dialog editor. It only reports what a person typed,
// picked or pressed; the inspector applies that through the property editor and shows the
// model's value again.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace kelva {

class TPropertyValueEditor : public QWidget {
public:
  TPropertyValueEditor(TPropertyAttributes Attributes, QWidget* Parent = nullptr);

  // Shows the model's value and, for a value list, the values to pick from.
  void ShowValue(const std::string& Value, const std::vector<std::string>& Values);
  // The row is gone: nothing more is reported, whatever the widgets still emit.
  void Retire() { FRetired = true; }

  QLineEdit* LineEdit() const { return FEdit; } // a combo box's own line edit for a value list
  QComboBox* ComboBox() const { return FCombo; }
  QToolButton* DialogButton() const { return FButton; }

  // A person typed (Enter, or leaving the field) or picked a text other than the one shown.
  std::function<void(const std::string& Text)> OnCommit;
  // The "..." button was pressed.
  std::function<void()> OnDialog;

private:
  void Commit(const QString& Text);

  QLineEdit* FEdit = nullptr;
  QComboBox* FCombo = nullptr;
  QToolButton* FButton = nullptr;
  std::string FShown;
  bool FRetired = false;
};

} // namespace kelva
