// A title click becomes the dataset's own sort on the column's field.
#include "kelva/apps/viewer/ColumnSorter.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/framework/forms/DBGrids.h"

#include <QHeaderView>

namespace kelva::viewer {

TColumnSorter::TColumnSorter(TDatasetHost& Host, TDBGrid& Grid, QHeaderView& Titles)
    : QObject(&Titles), FHost(Host), FGrid(Grid), FTitles(Titles) {
  FTitles.setSectionsClickable(true);
  FTitles.setSortIndicatorShown(true);
  connect(&FTitles, &QHeaderView::sectionClicked, this,
          [this](int Column) { TitleClicked(Column); });
  ShowDirection();
}

void TColumnSorter::Forget() {
  FSortedField.clear();
  FDescending = false;
  ShowDirection();
}

void TColumnSorter::TitleClicked(int Column) {
  TField* Field = FGrid.ColumnField(Column);
  if (!Field) return;
  const std::string FieldName = Field->FieldName();
  const bool Descending = FieldName == FSortedField && !FDescending;
  bool Sorted = false;
  FHost.Run([&](TKelvaDataset& Data) {
    Data.SortOn(FieldName, false, Descending);
    Sorted = true;
  });
  if (Sorted) {
    FSortedField = FieldName;
    FDescending = Descending;
  }
  // The header may have turned its arrow on the click by itself: it shows the real order.
  ShowDirection();
}

void TColumnSorter::ShowDirection() {
  int Column = -1;
  for (std::int32_t I = 0; I < FGrid.ColumnCount() && !FSortedField.empty(); ++I) {
    const TField* Field = FGrid.ColumnField(I);
    if (Field && Field->FieldName() == FSortedField) Column = I;
  }
  FTitles.setSortIndicator(Column, FDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace kelva::viewer
