// Labels, buttons, memos, group boxes, panels and speed buttons on Qt widgets.
#include "kelva/framework/forms/StdCtrls.h"
#include "kelva/framework/widgets/ControlBinding.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/Glyphs.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace kelva {

namespace {

class TLabelBinding : public TControlBinding {
public:
  TLabelBinding(TLabel& Label, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Label, new QLabel(Parent), View), FLabel(Label) {}
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QLabel*>(this->Widget());
    const QString Text = QtText(FLabel.Caption());
    if (Widget->text() != Text) Widget->setText(Text);
    // The accelerator focuses the label's control through Qt's buddy, and the focus watch of
    // that control's widget tells the model.
    Widget->setBuddy(View().WidgetOf(FLabel.FocusControl()));
  }

private:
  TLabel& FLabel;
};

class TButtonBinding : public TControlBinding {
public:
  TButtonBinding(TButton& Button, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Button, new QPushButton(Parent), View), FButton(Button) {
    auto* Widget = static_cast<QPushButton*>(this->Widget());
    // Enter and Escape reach the form, which presses the default or the cancel button.
    Widget->setAutoDefault(false);
    QObject::connect(Widget, &QPushButton::clicked, Widget, [this] {
      if (!Syncing()) Perform([this] { FButton.Click(); });
    });
  }
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QPushButton*>(this->Widget());
    const QString Text = QtText(FButton.Caption());
    if (Widget->text() != Text) Widget->setText(Text);
    Widget->setDefault(FButton.Default());
  }

private:
  TButton& FButton;
};

class TMemoBinding : public TControlBinding {
public:
  TMemoBinding(TMemo& Memo, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Memo, new QPlainTextEdit(Parent), View), FMemo(Memo) {
    auto* Widget = static_cast<QPlainTextEdit*>(this->Widget());
    Widget->setLineWrapMode(QPlainTextEdit::NoWrap);
    QObject::connect(Widget, &QPlainTextEdit::textChanged, Widget, [this, Widget] {
      if (Syncing()) return;
      const std::string Text = ModelText(Widget->toPlainText());
      Perform([this, Text] {
        FMemo.TypeText(Text);
        // The lines now hold what the widget shows ("A\n" is the one line "A"): rewriting
        // the widget would move the cursor away from where the person types.
        FShownLines = FMemo.Lines().Text();
      });
    });
  }
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QPlainTextEdit*>(this->Widget());
    Widget->setReadOnly(FMemo.ReadOnly());
    const std::string Lines = FMemo.Lines().Text();
    if (Lines == FShownLines) return;
    FShownLines = Lines;
    Widget->setPlainText(QtText(MemoText()));
  }

private:
  std::string MemoText() const {
    std::string Text;
    const TStringList& Lines = FMemo.Lines();
    for (std::int32_t I = 0; I < Lines.Count(); ++I) {
      if (I > 0) Text += '\n';
      Text += Lines[I];
    }
    return Text;
  }
  TMemo& FMemo;
  std::string FShownLines{"\x01"}; // the lines last shown or taken; nothing matches at first
};

class TGroupBoxBinding : public TControlBinding {
public:
  TGroupBoxBinding(TGroupBox& Box, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Box, new QGroupBox(Parent), View), FBox(Box) {
    Widget()->setFocusPolicy(Qt::NoFocus);
  }
  QRect ClientRect() const override {
    // Aligned children keep clear of the frame and the title.
    const int Title = Widget()->fontMetrics().height();
    return QRect(0, 0, FBox.Width(), FBox.Height()).adjusted(2, Title, -2, -2);
  }
  void Sync() override {
    TControlBinding::Sync();
    static_cast<QGroupBox*>(Widget())->setTitle(QtText(FBox.Caption()));
  }

private:
  TGroupBox& FBox;
};

class TPanelBinding : public TControlBinding {
public:
  TPanelBinding(TPanel& Panel, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Panel, new QFrame(Parent), View), FPanel(Panel) {
    auto* Frame = static_cast<QFrame*>(Widget());
    Frame->setFrameShape(QFrame::StyledPanel);
    Frame->setFocusPolicy(Qt::NoFocus);
    FCaption = new QLabel(Frame);
    FCaption->setAlignment(Qt::AlignCenter);
    FCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    FCaption->lower();
  }
  void Sync() override {
    TControlBinding::Sync();
    FCaption->setText(QtText(FPanel.Caption()));
    FCaption->setGeometry(Widget()->rect());
  }

private:
  TPanel& FPanel;
  QLabel* FCaption;
};

class TSpeedButtonBinding : public TControlBinding {
public:
  TSpeedButtonBinding(TSpeedButton& Button, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Button, new QToolButton(Parent), View), FButton(Button) {
    auto* Widget = static_cast<QToolButton*>(this->Widget());
    Widget->setFocusPolicy(Qt::NoFocus); // the focus stays where it is
    QObject::connect(Widget, &QToolButton::clicked, Widget, [this] {
      if (!Syncing()) Perform([this] { FButton.Click(); });
    });
  }
  void Sync() override {
    TControlBinding::Sync();
    auto* Widget = static_cast<QToolButton*>(this->Widget());
    Widget->setAutoRaise(FButton.Flat());
    const std::string Glyph = FButton.Glyph().Text();
    if (Glyph != FShownGlyph || FButton.NumGlyphs() != FShownNumGlyphs) {
      FShownGlyph = Glyph;
      FShownNumGlyphs = FButton.NumGlyphs();
      const QIcon Icon = GlyphIcon(FButton.Glyph(), FButton.NumGlyphs());
      Widget->setIcon(Icon);
      if (!Icon.isNull()) Widget->setIconSize(Icon.availableSizes().value(0));
    }
  }

private:
  TSpeedButton& FButton;
  std::string FShownGlyph;
  std::int32_t FShownNumGlyphs = 0;
};

} // namespace

std::unique_ptr<TControlBinding> MakeStdControlBinding(TControl& Control, QWidget* Parent,
                                                       TQtFormView& View) {
  for (auto* Make : {&BindAs<TLabelBinding, TLabel>, &BindAs<TButtonBinding, TButton>,
                     &BindAs<TMemoBinding, TMemo>, &BindAs<TGroupBoxBinding, TGroupBox>,
                     &BindAs<TPanelBinding, TPanel>, &BindAs<TSpeedButtonBinding, TSpeedButton>})
    if (auto Binding = Make(Control, Parent, View)) return Binding;
  return nullptr;
}

} // namespace kelva
