// TFrmMetaFields: the dialog in which a developer edits a dataset's field descriptions, as
// records in a grid with an edit panel or as text. The routines of this unit reach the dialog
// through the global FrmMetaFields, which the property editor sets.
#pragma once

#include "kelva/editors/DescriptionForm.h"

namespace kelva {

class TFrmMetaFields : public TDescriptionForm {
public:
  explicit TFrmMetaFields(TComponent* AOwner);
  ~TFrmMetaFields() override;

  TLabel* Label2 = nullptr;
  TDBEdit* DBLength = nullptr;
  TSmallintField* KelvaDS1LENGTH = nullptr;

  void DBTypeChange(TObject* Sender);
  void UpdateEcr(TObject* Sender);
  void KelvaDS1BeforePost(TDataSet* DataSet);
  void KelvaDS1AfterScroll(TDataSet* DataSet);
  void PageControl1Change(TObject* Sender);

protected:
  void BindComponents() override;
  void LinesToGridOf(TStrings& Lines) override;
  void GridToLinesOf(TStrings& Lines) override;
  void CheckLinesOf(TStrings& Lines) override;
  void AfterShowFilled() override { UpdateEcr(this); }
  TDescriptionForm* UnitInstance() const override;
};

// The one field-description dialog; null when none is open.
extern TFrmMetaFields* FrmMetaFields;

// Reads the value of a field description line into its name, type word (upper case) and
// length; true when the type word is one of the nine. A length that is not an integer raises.
bool ParseFieldDescription(const std::string& Value, std::string& Name, std::string& TypeWord,
                           std::int32_t& Length);
// The four rules of a field description; raises at the first one broken.
void CheckFieldDescription(const std::string& Name, const std::string& TypeWord,
                           std::int32_t Length);
// Reads and checks every field description line of Lines; the first error stops the check.
void CheckFieldLines(TStrings& Lines);
// Rebuilds the dialog's records from the field description lines of Lines.
void LinesToGrid(TStrings& Lines);
// Replaces Lines by one field description line per record of the dialog.
void GridToLines(TStrings& Lines);

} // namespace kelva
