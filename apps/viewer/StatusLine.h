// The window's status line: how many records the view shows, whether changes are pending, and
// short notes such as a search that found nothing.
#pragma once

#include <QStatusBar>

#include <string>

class QLabel;

namespace kelva {
class TKelvaDataset;
}

namespace kelva::viewer {

class TStatusLine : public QStatusBar {
public:
  explicit TStatusLine(QWidget* Parent);

  QLabel* RecordCount() const { return FCount; }
  QLabel* Pending() const { return FPending; }
  QString NoteText() const { return currentMessage(); }

  // Data is null while no file is open.
  void ShowState(TKelvaDataset* Data);
  // Shows Text until the next note; an empty text clears the note.
  void Note(const std::string& Text);

private:
  QLabel* FCount;
  QLabel* FPending;
};

} // namespace kelva::viewer
