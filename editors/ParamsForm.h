// TfrmKlvParm: the dialog in which a developer edits a dataset's parameter descriptions. It
// works like the field-description dialog, for lines with a name and a type word and no
// length. The routines of this unit reach the dialog through the global FrmKlvParm.
#pragma once

#include "kelva/editors/DescriptionForm.h"

namespace kelva {

class TfrmKlvParm : public TDescriptionForm {
public:
  explicit TfrmKlvParm(TComponent* AOwner);
  ~TfrmKlvParm() override;

  void DBTypeChange(TObject* Sender);
  void KelvaDS1BeforePost(TDataSet* DataSet);

protected:
  void LinesToGridOf(TStrings& Lines) override;
  void GridToLinesOf(TStrings& Lines) override;
  void CheckLinesOf(TStrings& Lines) override;
  TDescriptionForm* UnitInstance() const override;
};

// The one parameter-description dialog; null when none is open.
extern TfrmKlvParm* FrmKlvParm;

// Reads the value of a parameter description line into its name and type word (upper case);
// true when the type word is one of the nine. Tokens after the type word are ignored.
bool ParseParamDescription(const std::string& Value, std::string& Name, std::string& TypeWord);
// Raises when the name or the type word is empty.
void CheckParamDescription(const std::string& Name, const std::string& TypeWord);
void CheckParamLines(TStrings& Lines);
void ParamLinesToGrid(TStrings& Lines);
void GridToParamLines(TStrings& Lines);

} // namespace kelva
