// Replacing a file through a fresh, private temporary file and one rename.
#include "kelva/dataset/persistence/FileReplacement.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kelva {

namespace {

[[noreturn]] void CannotCreate(const std::string& FileName) {
  throw EFCreateError(Format(SFCreateError, {FileName}));
}

// Saving through a symbolic link replaces the file it points to, not the link.
std::string ResolvedTarget(const std::string& FileName) {
  std::filesystem::path Path = FileName;
  std::error_code Error;
  for (int Depth = 0; Depth < 40 && std::filesystem::is_symlink(Path, Error); ++Depth) {
    const std::filesystem::path Target = std::filesystem::read_symlink(Path, Error);
    if (Error) break;
    Path = Target.is_absolute() ? Target : Path.parent_path() / Target;
  }
  return Path.string();
}

// Sixteen random hex digits: nobody can guess the next name and plant something there first,
// and two processes, even with equal process ids in different namespaces, do not pick the
// same one (and CreateFreshFile makes sure that a name picked twice is never shared).
std::string RandomTemporaryName() {
  std::random_device Random;
  const std::uint64_t Bits = (std::uint64_t{Random()} << 32) | Random();
  char Digits[17];
  std::snprintf(Digits, sizeof Digits, "%016llx", static_cast<unsigned long long>(Bits));
  return ".kelva-" + std::string(Digits) + ".tmp";
}

// Whether a plain write to the existing regular file FileName would be refused. The system
// answers for the process's effective identity (owner, groups, access lists), which is what
// a plain write meets. A privileged process passes that check for any file, so a file that
// grants nobody write permission counts as read-only by intent, for everyone.
bool WriteRefused(const std::string& FileName, const struct stat& Info) {
  if ((Info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  if (::faccessat(AT_FDCWD, FileName.c_str(), W_OK, AT_EACCESS) == 0) return false;
  return errno == EACCES || errno == EPERM || errno == EROFS;
}

// Gives the fresh file the old one's owner, group and permissions; false when the
// permissions could not be set. Only a privileged process may give a file away, so for
// anyone else the owner stays theirs and only the group is tried. The permissions come
// last, since changing the owner clears set-id bits.
bool TakeOverIdentity(int Handle, const struct stat& Old) {
  if (::fchown(Handle, Old.st_uid, Old.st_gid) != 0 &&
      ::fchown(Handle, static_cast<uid_t>(-1), Old.st_gid) != 0) {
    // Not a member of the old group: the file keeps the group it was created with.
  }
  return ::fchmod(Handle, Old.st_mode & 07777) == 0;
}

// Makes the rename itself durable: the directory entry is on disk too.
void SyncDirectoryOf(const std::string& FileName) {
  std::filesystem::path Directory = std::filesystem::path(FileName).parent_path();
  if (Directory.empty()) Directory = ".";
  const int Descriptor = ::open(Directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Descriptor < 0) return;
  ::fsync(Descriptor);
  ::close(Descriptor);
}

} // namespace

int CreateFreshFile(const std::string& Directory, unsigned Mode,
                    const std::function<std::string()>& NextName, std::string& Created) {
  // Random names collide only with something put there on purpose; a few tries get past it.
  constexpr int MaxAttempts = 100;
  for (int Attempt = 0; Attempt < MaxAttempts; ++Attempt) {
    const std::string Path = (std::filesystem::path(Directory) / NextName()).string();
    int Handle = -1;
    do
      Handle = ::open(Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      static_cast<mode_t>(Mode));
    while (Handle < 0 && errno == EINTR);
    if (Handle >= 0) {
      Created = Path;
      return Handle;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

TKlvFileReplacement::TKlvFileReplacement(const std::string& FileName) : FRequestedName(FileName) {
  // The system follows the links itself here, the ones /proc makes for pipes included.
  struct stat Info {};
  const bool Exists = ::stat(FileName.c_str(), &Info) == 0;
  if (Exists && S_ISDIR(Info.st_mode)) CannotCreate(FileName);
  if (Exists && !S_ISREG(Info.st_mode)) {
    // A pipe or a device holds no content to keep, and renaming a file over it would put an
    // ordinary file in its place: it is written directly, as a plain write would. Opening
    // never waits, so a FIFO nobody reads is refused.
    try {
      FFile = std::make_unique<TFileStream>(FileName, fmOpenWrite);
    } catch (const EFOpenError&) {
      CannotCreate(FileName);
    }
    return;
  }
  if (Exists && WriteRefused(FileName, Info)) CannotCreate(FileName);

  FTarget = ResolvedTarget(FileName);
  // A new file is created as a plain create would make it; a replacement starts private and
  // gets the old file's identity before anything is written to it.
  const std::string Directory = std::filesystem::path(FTarget).parent_path().string();
  const int Handle = CreateFreshFile(Directory.empty() ? "." : Directory, Exists ? 0600 : 0666,
                                     RandomTemporaryName, FTemporary);
  if (Handle < 0) CannotCreate(FileName);
  if (Exists && !TakeOverIdentity(Handle, Info)) {
    ::close(Handle);
    ::unlink(FTemporary.c_str());
    CannotCreate(FileName);
  }
  try {
    FFile = TFileStream::FromHandle(Handle, FTemporary); // closes Handle if it fails
  } catch (...) {
    ::unlink(FTemporary.c_str());
    CannotCreate(FileName);
  }
  FFile->SetWriteBehind(true);
}

TKlvFileReplacement::~TKlvFileReplacement() {
  FFile.reset();
  if (!FCommitted && !FTemporary.empty()) ::unlink(FTemporary.c_str());
}

TStream& TKlvFileReplacement::Stream() {
  return *FFile;
}

void TKlvFileReplacement::Commit() {
  FFile->Flush();
  if (FTemporary.empty()) {
    FCommitted = true;
    return;
  }
  FFile.reset();
  if (::rename(FTemporary.c_str(), FTarget.c_str()) != 0) CannotCreate(FRequestedName);
  FCommitted = true;
  SyncDirectoryOf(FTarget);
}

} // namespace kelva
