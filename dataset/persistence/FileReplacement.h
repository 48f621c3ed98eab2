// Replacing a file so that nobody ever sees a half-written or over-exposed one: the new
// content goes to a fresh temporary file beside the target, which has the target's owner and
// permissions before its first byte and takes the target's place in one rename.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kelva {

class TFileStream;
class TStream;

class TKlvFileReplacement {
public:
  // Prepares to replace FileName; through symbolic links, the file they lead to is replaced
  // and the links stay. Raises EFCreateError naming FileName when a plain write would be
  // refused (see the .cpp for what counts), when it is a directory, or when no temporary
  // file can be made beside it. A pipe or a device is no file to replace: it is written
  // directly, and a FIFO nobody reads is refused instead of waited for.
  explicit TKlvFileReplacement(const std::string& FileName);
  TKlvFileReplacement(const TKlvFileReplacement&) = delete;
  TKlvFileReplacement& operator=(const TKlvFileReplacement&) = delete;
  // Removes the temporary file unless Commit succeeded: a failed save leaves no trace.
  ~TKlvFileReplacement();

  // Where the new content goes.
  TStream& Stream();
  // Puts what was written on the storage device, then lets it take the target's place.
  void Commit();

private:
  std::string FRequestedName; // what errors name
  std::string FTarget;        // the requested name with its links followed
  std::string FTemporary;     // empty when the target is written directly
  std::unique_ptr<TFileStream> FFile;
  bool FCommitted = false;
};

// Creates a file in Directory under the first name from NextName that nothing holds yet,
// with the permissions Mode (less the process's umask). A name taken by anything, a
// symbolic link included, is passed over and never opened, so no planted link can redirect
// the file. Returns the descriptor (read-write, close-on-exec) and sets Created to the
// path, or returns -1 when creation fails otherwise or every name tried was taken.
int CreateFreshFile(const std::string& Directory, unsigned Mode,
                    const std::function<std::string()>& NextName, std::string& Created);

} // namespace kelva
