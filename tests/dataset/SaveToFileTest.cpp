// Saving to and loading from a file: the new file replaces the old one only once it is
// complete, a failed save leaves the old file and no stray temporary file behind.
#include "OrderingSupport.h"
#include "TempDirectory.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace kelva {
namespace {

using namespace ordering_test;
namespace fs = std::filesystem;

using file_test::ReadAll;
using file_test::TTempDir;
using file_test::WriteAll;

TEST(SaveToFile, ReplacesTheFileAndLoadsBack) {
  TTempDir Dir;
  const fs::path Target = Dir / "people.kds";
  WriteAll(Target, "an older and much longer content that must not survive at the end");
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,5", "FIELD=AGE,INTEGER,0"}, {{"ANN", 1}, {"BOB", 2}});
  D.SaveTofile(Target.string());
  TStringStream Expected;
  D.SaveToStream(Expected);
  EXPECT_EQ(ReadAll(Target), Expected.DataString());
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"people.kds"});

  TEventDataset Copy(nullptr);
  EXPECT_THROW(Copy.LoadFromFile((Dir / "absent.kds").string()), EFOpenError);
  EXPECT_FALSE(Copy.Active());
  Copy.LoadFromFile(Target.string());
  EXPECT_EQ(Column(Copy, "NAME"), (std::vector<std::string>{"ANN", "BOB"}));
}

TEST(SaveToFile, FailedSaveLeavesTheOldFileAlone) {
  TTempDir Dir;
  const fs::path Target = Dir / "keep.kds";
  WriteAll(Target, "old content\r\n");

  TEventDataset Closed(nullptr);
  Closed.SetKLVFields(Lines({"FIELD=NAME,CHAR,5"}));
  EXPECT_EQ(ErrorOf([&] { Closed.SaveTofile(Target.string()); }), SDataSetClosed);
  EXPECT_EQ(ReadAll(Target), "old content\r\n");
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"keep.kds"});

  TEventDataset Broken(nullptr);
  Broken.ParamsDesc().Add("REMARK=one\ntwo");
  OpenWith(Broken, {"FIELD=NAME,CHAR,5"}, {{"ANN"}});
  EXPECT_THROW(Broken.SaveTofile(Target.string()), EDatabaseError);
  EXPECT_EQ(ReadAll(Target), "old content\r\n");
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"keep.kds"});
}

TEST(SaveToFile, UncreatableFileNamesTheTarget) {
  TTempDir Dir;
  WriteAll(Dir / "plain", "a file, not a directory");
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,5"}, {{"ANN"}});
  for (const fs::path& Target : {Dir / "missing" / "out.kds", Dir / "plain" / "out.kds"}) {
    SCOPED_TRACE(Target.string());
    const std::string Message = ErrorOf<EFCreateError>([&] { D.SaveTofile(Target.string()); });
    EXPECT_NE(Message.find(Target.string()), std::string::npos) << Message;
    EXPECT_EQ(Message.find(".tmp"), std::string::npos) << Message;
  }
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"plain"});
}

TEST(SaveToFile, AnyNameTheDirectoryAcceptsWillDo) {
  TTempDir Dir;
  const fs::path Target = Dir / (std::string(246, 'n') + ".kds"); // 250 bytes: allowed
  WriteAll(Target, "old");
  ASSERT_EQ(ReadAll(Target), "old");
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,5"}, {{"ANN"}});
  EXPECT_NO_THROW(D.SaveTofile(Target.string()));
  EXPECT_NE(ReadAll(Target).find("BOOK1=ANN"), std::string::npos);
}

} // namespace
} // namespace kelva

namespace kelva {
namespace {

// Saving through a symbolic link writes the file it points to and leaves the link a link.
TEST(SaveToFileLink, SavingThroughALinkReplacesItsTarget) {
  const std::filesystem::path Directory =
      std::filesystem::temp_directory_path() / ("kelva-link-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Directory);
  const std::filesystem::path Target = Directory / "data.txt", Link = Directory / "link.txt";
  std::filesystem::create_symlink(Target, Link);
  TEventDataset Data(nullptr);
  TStringList Fields;
  Fields.Add("FIELD=NAME,CHAR,10");
  Data.SetKLVFields(Fields);
  Data.Open();
  Data.AppendRawRecord({"ANN"});
  Data.SaveTofile(Link.string());
  EXPECT_TRUE(std::filesystem::is_symlink(Link));
  TEventDataset Loaded(nullptr);
  Loaded.LoadFromFile(Target.string());
  EXPECT_EQ(Loaded.FieldByName("NAME")->AsString(), "ANN");
  std::filesystem::remove_all(Directory);
}

} // namespace
} // namespace kelva
