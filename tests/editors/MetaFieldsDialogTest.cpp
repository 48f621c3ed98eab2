// The field-description dialog driven through its controls.
#include "editors/DialogDriving.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using namespace editors_test;
using Steps = std::vector<DialogStep<TFrmMetaFields>>;
using Lines = std::vector<std::string>;

DialogOutcome Drive(const Lines& Initial, Steps Script) {
  return RunDialog<TFrmMetaFields>(FrmMetaFields, Initial, std::move(Script));
}

TEST(MetaFieldsDialog, OpensOnExistingLinesWithoutApplyingTheRules) {
  MessageBoxes Boxes;
  Lines Seen;
  std::vector<double> Pos;
  bool LengthReadOnlyOnFloat = false, LengthReadOnlyOnChar = true;
  Drive({"FIELD=NAME,CHAR,25", "; a comment", "FIELD=AMOUNT,FLOAT,8", "FIELD=CODE,CHAR,0"},
        {[&](TFrmMetaFields& D) {
           EXPECT_EQ(D.PageControl1->ActivePage(), D.FieldsPage);
           EXPECT_TRUE(D.DBGrid1->Focused());
           Seen = GridRows(*D.DBGrid1);
           Pos = Positions(D);
           LengthReadOnlyOnChar = D.DBLength->ReadOnly();
           D.DBGrid1->ClickRow(1);
           LengthReadOnlyOnFloat = D.DBLength->ReadOnly();
           EXPECT_EQ(D.DBType->Text(), "FLOAT");
           EXPECT_EQ(D.DBNom->Text(), "AMOUNT");
         },
         [](TFrmMetaFields& D) { D.Button2->Click(); }});
  EXPECT_TRUE(Boxes.Shown.empty());
  EXPECT_EQ(Seen, (Lines{"NAME,CHAR,25", "AMOUNT,FLOAT,0", "CODE,CHAR,0"}));
  EXPECT_EQ(Pos, (std::vector<double>{1, 2, 3}));
  EXPECT_FALSE(LengthReadOnlyOnChar);
  EXPECT_TRUE(LengthReadOnlyOnFloat);
}

TEST(MetaFieldsDialog, EditsThroughTheEditPanelReachTheTextOnOk) {
  bool TypedIntoReadOnlyLength = true;
  DialogOutcome Out = Drive({"FIELD=NAME,CHAR,25", "FIELD=AGE,INTEGER,0"},
                            {[&](TFrmMetaFields& D) {
                               D.DBGrid1->ClickRow(1);
                               TypedIntoReadOnlyLength = D.DBLength->TypeText("5");
                               D.DBType->ChooseItem("CHAR");
                               EXPECT_FALSE(D.DBLength->ReadOnly());
                               D.DBLength->TypeText("3");
                               D.DBNom->TypeText("AGE_TEXT");
                               EXPECT_TRUE(D.DBNavigator1->Click(nbPost));
                             },
                             [](TFrmMetaFields& D) { D.Button1->Click(); }});
  EXPECT_FALSE(TypedIntoReadOnlyLength);
  EXPECT_EQ(Out.Result, mrOk);
  EXPECT_EQ(Out.Memo, (Lines{"FIELD=NAME,CHAR,25", "FIELD=AGE_TEXT,CHAR,3"}));
}

TEST(MetaFieldsDialog, ChoosingAnotherTypeThanCharForcesTheLengthToZero) {
  DialogOutcome Out = Drive({"FIELD=NAME,CHAR,25"}, {[](TFrmMetaFields& D) {
                              D.DBType->ChooseItem("DATE");
                              EXPECT_TRUE(D.DBLength->ReadOnly());
                              D.DBNavigator1->Click(nbPost);
                              D.Button1->Click();
                            }});
  EXPECT_EQ(Out.Memo, (Lines{"FIELD=NAME,DATE,0"}));
}

TEST(MetaFieldsDialog, LineInsertedThroughTheNavigatorGoesLast) {
  std::vector<double> Pos;
  DialogOutcome Out =
      Drive({"FIELD=A,CHAR,1", "FIELD=B,CHAR,2", "FIELD=C,CHAR,3"},
            {[&](TFrmMetaFields& D) {
               D.DBNom->SetFocus(); // leaving the grid first: it cancels an untouched insert
               EXPECT_TRUE(D.DBNavigator1->Click(nbInsert));
               D.DBNom->TypeText("NEW");
               D.DBType->ChooseItem("DATE");
               D.DBNavigator1->Click(nbPost);
               Pos = Positions(D);
               EXPECT_EQ(D.KelvaDS1NAME->AsString(), "NEW"); // the new line stays current
             },
             [](TFrmMetaFields& D) { D.Button1->Click(); }});
  EXPECT_EQ(Pos, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(Out.Memo,
            (Lines{"FIELD=A,CHAR,1", "FIELD=B,CHAR,2", "FIELD=C,CHAR,3", "FIELD=NEW,DATE,0"}));
}

TEST(MetaFieldsDialog, PostingACharLineWithoutLengthIsRefusedAndStaysInEdit) {
  ErrorReports Errors;
  DialogOutcome Out =
      Drive({"FIELD=A,CHAR,1"}, {[](TFrmMetaFields& D) {
                                   D.DBNom->SetFocus();
                                   D.DBNavigator1->Click(nbInsert);
                                   D.DBNom->TypeText("X");
                                   D.DBType->ChooseItem("CHAR");
                                   D.DBNavigator1->Click(nbPost);
                                 },
                                 [](TFrmMetaFields& D) {
                                   EXPECT_EQ(D.KelvaDS1->State(), dsInsert);
                                   EXPECT_EQ(D.DBNom->Text(), "X"); // nothing typed was lost
                                   D.DBNavigator1->Click(nbCancel);
                                   D.Button1->Click();
                                 }});
  EXPECT_EQ(Errors.Messages, (Lines{"length can not be zero"}));
  EXPECT_EQ(Out.Memo, (Lines{"FIELD=A,CHAR,1"}));
}

TEST(MetaFieldsDialog, MovingLinesGivesThemPositionsBetweenTheirNeighbours) {
  std::vector<double> AfterDown, AfterUp;
  Lines OrderDown, OrderUp, AtEnds;
  Drive({"FIELD=A,DATE,0", "FIELD=B,DATE,0", "FIELD=C,DATE,0"}, {[&](TFrmMetaFields& D) {
          D.BtnNext->Click(); // A goes below B
          AfterDown = Positions(D);
          OrderDown = GridRows(*D.DBGrid1);
          EXPECT_EQ(D.KelvaDS1NAME->AsString(), "A");
          D.DBGrid1->ClickRow(2); // C
          D.btnPrev->Click();     // C goes above A
          AfterUp = Positions(D);
          OrderUp = GridRows(*D.DBGrid1);
          D.DBNavigator1->Click(nbLast);
          D.BtnNext->Click(); // nothing below the last line
          D.DBNavigator1->Click(nbFirst);
          D.btnPrev->Click(); // nothing above the first line
          AtEnds = GridRows(*D.DBGrid1);
        }});
  EXPECT_EQ(AfterDown, (std::vector<double>{2, 2.5, 3}));
  EXPECT_EQ(OrderDown, (Lines{"B,DATE,0", "A,DATE,0", "C,DATE,0"}));
  EXPECT_EQ(AfterUp, (std::vector<double>{2, 2.25, 2.5}));
  EXPECT_EQ(OrderUp, (Lines{"B,DATE,0", "C,DATE,0", "A,DATE,0"}));
  EXPECT_EQ(AtEnds, OrderUp);
}

TEST(MetaFieldsDialog, TextPageRefusesBadLinesAndKeepsWhatWasTyped) {
  MessageBoxes Boxes;
  Lines AfterGridToText;
  DialogOutcome Out =
      Drive({"FIELD=NAME,CHAR,25", "  field = name , char , 25 "},
            {[&](TFrmMetaFields& D) {
               EXPECT_TRUE(D.PageControl1->SelectPage(D.TextPage));
               for (std::int32_t I = 0; I < D.mmoFields->Lines().Count(); ++I)
                 AfterGridToText.push_back(D.mmoFields->Lines()[I]);
             },
             [](TFrmMetaFields& D) {
               for (const char* Bad : {"FIELD=AMOUNT,FLOAT,8", "FIELD=CODE,CHAR,0",
                                       "FIELD=CODE,CHAR", "FIELD=PRICE,MONEY,0", "FIELD=,DATE,0"}) {
                 D.mmoFields->TypeText(std::string("FIELD=OK,DATE,0\n") + Bad);
                 EXPECT_FALSE(D.PageControl1->SelectPage(D.FieldsPage)) << Bad;
                 EXPECT_EQ(D.PageControl1->ActivePage(), D.TextPage);
                 EXPECT_EQ(D.mmoFields->Lines()[1], Bad);
               }
               D.Button2->Click();
             }});
  EXPECT_EQ(AfterGridToText, (Lines{"FIELD=NAME,CHAR,25", "FIELD=name,CHAR,25"}));
  EXPECT_EQ(
      Boxes.Shown,
      (Lines{"Length must be zero", "length can not be zero", "Error in field description 'CODE' ",
             "Error in field description 'PRICE' ", "Field name is compulsory"}));
  for (std::size_t I = 0; I < Boxes.Types.size(); ++I) {
    EXPECT_EQ(Boxes.Types[I], mtError);
    EXPECT_EQ(Boxes.ButtonSets[I], TMsgDlgButtons{mbOK});
  }
  EXPECT_EQ(Out.Result, mrCancel);
}

TEST(MetaFieldsDialog, LeavingTheTextPageRebuildsTheGridWithNewPositions) {
  std::vector<double> Before, After;
  Lines Rows;
  Drive({"FIELD=A,CHAR,1", "FIELD=B,CHAR,2", "FIELD=C,CHAR,3"}, {[&](TFrmMetaFields& D) {
          Before = Positions(D);
          D.PageControl1->SelectPage(D.TextPage);
          D.PageControl1->SelectPage(D.FieldsPage);
          After = Positions(D);
          Rows = GridRows(*D.DBGrid1);
        }});
  EXPECT_EQ(Before, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(After, (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(Rows, (Lines{"A,CHAR,1", "B,CHAR,2", "C,CHAR,3"}));
}

TEST(MetaFieldsDialog, LongNamesAreCutToTheGridsWidth) {
  Lines Memo;
  Drive({"FIELD=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123,CHAR,5"}, {[&](TFrmMetaFields& D) {
          D.PageControl1->SelectPage(D.TextPage);
          Memo.push_back(D.mmoFields->Lines()[0]);
        }});
  EXPECT_EQ(Memo, (Lines{"FIELD=ABCDEFGHIJKLMNOPQRSTUVWXY,CHAR,5"}));
}

TEST(MetaFieldsDialog, OkOnTheTextPageKeepsTheTypedTextAsIs) {
  const std::string Typed = "; header\nFIELD=ID,INTEGER,0\nOTHER=kept\nfield=name, char ,10";
  DialogOutcome Out = Drive({"FIELD=A,CHAR,1"}, {[&](TFrmMetaFields& D) {
                              D.PageControl1->SelectPage(D.TextPage);
                              D.mmoFields->TypeText(Typed);
                              D.Button1->Click();
                            }});
  EXPECT_EQ(Out.Result, mrOk);
  EXPECT_EQ(Out.Memo,
            (Lines{"; header", "FIELD=ID,INTEGER,0", "OTHER=kept", "field=name, char ,10"}));
}

TEST(MetaFieldsDialog, OkWithARefusedLineReportsItAndStaysOpen) {
  ErrorReports Errors;
  bool StillOpen = false;
  DialogOutcome Out = Drive({"FIELD=A,CHAR,0"}, {[](TFrmMetaFields& D) { D.Button1->Click(); },
                                                 [&](TFrmMetaFields& D) {
                                                   StillOpen = D.Visible();
                                                   D.PressEscape();
                                                 }});
  EXPECT_EQ(Errors.Messages, (Lines{"length can not be zero"}));
  EXPECT_TRUE(StillOpen);
  EXPECT_EQ(Out.Result, mrCancel);
}

TEST(MetaFieldsDialog, UnreadableLineOnShowOpensTheTextPage) {
  MessageBoxes Boxes;
  Lines Rows;
  TTabSheet* Active = nullptr;
  TTabSheet* TextPage = nullptr;
  Drive({"FIELD=A,CHAR,1", "FIELD=PRICE,MONEY,0", "FIELD=C,CHAR,3"}, {[&](TFrmMetaFields& D) {
          Active = D.PageControl1->ActivePage();
          TextPage = D.TextPage;
          Rows = GridRows(*D.DBGrid1);
        }});
  EXPECT_EQ(Boxes.Shown, (Lines{"Error in field description 'PRICE' "}));
  EXPECT_EQ(Active, TextPage);
  EXPECT_EQ(Rows, (Lines{"A,CHAR,1"})); // the lines before the unreadable one stay
}

TEST(MetaFieldsDialog, DeletingALineAsksFirst) {
  MessageBoxes Refuse(mrCancel);
  DialogOutcome Kept = Drive({"FIELD=A,CHAR,1", "FIELD=B,CHAR,2"}, {[](TFrmMetaFields& D) {
                               D.DBNavigator1->Click(nbDelete);
                               D.Button1->Click();
                             }});
  EXPECT_EQ(Kept.Memo, (Lines{"FIELD=A,CHAR,1", "FIELD=B,CHAR,2"}));
  EXPECT_EQ(Refuse.Shown, (Lines{"Delete record?"}));

  MessageBoxes Confirm(mrOk);
  DialogOutcome Deleted = Drive({"FIELD=A,CHAR,1", "FIELD=B,CHAR,2"}, {[](TFrmMetaFields& D) {
                                  D.DBGrid1->KeyCtrlDelete();
                                  D.Button1->Click();
                                }});
  EXPECT_EQ(Deleted.Memo, (Lines{"FIELD=B,CHAR,2"}));
}

TEST(MetaFieldsDialog, UnitRoutinesReadLinesStrictly) {
  std::string Name, Type;
  std::int32_t Length = -1;
  EXPECT_TRUE(ParseFieldDescription(" name , char , 25 ", Name, Type, Length));
  EXPECT_EQ(Name, "name");
  EXPECT_EQ(Type, "CHAR");
  EXPECT_EQ(Length, 25);
  // With one token left, the token is read again: NAME,CHAR takes CHAR as its length text.
  EXPECT_THROW(ParseFieldDescription("CODE,CHAR", Name, Type, Length), EConvertError);
  EXPECT_FALSE(ParseFieldDescription("PRICE,MONEY,0", Name, Type, Length));
  EXPECT_THROW(CheckFieldDescription("", "CHAR", 4), EDatabaseError);
  EXPECT_THROW(CheckFieldDescription("A", "", 0), EDatabaseError);
  EXPECT_NO_THROW(CheckFieldDescription("A", "FLOAT", 0));
  TStringList Text;
  Text.Add("FIELD=A,CHAR,1");
  EXPECT_THROW(LinesToGrid(Text), EInvalidOperation); // no dialog open
}

} // namespace
} // namespace kelva
