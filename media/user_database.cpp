#include "media/user_database.h"

#include <functional>
#include <new>
#include <string_view>

#include "media/record_lines.h"
#include "media/settings.h"
#include "media/text_lines.h"
#include "os/input_file.h"

namespace kv {

namespace {

constexpr const char* kUserFileValue = "UserDefinedFule";

enum class Section { None, Cd, Dvd };

// Applies the grammar one line piece at a time, so that only records are kept, never lines.
class DatabaseLines {
 public:
  DatabaseLines(UserCdList& cd, UserDvdList& dvd) : cd_(cd), dvd_(dvd) {}

  // False when a conversion error stops loading.
  bool Piece(std::string_view piece) {
    const std::string line = TrimControl(piece);
    if (line.empty()) {
      return true;
    }
    if (EqualsNoCase(line, "[CD]")) {
      section_ = Section::Cd;
      return true;
    }
    if (EqualsNoCase(line, "[DVD]")) {
      section_ = Section::Dvd;
      return true;
    }
    if (section_ == Section::Cd) {
      CdMediaRecord record{};
      if (ParseCdRecordLine(line, record)) {
        cd_.push_back(std::make_unique<CdMediaRecord>(record));
      }
    } else if (section_ == Section::Dvd) {
      DvdMediaRecord record{};
      const DvdLineResult parsed = ParseDvdRecordLine(line, record, result_.error);
      if (parsed == DvdLineResult::Record) {
        dvd_.push_back(std::make_unique<DvdMediaRecord>(record));
      } else if (parsed == DvdLineResult::ConversionError) {
        // The rest of the file is not read; what came before stays.
        result_.stoppedWithError = true;
        return false;
      }
    }
    return true;
  }

  const UserDatabaseLoad& Result() const { return result_; }

 private:
  UserCdList& cd_;
  UserDvdList& dvd_;
  Section section_ = Section::None;
  UserDatabaseLoad result_;
};

UserDatabaseLoad LoadWithSplitter(UserCdList& cd, UserDvdList& dvd,
                                  const std::function<void(LinePieceSplitter&)>& feed) {
  dvd.clear();
  cd.clear();
  DatabaseLines lines(cd, dvd);
  try {
    LinePieceSplitter splitter([&lines](std::string_view piece) { return lines.Piece(piece); });
    feed(splitter);
    splitter.Finish();
  } catch (const std::bad_alloc&) {
    // Out of memory part way: the records so far stay, as after a conversion error.
  }
  return lines.Result();
}

}  // namespace

UserDatabaseLoad LoadUserDatabase(std::istream& in, UserCdList& cd, UserDvdList& dvd) {
  return LoadWithSplitter(cd, dvd, [&in](LinePieceSplitter& splitter) {
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
      if (!splitter.Feed(std::string_view(chunk, static_cast<std::size_t>(in.gcount())))) {
        return;
      }
    }
  });
}

UserDatabaseLoad LoadUserDatabaseFile(const std::filesystem::path& path, UserCdList& cd,
                                      UserDvdList& dvd) {
  return LoadWithSplitter(cd, dvd, [&path](LinePieceSplitter& splitter) {
    ReadInputFilePrefix(path, kUserDatabaseReadLimit,
                        [&splitter](std::string_view bytes) { return splitter.Feed(bytes); });
  });
}

UserDatabaseLoad LoadUserDefinedFile(UserCdList& cd, UserDvdList& dvd) {
  std::string path;
  if (!ReadRegString(kSettingsKey, kUserFileValue, path)) {
    path.clear();
  }
  dvd.clear();
  cd.clear();
  if (path.empty()) {
    return {};
  }
  return LoadUserDatabaseFile(path, cd, dvd);
}

}  // namespace kv
