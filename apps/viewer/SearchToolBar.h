// The search tool bar: a value to look for, the field to look in, and the two ways of
// matching (ignoring case, and matching only the beginning of a text). Enter or Find moves to
// the first record that matches.
#pragma once

#include "kelva/apps/viewer/DatasetHost.h"

#include <QToolBar>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kelva::viewer {

class TSearchToolBar : public QToolBar {
public:
  TSearchToolBar(TDatasetHost& Host, QWidget* Parent);

  QLineEdit* SearchText() const { return FText; }
  QComboBox* FieldChoice() const { return FField; }
  QCheckBox* CaseInsensitive() const { return FCaseInsensitive; }
  QCheckBox* PartialKey() const { return FPartialKey; }

  // Offers the data fields of the dataset on show (none while no file is open).
  void ShowFields();
  // Moves to the first record whose chosen field matches the text.
  void Find();

private:
  TDatasetHost& FHost;
  QLineEdit* FText;
  QComboBox* FField;
  QCheckBox* FCaseInsensitive;
  QCheckBox* FPartialKey;
  QAction* FFind;
};

} // namespace kelva::viewer
