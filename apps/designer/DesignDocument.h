// TDesignDocument: one form being designed: its root component, the designer host and object
// inspector over it, the form file it comes from, and whether it changed since it was saved.
// It knows nothing of windows, so that reading and writing form files can be tested alone.
#pragma once

#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/forms/Forms.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kelva {

// The largest file Open reads. A form file is the text of a component tree; anything larger
// is no form the designer made, and reading it whole would only exhaust memory.
inline constexpr std::int64_t MaxFormFileBytes = std::int64_t{64} << 20;

class TDesignDocument {
public:
  // A new, empty form named Form1 and not yet saved anywhere.
  TDesignDocument();
  ~TDesignDocument();
  TDesignDocument(const TDesignDocument&) = delete;
  TDesignDocument& operator=(const TDesignDocument&) = delete;

  // Reads the form file FileName into a fresh form (its top object must be a TForm). Raises
  // the reader's error, naming the line, or EFOpenError; nothing of the read remains then.
  static std::unique_ptr<TDesignDocument> Load(const std::string& FileName);

  // Writes the form to FileName. The file is replaced only once the whole text is on disk:
  // a failed save (EWriteError for a tree a form file cannot hold, EFCreateError for a file
  // or folder that cannot be written) leaves any old file as it was and this document
  // unsaved. On success the document takes FileName as its own.
  void SaveAs(const std::string& FileName);

  TForm& Root() const { return *FRoot; }
  TDesignerHost& Designer() const { return *FDesigner; }
  TObjectInspector& Inspector() const { return *FInspector; }

  // Empty until the document is read from or saved to a file.
  const std::string& FileName() const { return FFileName; }
  // A file name for a document that does not exist yet: the first save writes it.
  void SetFileName(const std::string& FileName) { FFileName = FileName; }
  // True when the form changed since it was read, saved or made.
  bool Modified() const;

  // The ellipsis button of the property Path: runs its dialog editor. Dialog editors write
  // through the property's setter and tell the designer nothing, so the form's text before
  // and after tells whether the form changed; the designer is told when it did.
  void EditWithDialog(const std::string& Path);

private:
  explicit TDesignDocument(std::unique_ptr<TForm> Root);
  // The form as a form file would hold it, or nothing when it cannot be written.
  std::optional<std::string> CurrentText() const;

  std::unique_ptr<TForm> FRoot; // declared first: the designer goes before its root
  std::unique_ptr<TDesignerHost> FDesigner;
  std::unique_ptr<TObjectInspector> FInspector;
  std::string FFileName;
  std::int32_t FSavedModifiedCount = 0;
};

} // namespace kelva
