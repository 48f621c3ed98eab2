// TDescriptionForm: what the field-description and the parameter-description dialogs share.
// Both show description lines two ways, as records of their own working dataset in a grid
// and as text in a memo; both keep the records ordered by a position number, move lines up
// and down, and bring the two pages into line when the page changes or OK is pressed.
#pragma once

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/forms/ComCtrls.h"
#include "kelva/framework/forms/DBCtrls.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/forms/StdCtrls.h"

namespace kelva {

class TDescriptionForm : public TForm {
public:
  // The form's components, bound by name once its form file has been read.
  TPageControl* PageControl1 = nullptr;
  TTabSheet* FieldsPage = nullptr;
  TTabSheet* TextPage = nullptr;
  TPanel* Panel1 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TDBGrid* DBGrid1 = nullptr;
  TSpeedButton* btnPrev = nullptr;
  TSpeedButton* BtnNext = nullptr;
  TPanel* Panel2 = nullptr;
  TGroupBox* GroupBox2 = nullptr;
  TLabel* CV = nullptr;
  TLabel* Label1 = nullptr;
  TDBEdit* DBNom = nullptr;
  TDBComboBox* DBType = nullptr;
  TDBNavigator* DBNavigator1 = nullptr;
  TMemo* mmoFields = nullptr;
  TPanel* Panel3 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TEventDataset* KelvaDS1 = nullptr;
  TFloatField* KelvaDS1POS = nullptr;
  TStringField* KelvaDS1NAME = nullptr;
  TStringField* KelvaDS1TYPE = nullptr;
  TDataSource* DataSource1 = nullptr;

  // Event handlers both dialogs bind in their form files.
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void KelvaDS1AfterPost(TDataSet* DataSet);
  void BtnNextClick(TObject* Sender);
  void btnPrevClick(TObject* Sender);
  void PageControl1Changing(TObject* Sender, bool& AllowChange);
  void Button1Click(TObject* Sender);

  // The last position number handed out; it only grows while the dialog lives.
  std::int32_t LastPos() const { return FLastPos; }
  // Hands out the next position number.
  std::int32_t TakeNextPos() { return ++FLastPos; }

protected:
  explicit TDescriptionForm(TComponent* AOwner) : TForm(AOwner) {}
  // Reads the form file, binds the members above, then fires OnCreate.
  void LoadForm(const std::string& FormText);
  virtual void BindComponents();

  // The dialog's own reading of its lines, through its unit's routines.
  virtual void LinesToGridOf(TStrings& Lines) = 0;
  virtual void GridToLinesOf(TStrings& Lines) = 0;
  virtual void CheckLinesOf(TStrings& Lines) = 0;
  // Runs after the grid was filled when the dialog is shown.
  virtual void AfterShowFilled() {}
  // The dialog as its unit's routines reach it (the unit's global variable).
  virtual TDescriptionForm* UnitInstance() const = 0;

  // Posts the working record when it is being edited or inserted.
  void PostPendingEdit();
  // Shows an error message box with a single OK button.
  static void ShowError(const std::string& Message);

private:
  // Gives the current line a position between its neighbour in the direction of the move
  // and the line after that; posting it re-sorts the lines.
  void MoveCurrentLine(bool Down);

  std::int32_t FLastPos = 0;
};

// One description line as a dialog reads it.
struct TLineReading {
  std::string Name;
  std::string TypeWord;
  std::int32_t Length = 0;
};
// Parses a line's value into Reading; raises the schema error naming the line when the line
// cannot be read (Reading.Name holds what was read of the name by then).
using TLineReader = std::function<void(const std::string& Value, TLineReading& Reading)>;

// Calls Visit with the value of every line of Lines whose key contains Word; the others
// (blank lines, comments, other keys) are skipped.
void ForEachDescription(const TStrings& Lines, const std::string& Word,
                        const std::function<void(const std::string& Value)>& Visit);
// Empties the form's working dataset and appends one record per line Read accepts, with the
// next position number, filled by Fill. An error on a line stops the rebuild, keeps the
// records before it, and is raised as the schema error naming the line.
void RebuildGridFromLines(TDescriptionForm& Form, const TStrings& Lines, const std::string& Word,
                          const TLineReader& Read,
                          const std::function<void(const TLineReading&)>& Fill);
// Replaces Lines by one line per record of the working dataset, in position order.
void WriteGridToLines(TDescriptionForm& Form, TStrings& Lines,
                      const std::function<std::string()>& MakeLine);
// Raises the schema error naming the line.
[[noreturn]] void RaiseSchemaError(const std::string& Name);

} // namespace kelva
