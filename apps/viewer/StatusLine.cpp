// The status line's texts, read from the dataset.
#include "kelva/apps/viewer/StatusLine.h"

#include "kelva/apps/viewer/PendingChanges.h"

#include <QLabel>

namespace kelva::viewer {

TStatusLine::TStatusLine(QWidget* Parent)
    : QStatusBar(Parent), FCount(new QLabel(this)), FPending(new QLabel(this)) {
  setObjectName(QStringLiteral("statusLine"));
  FCount->setObjectName(QStringLiteral("recordCount"));
  FPending->setObjectName(QStringLiteral("pendingState"));
  // Permanent, so that a note never hides them.
  addPermanentWidget(FCount);
  addPermanentWidget(FPending);
  ShowState(nullptr);
}

void TStatusLine::ShowState(TKelvaDataset* Data) {
  if (!Data || !Data->Active()) {
    FCount->setText(QStringLiteral("No file open"));
    FPending->clear();
    return;
  }
  const std::int32_t Count = Data->RecordCount();
  FCount->setText(Count == 1 ? QStringLiteral("1 record")
                             : QStringLiteral("%1 records").arg(Count));
  FPending->setText(ChangesPending(*Data) ? QStringLiteral("Changes pending")
                                          : QStringLiteral("No changes pending"));
}

void TStatusLine::Note(const std::string& Text) {
  if (Text.empty())
    clearMessage();
  else
    showMessage(QString::fromStdString(Text));
}

} // namespace kelva::viewer
