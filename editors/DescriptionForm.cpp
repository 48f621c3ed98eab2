// The behaviour both description dialogs share.
#include "kelva/editors/DescriptionForm.h"

#include "kelva/dataset/messages.h"
#include "kelva/editors/DescriptionLines.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/FormReader.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TryFinally.h"

namespace kelva {

void TDescriptionForm::LoadForm(const std::string& FormText) {
  RegisterControlClasses();
  ReadComponentRes(FormText, *this);
  BindComponents();
  DoCreate();
}

void TDescriptionForm::BindComponents() {
  PageControl1 = FindFormComponent<TPageControl>(*this, "PageControl1");
  FieldsPage = FindFormComponent<TTabSheet>(*this, "FieldsPage");
  TextPage = FindFormComponent<TTabSheet>(*this, "TextPage");
  Panel1 = FindFormComponent<TPanel>(*this, "Panel1");
  GroupBox1 = FindFormComponent<TGroupBox>(*this, "GroupBox1");
  DBGrid1 = FindFormComponent<TDBGrid>(*this, "DBGrid1");
  btnPrev = FindFormComponent<TSpeedButton>(*this, "btnPrev");
  BtnNext = FindFormComponent<TSpeedButton>(*this, "BtnNext");
  Panel2 = FindFormComponent<TPanel>(*this, "Panel2");
  GroupBox2 = FindFormComponent<TGroupBox>(*this, "GroupBox2");
  CV = FindFormComponent<TLabel>(*this, "CV");
  Label1 = FindFormComponent<TLabel>(*this, "Label1");
  DBNom = FindFormComponent<TDBEdit>(*this, "DBNom");
  DBType = FindFormComponent<TDBComboBox>(*this, "DBType");
  DBNavigator1 = FindFormComponent<TDBNavigator>(*this, "DBNavigator1");
  mmoFields = FindFormComponent<TMemo>(*this, "mmoFields");
  Panel3 = FindFormComponent<TPanel>(*this, "Panel3");
  Button1 = FindFormComponent<TButton>(*this, "Button1");
  Button2 = FindFormComponent<TButton>(*this, "Button2");
  KelvaDS1 = FindFormComponent<TEventDataset>(*this, "KelvaDS1");
  KelvaDS1POS = FindFormComponent<TFloatField>(*this, "KelvaDS1POS");
  KelvaDS1NAME = FindFormComponent<TStringField>(*this, "KelvaDS1NAME");
  KelvaDS1TYPE = FindFormComponent<TStringField>(*this, "KelvaDS1TYPE");
  DataSource1 = FindFormComponent<TDataSource>(*this, "DataSource1");
}

void TDescriptionForm::ShowError(const std::string& Message) {
  MessageDlg(Message, mtError, {mbOK}, 0);
}

void TDescriptionForm::PostPendingEdit() {
  if (KelvaDS1->State() == dsEdit || KelvaDS1->State() == dsInsert) KelvaDS1->Post();
}

void TDescriptionForm::FormCreate(TObject*) {
  FLastPos = 0;
  DBType->Items().Clear();
  for (const std::string& Word : DialogTypeWords()) DBType->Items().Add(Word);
  PageControl1->SetActivePage(FieldsPage);
}

void TDescriptionForm::FormShow(TObject*) {
  try {
    LinesToGridOf(mmoFields->Lines());
    KelvaDS1->SortOn("POS", false, false);
    AfterShowFilled();
  } catch (const EDatabaseError& E) {
    ShowError(E.Message());
    PageControl1->SetActivePage(TextPage);
  }
}

void TDescriptionForm::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
}

void TDescriptionForm::KelvaDS1AfterPost(TDataSet*) {
  KelvaDS1->SortOn("POS", false, false);
}

void TDescriptionForm::BtnNextClick(TObject*) {
  MoveCurrentLine(true);
}

void TDescriptionForm::btnPrevClick(TObject*) {
  MoveCurrentLine(false);
}

void TDescriptionForm::MoveCurrentLine(bool Down) {
  // A line being edited or inserted is posted first: what was typed into the edits would not
  // reach it once the controls are switched off, and a new line has no place to move from.
  PostPendingEdit();
  if (Down ? KelvaDS1->Eof() : KelvaDS1->Bof()) return;
  TBookmark Mark = KelvaDS1->GetBookmark();
  KelvaDS1->DisableControls();
  TryFinally(
      [&] {
        auto Step = [&] { Down ? KelvaDS1->Next() : KelvaDS1->Prior(); };
        auto AtEnd = [&] { return Down ? KelvaDS1->Eof() : KelvaDS1->Bof(); };
        Step();
        if (AtEnd()) return; // already the last line in that direction
        const double P1 = KelvaDS1POS->AsFloat();
        Step();
        double P2 = 0;
        if (AtEnd())
          P2 = Down ? P1 + 1 : P1 - 1;
        else
          P2 = KelvaDS1POS->AsFloat();
        KelvaDS1->GotoBookmark(Mark);
        KelvaDS1->Edit();
        KelvaDS1POS->SetAsFloat(Down ? P1 + (P2 - P1) * 0.5 : P1 - (P1 - P2) * 0.5);
        KelvaDS1->Post();
      },
      [&] {
        KelvaDS1->FreeBookmark(Mark);
        KelvaDS1->EnableControls();
      });
}

void TDescriptionForm::PageControl1Changing(TObject*, bool& AllowChange) {
  try {
    if (PageControl1->ActivePage() == FieldsPage) {
      PostPendingEdit();
      GridToLinesOf(mmoFields->Lines());
    } else if (PageControl1->ActivePage() == TextPage) {
      CheckLinesOf(mmoFields->Lines());
      LinesToGridOf(mmoFields->Lines());
    }
  } catch (const EDatabaseError& E) {
    AllowChange = false;
    ShowError(E.Message());
  }
}

void TDescriptionForm::Button1Click(TObject*) {
  if (PageControl1->ActivePage() == FieldsPage) {
    PostPendingEdit();
    GridToLinesOf(mmoFields->Lines());
  }
  CheckLinesOf(mmoFields->Lines());
  TDescriptionForm* Dialog = UnitInstance();
  if (!Dialog) throw EInvalidOperation("The description dialog is not open");
  Dialog->SetModalResult(mrOk);
}

// ---- line routines --------------------------------------------------------------------

void RaiseSchemaError(const std::string& Name) {
  DatabaseErrorFmt(SKlvSchemaError, {Name});
}

void ForEachDescription(const TStrings& Lines, const std::string& Word,
                        const std::function<void(const std::string& Value)>& Visit) {
  for (std::int32_t I = 0; I < Lines.Count(); ++I) {
    TDialogLine Line = SplitDialogLine(Lines[I]);
    if (Line.Key.find(Word) == std::string::npos) continue;
    Visit(Line.Value);
  }
}

void RebuildGridFromLines(TDescriptionForm& Form, const TStrings& Lines, const std::string& Word,
                          const TLineReader& Read,
                          const std::function<void(const TLineReading&)>& Fill) {
  TEventDataset& Data = *Form.KelvaDS1;
  Data.DisableControls();
  TryFinally(
      [&] {
        Data.Close();
        Data.Open();
        ForEachDescription(Lines, Word, [&](const std::string& Value) {
          TLineReading Reading;
          try {
            Read(Value, Reading);
            Form.TakeNextPos();
            Data.AppendRaw();
            Fill(Reading);
            Data.PostRaw();
          } catch (...) {
            if (Data.RawLoading()) Data.CancelRaw();
            RaiseSchemaError(Reading.Name);
          }
        });
      },
      [&] {
        if (Data.Active()) Data.First();
        Data.EnableControls();
      });
}

void WriteGridToLines(TDescriptionForm& Form, TStrings& Lines,
                      const std::function<std::string()>& MakeLine) {
  TEventDataset& Data = *Form.KelvaDS1;
  Data.DisableControls();
  TryFinally(
      [&] {
        Data.First();
        Lines.Clear();
        while (!Data.Eof()) {
          Lines.Add(MakeLine());
          Data.Next();
        }
      },
      [&] { Data.EnableControls(); });
}

} // namespace kelva
