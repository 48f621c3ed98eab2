// The search: the dataset's Locate on one field, with its case and partial-key options.
#include "kelva/apps/viewer/SearchToolBar.h"

#include "kelva/dataset/KelvaDataset.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace kelva::viewer {

TSearchToolBar::TSearchToolBar(TDatasetHost& Host, QWidget* Parent)
    : QToolBar(QStringLiteral("Search"), Parent), FHost(Host), FText(new QLineEdit(this)),
      FField(new QComboBox(this)),
      FCaseInsensitive(new QCheckBox(QStringLiteral("Case-insensitive"), this)),
      FPartialKey(new QCheckBox(QStringLiteral("Partial key"), this)) {
  setObjectName(QStringLiteral("searchToolBar"));
  addWidget(new QLabel(QStringLiteral(" Find: "), this));
  FText->setObjectName(QStringLiteral("searchText"));
  FText->setPlaceholderText(QStringLiteral("value to find"));
  FText->setClearButtonEnabled(true);
  FText->setMinimumWidth(160);
  addWidget(FText);
  addWidget(new QLabel(QStringLiteral(" in "), this));
  FField->setObjectName(QStringLiteral("searchField"));
  FField->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  addWidget(FField);
  FCaseInsensitive->setObjectName(QStringLiteral("caseInsensitive"));
  addWidget(FCaseInsensitive);
  FPartialKey->setObjectName(QStringLiteral("partialKey"));
  addWidget(FPartialKey);
  FFind = addAction(QStringLiteral("Find"), this, [this] { Find(); });
  connect(FText, &QLineEdit::returnPressed, this, [this] { Find(); });
  ShowFields();
}

void TSearchToolBar::ShowFields() {
  const QString Chosen = FField->currentText();
  FField->clear();
  TKelvaDataset* Data = FHost.DataSet();
  if (Data && Data->Active()) {
    // Locate compares stored values: calculated and lookup fields have none.
    for (std::int32_t I = 0; I < Data->FieldCount(); ++I) {
      TField* Field = Data->Fields()[I];
      if (Field->FieldKind() == fkData) FField->addItem(QString::fromStdString(Field->FieldName()));
    }
  }
  // The same field stays chosen when the new file has one of that name.
  const int Again = FField->findText(Chosen);
  if (Again >= 0) FField->setCurrentIndex(Again);
  const bool CanSearch = FField->count() > 0;
  FText->setEnabled(CanSearch);
  FField->setEnabled(CanSearch);
  FFind->setEnabled(CanSearch);
}

void TSearchToolBar::Find() {
  if (FField->count() == 0) return;
  const std::string FieldName = FField->currentText().toStdString();
  const std::string Text = FText->text().toStdString();
  TLocateOptions Options;
  if (FCaseInsensitive->isChecked()) Options.Include(loCaseInsensitive);
  if (FPartialKey->isChecked()) Options.Include(loPartialKey);
  bool Found = true;
  FHost.Run([&](TKelvaDataset& Data) { Found = Data.Locate(FieldName, Variant(Text), Options); });
  FHost.Note(Found ? std::string() : "No record has " + FieldName + " = \"" + Text + "\"");
}

} // namespace kelva::viewer
