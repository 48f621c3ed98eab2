// Sorting by a click on a column title: the first click on a title sorts ascending on that
// column's field, a click on the same title again sorts the other way. The title shows the
// direction for as long as the records are in that order.
#pragma once

#include "kelva/apps/viewer/DatasetHost.h"

#include <QObject>

#include <string>

class QHeaderView;

namespace kelva {
class TDBGrid;
}

namespace kelva::viewer {

class TColumnSorter : public QObject {
public:
  TColumnSorter(TDatasetHost& Host, TDBGrid& Grid, QHeaderView& Titles);

  // The records are no longer in the order shown (another file, another view, an edited
  // record): the next click sorts ascending again.
  void Forget();

private:
  void TitleClicked(int Column);
  void ShowDirection();

  TDatasetHost& FHost;
  TDBGrid& FGrid;
  QHeaderView& FTitles;
  std::string FSortedField; // empty: not sorted by a title click
  bool FDescending = false;
};

} // namespace kelva::viewer
