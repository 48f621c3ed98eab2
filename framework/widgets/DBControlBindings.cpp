// Data-aware edits, combo boxes and the navigator on Qt widgets. What a person types goes
// through the model's typing calls, which put the dataset in edit mode and fill the field.
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/forms/DBCtrls.h"
#include "kelva/framework/widgets/ControlBinding.h"
#include "kelva/framework/widgets/DBGridView.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/NavigatorButtons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include <array>

namespace kelva {

namespace {

// What a field allows: read-only controls and fields take no typing, and a text field takes
// no more characters than it holds.
void ApplyFieldLimits(QLineEdit& Edit, const TDBFieldControl& Control) {
  TField* Field = Control.Field();
  const bool ReadOnly = Control.ReadOnly() || (Field && Field->ReadOnly());
  Edit.setReadOnly(ReadOnly);
  const bool Sized = dynamic_cast<TStringField*>(Field) != nullptr && Field->Size() > 0;
  Edit.setMaxLength(Sized ? Field->Size() : 32767);
}

class TDBEditBinding : public TControlBinding {
public:
  TDBEditBinding(TDBEdit& Edit, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Edit, new QLineEdit(Parent), View), FEdit(Edit) {
    auto* Widget = static_cast<QLineEdit*>(this->Widget());
    QObject::connect(Widget, &QLineEdit::textEdited, Widget, [this](const QString& Text) {
      if (Syncing()) return;
      const std::string Typed = ModelText(Text);
      Perform([this, Typed] { FEdit.TypeText(Typed); });
    });
  }
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QLineEdit*>(this->Widget());
    ApplyFieldLimits(*Widget, FEdit);
    const QString Text = QtText(FEdit.Text());
    if (Widget->text() != Text) {
      const int Cursor = Widget->cursorPosition();
      Widget->setText(Text);
      Widget->setCursorPosition(std::min<int>(Cursor, static_cast<int>(Text.size())));
    }
  }

private:
  TDBEdit& FEdit;
};

class TDBComboBoxBinding : public TControlBinding {
public:
  TDBComboBoxBinding(TDBComboBox& Combo, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Combo, new QComboBox(Parent), View), FCombo(Combo) {
    auto* Widget = static_cast<QComboBox*>(this->Widget());
    Widget->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(Widget, &QComboBox::textActivated, Widget, [this](const QString& Text) {
      if (Syncing()) return;
      const std::string Item = ModelText(Text);
      Perform([this, Item] { FCombo.ChooseItem(Item); });
    });
  }
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QComboBox*>(this->Widget());
    const bool Editable = FCombo.Style() != csDropDownList;
    if (Widget->isEditable() != Editable) {
      Widget->setEditable(Editable);
      if (Editable) ConnectTyping(*Widget);
    }
    QStringList Items;
    for (std::int32_t I = 0; I < FCombo.Items().Count(); ++I) Items << QtText(FCombo.Items()[I]);
    if (Items != FShownItems) {
      FShownItems = Items;
      Widget->clear();
      Widget->addItems(Items);
    }
    const QString Text = QtText(FCombo.Text());
    if (Editable) {
      ApplyFieldLimits(*Widget->lineEdit(), FCombo);
      if (Widget->currentText() != Text) Widget->setEditText(Text);
    } else {
      Widget->setCurrentIndex(FCombo.ItemIndex());
    }
  }

private:
  void ConnectTyping(QComboBox& Widget) {
    QObject::connect(Widget.lineEdit(), &QLineEdit::textEdited, &Widget,
                     [this](const QString& Text) {
                       if (Syncing()) return;
                       const std::string Typed = ModelText(Text);
                       Perform([this, Typed] { FCombo.TypeText(Typed); });
                     });
  }
  TDBComboBox& FCombo;
  QStringList FShownItems;
};

struct TNavButtonLook {
  TNavigateBtn Button;
  const char* Symbol;
  const char* Hint;
};

constexpr std::array<TNavButtonLook, 10> NavButtonLooks = {{
    {nbFirst, "|\u25C0", "First record"},
    {nbPrior, "\u25C0", "Prior record"},
    {nbNext, "\u25B6", "Next record"},
    {nbLast, "\u25B6|", "Last record"},
    {nbInsert, "+", "Insert record"},
    {nbDelete, "\u2212", "Delete record"},
    {nbEdit, "\u25B2", "Edit record"},
    {nbPost, "\u2713", "Post edit"},
    {nbCancel, "\u2717", "Cancel edit"},
    {nbRefresh, "\u21BB", "Refresh data"},
}};

class TDBNavigatorBinding : public TControlBinding {
public:
  TDBNavigatorBinding(TDBNavigator& Navigator, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Navigator, new QWidget(Parent), View), FNavigator(Navigator) {
    auto* Layout = new QHBoxLayout(Widget());
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    for (const TNavButtonLook& Look : NavButtonLooks) {
      auto* Button = new QToolButton(Widget());
      Button->setText(QString::fromUtf8(Look.Symbol));
      Button->setToolTip(QString::fromUtf8(Look.Hint));
      Button->setObjectName(QString::fromUtf8(Look.Hint));
      Button->setFocusPolicy(Qt::NoFocus); // the navigator's buttons never take the focus
      Button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      Layout->addWidget(Button);
      const TNavigateBtn Which = Look.Button;
      QObject::connect(Button, &QToolButton::clicked, Button, [this, Which] {
        if (!Syncing()) Perform([this, Which] { FNavigator.Click(Which); });
      });
      FButtons[Which] = Button;
    }
    Widget()->setFocusPolicy(Qt::NoFocus);
  }
  void Sync() override {
    TControlBinding::Sync();
    for (const TNavButtonLook& Look : NavButtonLooks) {
      QToolButton* Button = FButtons[Look.Button];
      Button->setVisible(FNavigator.ButtonVisible(Look.Button));
      Button->setEnabled(FNavigator.ButtonEnabled(Look.Button));
    }
  }

private:
  TDBNavigator& FNavigator;
  std::array<QToolButton*, 10> FButtons{};
};

} // namespace

QToolButton* NavigatorButton(QWidget* NavigatorWidget, TNavigateBtn Button) {
  for (const TNavButtonLook& Look : NavButtonLooks)
    if (Look.Button == Button)
      return NavigatorWidget->findChild<QToolButton*>(QString::fromUtf8(Look.Hint));
  return nullptr;
}

std::unique_ptr<TControlBinding> MakeDBControlBinding(TControl& Control, QWidget* Parent,
                                                      TQtFormView& View) {
  if (auto Binding = BindAs<TDBEditBinding, TDBEdit>(Control, Parent, View)) return Binding;
  if (auto Binding = BindAs<TDBComboBoxBinding, TDBComboBox>(Control, Parent, View)) return Binding;
  if (auto Binding = BindAs<TDBNavigatorBinding, TDBNavigator>(Control, Parent, View))
    return Binding;
  return MakeDBGridBinding(Control, Parent, View);
}

} // namespace kelva
