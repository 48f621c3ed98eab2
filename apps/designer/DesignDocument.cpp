// A designed form and its form file: reading into a fresh form, writing through a temporary
// file that takes the old file's place only once complete, and the saved state.
#include "kelva/apps/designer/DesignDocument.h"

#include "kelva/dataset/persistence/FileReplacement.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/FormReader.h"
#include "kelva/framework/rtl/FormWriter.h"
#include "kelva/framework/rtl/Streams.h"

#include <array>

namespace kelva {

namespace {

std::unique_ptr<TForm> NewForm() {
  auto Form = std::make_unique<TForm>(nullptr);
  Form->SetName("Form1");
  Form->SetCaption("Form1");
  Form->SetClientWidth(400);
  Form->SetClientHeight(300);
  return Form;
}

// The whole file as text. Pipes have no size to ask for, so the file is read to its end.
std::string ReadFormFile(const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead);
  std::string Text;
  std::array<char, 64 * 1024> Chunk{};
  for (;;) {
    const std::int64_t Got = File.Read(Chunk.data(), static_cast<std::int64_t>(Chunk.size()));
    if (Got <= 0) break;
    if (static_cast<std::int64_t>(Text.size()) + Got > MaxFormFileBytes)
      throw EReadError("\"" + FileName + "\" is too large to be a form file");
    Text.append(Chunk.data(), static_cast<std::size_t>(Got));
  }
  return Text;
}

} // namespace

TDesignDocument::TDesignDocument() : TDesignDocument(NewForm()) {}

TDesignDocument::TDesignDocument(std::unique_ptr<TForm> Root)
    : FRoot(std::move(Root)), FDesigner(std::make_unique<TDesignerHost>(FRoot.get())),
      FInspector(std::make_unique<TObjectInspector>(*FDesigner)) {
  FDesigner->Select(FRoot.get());
  FSavedModifiedCount = FDesigner->ModifiedCount();
}

TDesignDocument::~TDesignDocument() = default;

std::unique_ptr<TDesignDocument> TDesignDocument::Load(const std::string& FileName) {
  const std::string Text = ReadFormFile(FileName);
  auto Root = std::make_unique<TForm>(nullptr);
  // Read in design mode, as the designer shows it: the components learn it as they are made,
  // before their Loaded runs.
  Root->SetDesigning(true);
  try {
    ReadComponentRes(Text, *Root);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& E) {
    // The reader names the line; the person needs to know which file too.
    throw EReadError("\"" + FileName + "\": " + E.Message());
  }
  std::unique_ptr<TDesignDocument> Document(new TDesignDocument(std::move(Root)));
  Document->FFileName = FileName;
  return Document;
}

void TDesignDocument::SaveAs(const std::string& FileName) {
  // The text is made first: a tree that cannot be written does not even touch the file.
  const std::string Text = WriteComponentToText(*FRoot);
  TKlvFileReplacement Replacement(FileName);
  Replacement.Stream().WriteBuffer(Text);
  Replacement.Commit();
  FFileName = FileName;
  FSavedModifiedCount = FDesigner->ModifiedCount();
}

bool TDesignDocument::Modified() const {
  return FDesigner->ModifiedCount() != FSavedModifiedCount;
}

std::optional<std::string> TDesignDocument::CurrentText() const {
  try {
    return WriteComponentToText(*FRoot);
  } catch (const Exception&) {
    return std::nullopt;
  }
}

void TDesignDocument::EditWithDialog(const std::string& Path) {
  const std::optional<std::string> Before = CurrentText();
  auto NoteChange = [&] {
    // A form that cannot be written either way may still have changed: it counts as changed.
    const std::optional<std::string> After = CurrentText();
    if (!Before || !After || *Before != *After) FDesigner->Modified();
  };
  try {
    FInspector->Edit(Path);
  } catch (...) {
    // An editor may fail after it wrote the property (a dataset refusing its new fields).
    NoteChange();
    throw;
  }
  NoteChange();
}

} // namespace kelva
