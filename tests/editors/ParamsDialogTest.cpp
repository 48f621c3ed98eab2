// The parameter-description dialog: what differs from the field dialog.
#include "editors/DialogDriving.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using namespace editors_test;
using Steps = std::vector<DialogStep<TfrmKlvParm>>;
using Lines = std::vector<std::string>;

DialogOutcome Drive(const Lines& Initial, Steps Script) {
  return RunDialog<TfrmKlvParm>(FrmKlvParm, Initial, std::move(Script));
}

TEST(ParamsDialog, ShowsNameAndTypeAndWritesParamLines) {
  Lines Rows;
  std::int32_t Columns = 0;
  std::string Caption, FieldsCaption;
  DialogOutcome Out = Drive({"PARAM=ID,INTEGER,5", " param = city , char ", "FIELD=X,CHAR,1"},
                            {[&](TfrmKlvParm& D) {
                              Rows = GridRows(*D.DBGrid1);
                              Columns = D.DBGrid1->ColumnCount();
                              Caption = D.Caption();
                              FieldsCaption = D.FieldsPage->Caption();
                              D.Button1->Click();
                            }});
  EXPECT_EQ(Caption, "Parameters Definition");
  EXPECT_EQ(FieldsCaption, "Params");
  EXPECT_EQ(Columns, 2);
  EXPECT_EQ(Rows, (Lines{"ID,INTEGER", "city,CHAR"}));
  EXPECT_EQ(Out.Memo, (Lines{"PARAM=ID,INTEGER", "PARAM=city,CHAR"}));
}

TEST(ParamsDialog, TextPageRefusesUnreadableAndIncompleteLines) {
  MessageBoxes Boxes;
  Drive({"PARAM=ID,INTEGER"}, {[](TfrmKlvParm& D) {
          D.PageControl1->SelectPage(D.TextPage);
          for (const char* Bad : {"PARAM=ID", "PARAM=ID,MONEY", "PARAM=,INTEGER"}) {
            D.mmoFields->TypeText(Bad);
            EXPECT_FALSE(D.PageControl1->SelectPage(D.FieldsPage)) << Bad;
          }
          D.mmoFields->TypeText("PARAM=FROM,DATE\nPARAM=TO,date");
          EXPECT_TRUE(D.PageControl1->SelectPage(D.FieldsPage));
          EXPECT_EQ(GridRows(*D.DBGrid1), (Lines{"FROM,DATE", "TO,DATE"}));
        }});
  EXPECT_EQ(Boxes.Shown, (Lines{"Error in field description 'ID' ",
                                "Error in field description 'ID' ", "Field name is compulsory"}));
}

TEST(ParamsDialog, InsertedParameterTakesTheNextPositionAndNoLength) {
  DialogOutcome Out = Drive({"PARAM=A,CHAR", "PARAM=B,CHAR"}, {[](TfrmKlvParm& D) {
                              D.DBNom->SetFocus();
                              D.DBNavigator1->Click(nbInsert);
                              D.DBNom->TypeText("C");
                              D.DBType->ChooseItem("BCD");
                              D.DBNavigator1->Click(nbPost);
                              EXPECT_EQ(Positions(D), (std::vector<double>{1, 2, 3}));
                              D.BtnNext->Click(); // C is the last line: nothing moves
                              D.DBNavigator1->Click(nbFirst);
                              D.BtnNext->Click();
                              D.Button1->Click();
                            }});
  EXPECT_EQ(Out.Memo, (Lines{"PARAM=B,CHAR", "PARAM=A,CHAR", "PARAM=C,BCD"}));
}

TEST(ParamsDialog, PostingWithoutTypeIsRefused) {
  ErrorReports Errors;
  Drive({}, {[](TfrmKlvParm& D) {
               D.DBNom->SetFocus();
               D.DBNavigator1->Click(nbInsert);
               D.DBNom->TypeText("P");
               D.DBNavigator1->Click(nbPost);
             },
             [](TfrmKlvParm& D) { D.Button2->Click(); }});
  EXPECT_EQ(Errors.Messages, (Lines{"Field Type is compulsory"}));
}

TEST(ParamsDialog, UnitRoutinesIgnoreTokensAfterTheType) {
  std::string Name, Type;
  EXPECT_TRUE(ParseParamDescription("ID,integer,5", Name, Type));
  EXPECT_EQ(Name, "ID");
  EXPECT_EQ(Type, "INTEGER");
  EXPECT_FALSE(ParseParamDescription("ID", Name, Type)); // the name is read as the type too
  EXPECT_EQ(Type, "ID");
  TStringList Text;
  Text.Add("PARAM=ID,INTEGER");
  EXPECT_THROW(ParamLinesToGrid(Text), EInvalidOperation); // no dialog open
}

} // namespace
} // namespace kelva
