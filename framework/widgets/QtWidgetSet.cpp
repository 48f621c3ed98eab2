// The Qt modal driver, the Qt message box, and their installation for the process.
#include "kelva/framework/widgets/QtWidgetSet.h"

#include "kelva/framework/widgets/FormView.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <array>

namespace kelva {

TQtModalDriver::TQtModalDriver() = default;
TQtModalDriver::~TQtModalDriver() = default;

TQtFormView* TQtModalDriver::ViewOf(const TForm& Form) const {
  const auto Found = FViews.find(&Form);
  return Found == FViews.end() ? nullptr : Found->second.get();
}

bool TQtModalDriver::Step(TForm& Form) {
  std::unique_ptr<TQtFormView>& View = FViews[&Form];
  if (!View) {
    View = std::make_unique<TQtFormView>(Form);
    View->ShowWindow(true);
  }
  // A quitting application closes its windows: the form ends as if its close box was used.
  if (QCoreApplication::closingDown()) return false;
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  View->Sync();
  return true;
}

void TQtModalDriver::Ended(TForm& Form) {
  const auto Found = FViews.find(&Form);
  if (Found == FViews.end()) return;
  Found->second->Window()->hide();
  FViews.erase(Found);
}

namespace {

struct TButtonLook {
  TMsgDlgBtn Button;
  QMessageBox::StandardButton Standard;
};

constexpr std::array<TButtonLook, 12> ButtonLooks = {{
    {mbYes, QMessageBox::Yes},
    {mbNo, QMessageBox::No},
    {mbOK, QMessageBox::Ok},
    {mbCancel, QMessageBox::Cancel},
    {mbAbort, QMessageBox::Abort},
    {mbRetry, QMessageBox::Retry},
    {mbIgnore, QMessageBox::Ignore},
    {mbAll, QMessageBox::YesToAll},
    {mbNoToAll, QMessageBox::NoToAll},
    {mbYesToAll, QMessageBox::YesToAll},
    {mbHelp, QMessageBox::Help},
    {mbClose, QMessageBox::Close},
}};

QMessageBox::Icon IconOf(TMsgDlgType Type) {
  switch (Type) {
  case mtWarning:
    return QMessageBox::Warning;
  case mtError:
    return QMessageBox::Critical;
  case mtInformation:
    return QMessageBox::Information;
  case mtConfirmation:
    return QMessageBox::Question;
  default:
    return QMessageBox::NoIcon;
  }
}

} // namespace

TModalResult QtMessageBox(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                          std::int32_t) {
  QMessageBox Box(IconOf(DlgType), QString::fromUtf8(MessageDlgCaption(DlgType)),
                  QString::fromStdString(Msg), QMessageBox::NoButton, QApplication::activeWindow());
  Box.setTextFormat(Qt::PlainText);
  std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> Added;
  for (const TButtonLook& Look : ButtonLooks) {
    if (!Buttons.Contains(Look.Button)) continue;
    QAbstractButton* Button = Look.Button == mbAll
                                  ? Box.addButton(QStringLiteral("&All"), QMessageBox::YesRole)
                                  : Box.addButton(Look.Standard);
    Added.emplace_back(Button, Look.Button);
  }
  if (Added.empty()) Added.emplace_back(Box.addButton(QMessageBox::Ok), mbOK);
  Box.exec();
  for (const auto& [Button, Which] : Added)
    if (Box.clickedButton() == Button) return ModalResultOf(Which);
  // Closed without a button: the cancel button's answer when there is one.
  return Buttons.Contains(mbCancel) ? mrCancel : mrNone;
}

TQtWidgetSet::TQtWidgetSet()
    : FPreviousDriver(SetModalDriver(&FDriver)),
      FPreviousMessageBox(SetMessageDlgHandler(&QtMessageBox)),
      FPreviousOnException(Application->OnException) {
  Application->OnException = [](TObject*, const Exception& E) {
    MessageDlg(E.Message(), mtError, {mbOK}, 0);
  };
}

TQtWidgetSet::~TQtWidgetSet() {
  Application->OnException = FPreviousOnException;
  SetMessageDlgHandler(FPreviousMessageBox);
  SetModalDriver(FPreviousDriver);
}

} // namespace kelva
