// The published properties and events of the forms and controls.
#include "kelva/framework/db/DBClasses.h"
#include "kelva/framework/forms/ComCtrls.h"
#include "kelva/framework/forms/ControlTypes.h"
#include "kelva/framework/forms/DBCtrls.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/forms/StdCtrls.h"
#include "kelva/framework/rtl/ClassBuilder.h"

#include <mutex>

namespace kelva {

namespace {

PTypeInfo Named(TTypeKind Kind, const char* Name, std::vector<std::string> Names = {}) {
  return new TTypeInfo{Name, Kind, std::move(Names), {}}; // lives as long as the registry
}

void RegisterControls() {
  const TClassInfo* Control =
      TClassBuilder<TControl>("TControl", ClassInfo<TComponent>())
          .Integer("Left", &TControl::Left, &TControl::SetLeft)
          .Integer("Top", &TControl::Top, &TControl::SetTop)
          .Integer("Width", &TControl::Width, &TControl::SetWidth)
          .Integer("Height", &TControl::Height, &TControl::SetHeight)
          .Enum("Align", TypeInfoAlign(), &TControl::Align, &TControl::SetAlign, alNone)
          .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
          // A form's visibility is a run-time state: it is not written to its form file.
          .StoredWhen([](TObject* O) { return dynamic_cast<TForm*>(O) == nullptr; })
          .String("Hint", &TControl::Hint, &TControl::SetHint)
          .Register();
  const TClassInfo* Win = TClassBuilder<TWinControl>("TWinControl", Control)
                              .Event("OnEnter", TypeInfoNotifyEvent(), &TWinControl::OnEnter)
                              .Event("OnExit", TypeInfoNotifyEvent(), &TWinControl::OnExit)
                              .Register();
  const TClassInfo* Graphic = TClassBuilder<TGraphicControl>("TGraphicControl", Control).Register();

  TClassBuilder<TForm>("TForm", Win)
      .CreatableRestrictedToLinks()
      .String("Caption", &TForm::Caption, &TForm::SetCaption)
      .Enum("BorderStyle", TypeInfoFormBorderStyle(), &TForm::BorderStyle, &TForm::SetBorderStyle,
            bsSizeable)
      .Enum("Position", TypeInfoPosition(), &TForm::Position, &TForm::SetPosition, poDesigned)
      .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
      .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
      .Reference<TWinControl>("ActiveControl", "TWinControl", &TForm::ActiveControl,
                              &TForm::SetActiveControl)
      .Event("OnCreate", TypeInfoNotifyEvent(), &TForm::OnCreate)
      .Event("OnShow", TypeInfoNotifyEvent(), &TForm::OnShow)
      .Event("OnHide", TypeInfoNotifyEvent(), &TForm::OnHide)
      .Event("OnCloseQuery", TypeInfoCloseQueryEvent(), &TForm::OnCloseQuery)
      .Register();

  TClassBuilder<TLabel>("TLabel", Graphic)
      .CreatableRestrictedToLinks()
      .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
      .Reference<TWinControl>("FocusControl", "TWinControl", &TLabel::FocusControl,
                              &TLabel::SetFocusControl)
      .Register();
  TClassBuilder<TButton>("TButton", Win)
      .CreatableRestrictedToLinks()
      .String("Caption", &TButton::Caption, &TButton::SetCaption)
      .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
      .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
      .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
      .Event("OnClick", TypeInfoNotifyEvent(), &TButton::OnClick)
      .Register();
  TClassBuilder<TMemo>("TMemo", Win)
      .CreatableRestrictedToLinks()
      .Strings("Lines", static_cast<TStringList& (TMemo::*)()>(&TMemo::Lines), &TMemo::SetLines)
      .Bool("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly, false)
      .Event("OnChange", TypeInfoNotifyEvent(), &TMemo::OnChange)
      .Register();
  TClassBuilder<TGroupBox>("TGroupBox", Win)
      .CreatableRestrictedToLinks()
      .String("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption)
      .Register();
  TClassBuilder<TPanel>("TPanel", Win)
      .CreatableRestrictedToLinks()
      .String("Caption", &TPanel::Caption, &TPanel::SetCaption)
      .Register();
  TClassBuilder<TSpeedButton>("TSpeedButton", Graphic)
      .CreatableRestrictedToLinks()
      .Strings("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
      .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1)
      .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
      .Event("OnClick", TypeInfoNotifyEvent(), &TSpeedButton::OnClick)
      .Register();
  TClassBuilder<TTabSheet>("TTabSheet", Win)
      .CreatableRestrictedToLinks()
      .String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
      .Register();
  TClassBuilder<TPageControl>("TPageControl", Win)
      .CreatableRestrictedToLinks()
      .Reference<TTabSheet>("ActivePage", "TTabSheet", &TPageControl::ActivePage,
                            &TPageControl::SetActivePage)
      .Event("OnChanging", TypeInfoTabChangingEvent(), &TPageControl::OnChanging)
      .Event("OnChange", TypeInfoNotifyEvent(), &TPageControl::OnChange)
      .Register();
}

void RegisterDataControls() {
  const TClassInfo* FieldControl =
      TClassBuilder<TDBFieldControl>("TDBFieldControl", ClassInfo<TWinControl>())
          .Reference<TDataSource>("DataSource", "TDataSource", &TDBFieldControl::DataSource,
                                  &TDBFieldControl::SetDataSource)
          .String("DataField", &TDBFieldControl::DataField, &TDBFieldControl::SetDataField)
          .Bool("ReadOnly", &TDBFieldControl::ReadOnly, &TDBFieldControl::SetReadOnly, false)
          .Event("OnChange", TypeInfoNotifyEvent(), &TDBFieldControl::OnChange)
          .Register();
  TClassBuilder<TDBEdit>("TDBEdit", FieldControl).CreatableRestrictedToLinks().Register();
  TClassBuilder<TDBComboBox>("TDBComboBox", FieldControl)
      .CreatableRestrictedToLinks()
      .Enum("Style", TypeInfoComboBoxStyle(), &TDBComboBox::Style, &TDBComboBox::SetStyle,
            csDropDown)
      .Strings("Items", static_cast<TStringList& (TDBComboBox::*)()>(&TDBComboBox::Items),
               &TDBComboBox::SetItems)
      .Bool("Sorted", &TDBComboBox::Sorted, &TDBComboBox::SetSorted, false)
      .Register();
  TClassBuilder<TDBNavigator>("TDBNavigator", ClassInfo<TWinControl>())
      .CreatableRestrictedToLinks()
      .Reference<TDataSource>("DataSource", "TDataSource", &TDBNavigator::DataSource,
                              &TDBNavigator::SetDataSource)
      .SetOf("VisibleButtons", TypeInfoNavButtonSet(), &TDBNavigator::VisibleButtons,
             &TDBNavigator::SetVisibleButtons,
             TNavButtonSet{nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
                           nbCancel, nbRefresh})
      .Bool("ConfirmDelete", &TDBNavigator::ConfirmDelete, &TDBNavigator::SetConfirmDelete, true)
      .Event("OnClick", TypeInfoNavClick(), &TDBNavigator::OnClick)
      .Register();

  TClassBuilder<TColumnTitle>("TColumnTitle", ClassInfo<TPersistent>())
      .String("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption)
      .Register();
  TClassBuilder<TColumn>("TColumn", ClassInfo<TCollectionItem>())
      .String("FieldName", &TColumn::FieldName, &TColumn::SetFieldName)
      .Integer("Width", &TColumn::Width, &TColumn::SetWidth, 64)
      .Bool("Visible", &TColumn::Visible, &TColumn::SetVisible, true)
      .Object("Title", "TColumnTitle", static_cast<TColumnTitle& (TColumn::*)()>(&TColumn::Title))
      .Register();
  TClassBuilder<TDBGridColumns>("TDBGridColumns", ClassInfo<TCollection>()).Register();
  TClassBuilder<TDBGrid>("TDBGrid", ClassInfo<TWinControl>())
      .CreatableRestrictedToLinks()
      .Reference<TDataSource>("DataSource", "TDataSource", &TDBGrid::DataSource,
                              &TDBGrid::SetDataSource)
      .Object("Columns", "TDBGridColumns",
              static_cast<TDBGridColumns& (TDBGrid::*)()>(&TDBGrid::Columns))
      .SetOf("Options", TypeInfoDBGridOptions(), &TDBGrid::Options, &TDBGrid::SetOptions,
             TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                            dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit})
      .Bool("ReadOnly", &TDBGrid::ReadOnly, &TDBGrid::SetReadOnly, false)
      .Integer("DefaultRowHeight", &TDBGrid::DefaultRowHeight, &TDBGrid::SetDefaultRowHeight, 18)
      .Register();
}

} // namespace

PTypeInfo TypeInfoAlign() {
  static const PTypeInfo T =
      Named(tkEnumeration, "TAlign",
            {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  return T;
}
PTypeInfo TypeInfoFormBorderStyle() {
  static const PTypeInfo T =
      Named(tkEnumeration, "TFormBorderStyle",
            {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
  return T;
}
PTypeInfo TypeInfoPosition() {
  static const PTypeInfo T =
      Named(tkEnumeration, "TPosition",
            {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
             "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
  return T;
}
PTypeInfo TypeInfoComboBoxStyle() {
  static const PTypeInfo T = Named(
      tkEnumeration, "TComboBoxStyle",
      {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
  return T;
}
PTypeInfo TypeInfoNavButtonSet() {
  static const PTypeInfo T = Named(tkSet, "TNavButtonSet",
                                   {"nbFirst", "nbPrior", "nbNext", "nbLast", "nbInsert",
                                    "nbDelete", "nbEdit", "nbPost", "nbCancel", "nbRefresh"});
  return T;
}
PTypeInfo TypeInfoDBGridOptions() {
  static const PTypeInfo T =
      Named(tkSet, "TDBGridOptions",
            {"dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize",
             "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect", "dgAlwaysShowSelection",
             "dgConfirmDelete", "dgCancelOnExit", "dgMultiSelect"});
  return T;
}
PTypeInfo TypeInfoCloseQueryEvent() {
  static const PTypeInfo T = Named(tkMethod, "TCloseQueryEvent");
  return T;
}
PTypeInfo TypeInfoTabChangingEvent() {
  static const PTypeInfo T = Named(tkMethod, "TTabChangingEvent");
  return T;
}
PTypeInfo TypeInfoNavClick() {
  static const PTypeInfo T = Named(tkMethod, "TNavClick");
  return T;
}

void RegisterControlClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterDbClasses();
    RegisterControls();
    RegisterDataControls();
  });
}

} // namespace kelva
