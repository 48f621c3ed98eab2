// The widgets of one value cell and what they report.
#include "kelva/apps/designer/PropertyValueEditor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace kelva {

namespace {

QStringList ItemsOf(const QComboBox& Combo) {
  QStringList Items;
  for (int I = 0; I < Combo.count(); ++I) Items.push_back(Combo.itemText(I));
  return Items;
}

} // namespace

TPropertyValueEditor::TPropertyValueEditor(TPropertyAttributes Attributes, QWidget* Parent)
    : QWidget(Parent) {
  auto* Row = new QHBoxLayout(this);
  Row->setContentsMargins(0, 0, 0, 0);
  Row->setSpacing(0);
  const bool ReadOnly = Attributes.Contains(paReadOnly);
  if (Attributes.Contains(paValueList) && !ReadOnly) {
    // Editable, so that a value outside the list (an empty reference) can be typed too.
    FCombo = new QComboBox(this);
    FCombo->setEditable(true);
    FCombo->setInsertPolicy(QComboBox::NoInsert);
    FCombo->setObjectName(QStringLiteral("ValueList"));
    FEdit = FCombo->lineEdit();
    connect(FCombo, &QComboBox::activated, this,
            [this](int Index) { Commit(FCombo->itemText(Index)); });
    Row->addWidget(FCombo, 1);
  } else {
    FEdit = new QLineEdit(this);
    FEdit->setReadOnly(ReadOnly);
    Row->addWidget(FEdit, 1);
  }
  FEdit->setObjectName(QStringLiteral("Value"));
  FEdit->setFrame(false);
  connect(FEdit, &QLineEdit::editingFinished, this, [this] { Commit(FEdit->text()); });
  if (Attributes.Contains(paDialog)) {
    FButton = new QToolButton(this);
    FButton->setObjectName(QStringLiteral("Ellipsis"));
    FButton->setText(QStringLiteral("..."));
    FButton->setToolTip(QStringLiteral("Edit in a dialog"));
    connect(FButton, &QToolButton::clicked, this, [this] {
      if (!FRetired && OnDialog) OnDialog();
    });
    Row->addWidget(FButton);
  }
  setFocusProxy(FEdit);
}

void TPropertyValueEditor::ShowValue(const std::string& Value,
                                     const std::vector<std::string>& Values) {
  FShown = Value;
  const QString Text = QString::fromStdString(Value);
  if (FCombo) {
    QStringList Items;
    for (const std::string& Item : Values) Items.push_back(QString::fromStdString(Item));
    if (Items != ItemsOf(*FCombo)) {
      FCombo->clear();
      FCombo->addItems(Items);
    }
    FCombo->setCurrentIndex(FCombo->findText(Text));
  }
  // Only a changed text is written, so that the cursor of a field being typed in stays put.
  if (FEdit->text() != Text) {
    FEdit->setText(Text);
    FEdit->setCursorPosition(0);
  }
}

void TPropertyValueEditor::Commit(const QString& Text) {
  const std::string Typed = Text.toStdString();
  if (FRetired || Typed == FShown || !OnCommit) return;
  // Taken as shown at once: while the change is applied (and a failure reported in a message
  // box, which takes the focus away), the same text is not applied a second time.
  FShown = Typed;
  OnCommit(Typed);
}

} // namespace kelva
