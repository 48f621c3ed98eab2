// Data-aware controls: TDBEdit and TDBComboBox show one field of the current record and
// write what the person typed back into it; TDBNavigator moves through and edits a dataset.
#pragma once

#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/forms/Controls.h"
#include "kelva/framework/rtl/Strings.h"

#include <memory>

namespace kelva {

// What TDBEdit and TDBComboBox share: a field data link, the text shown, and the rules of
// when the text goes into the field (before every post, and when the control is left).
class TDBFieldControl : public TWinControl {
public:
  explicit TDBFieldControl(TComponent* AOwner);
  ~TDBFieldControl() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  const std::string& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const std::string& Value) { FDataLink->SetFieldName(Value); }
  TField* Field() const { return FDataLink->Field(); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  // The text the control shows now.
  const std::string& Text() const { return FText; }
  bool Modified() const { return FModified; }

  TNotifyEvent OnChange;

protected:
  // Focuses the control and puts the dataset in edit mode, as the first key a person types
  // does. False when nothing may be typed: the control or the field is read-only, or the
  // dataset cannot be edited.
  bool BeginTyping();
  // Takes Text as what the person typed, and fires OnChange.
  void TakeTypedText(const std::string& Text);
  // Shows the field's text; descendants adjust what they can show.
  virtual void ShowFieldText(const std::string& FieldText);
  void SetShownText(const std::string& Value) { FText = Value; }
  void DoExit() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void DataChange();
  void UpdateData();

  std::unique_ptr<TFieldDataLink> FDataLink;
  std::string FText;
  bool FModified = false;
  bool FReadOnly = false;
};

class TDBEdit : public TDBFieldControl {
public:
  explicit TDBEdit(TComponent* AOwner) : TDBFieldControl(AOwner) {}
  // The person replaces the text by Text. Returns whether it was taken.
  bool TypeText(const std::string& Text);
};

enum TComboBoxStyle : std::uint8_t {
  csDropDown,
  csSimple,
  csDropDownList,
  csOwnerDrawFixed,
  csOwnerDrawVariable
};

class TDBComboBox : public TDBFieldControl {
public:
  explicit TDBComboBox(TComponent* AOwner) : TDBFieldControl(AOwner) {}

  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  void SetItems(const TStrings& Value) { FItems.Assign(Value); }
  bool Sorted() const { return FItems.Sorted(); }
  void SetSorted(bool Value) { FItems.SetSorted(Value); }
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value) { FStyle = Value; }
  // The index in Items of the text shown, or -1.
  std::int32_t ItemIndex() const { return FItems.IndexOf(Text()); }

  // The person picks Item from the drop-down list; EInvalidOperation when the list has no
  // such item. Returns whether it was taken.
  bool ChooseItem(const std::string& Item);
  // The person types Text into the edit part (not possible with a drop-down list).
  bool TypeText(const std::string& Text);

protected:
  void ShowFieldText(const std::string& FieldText) override;

private:
  TStringList FItems;
  TComboBoxStyle FStyle = csDropDown;
};

enum TNavigateBtn : std::uint8_t {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh
};
using TNavButtonSet = TSet<TNavigateBtn>;
using TNavClick = std::function<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator : public TWinControl {
public:
  explicit TDBNavigator(TComponent* AOwner);
  ~TDBNavigator() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TNavButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TNavButtonSet Value) { FVisibleButtons = Value; }
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool Value) { FConfirmDelete = Value; }

  bool ButtonVisible(TNavigateBtn Button) const { return FVisibleButtons.Contains(Button); }
  // Whether the button can be pressed now, from the dataset's state and position.
  bool ButtonEnabled(TNavigateBtn Button) const;
  // The person presses Button; a hidden or disabled button does nothing (returns false).
  // The focus stays where it is, as the buttons never take it.
  bool Click(TNavigateBtn Button);

  TNavClick OnClick;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::unique_ptr<TDataLink> FDataLink;
  TNavButtonSet FVisibleButtons{nbFirst,  nbPrior, nbNext, nbLast,   nbInsert,
                                nbDelete, nbEdit,  nbPost, nbCancel, nbRefresh};
  bool FConfirmDelete = true;
};

} // namespace kelva
