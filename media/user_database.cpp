#include "media/user_database.h"

#include <fstream>

#include "media/record_lines.h"
#include "media/settings.h"
#include "media/text_lines.h"

namespace kv {

namespace {

constexpr const char* kUserFileValue = "UserDefinedFule";

enum class Section { None, Cd, Dvd };

}  // namespace

UserDatabaseLoad LoadUserDatabase(std::istream& in, UserCdList& cd, UserDvdList& dvd) {
  dvd.clear();
  cd.clear();
  UserDatabaseLoad result;
  Section section = Section::None;
  for (const std::string& piece : ReadLinePieces(in)) {
    const std::string line = TrimControl(piece);
    if (line.empty()) {
      continue;
    }
    if (EqualsNoCase(line, "[CD]")) {
      section = Section::Cd;
      continue;
    }
    if (EqualsNoCase(line, "[DVD]")) {
      section = Section::Dvd;
      continue;
    }
    if (section == Section::Cd) {
      auto record = std::make_unique<CdMediaRecord>();
      if (ParseCdRecordLine(line, *record)) {
        cd.push_back(std::move(record));
      }
    } else if (section == Section::Dvd) {
      auto record = std::make_unique<DvdMediaRecord>();
      const DvdLineResult parsed = ParseDvdRecordLine(line, *record, result.error);
      if (parsed == DvdLineResult::Record) {
        dvd.push_back(std::move(record));
      } else if (parsed == DvdLineResult::ConversionError) {
        // The rest of the file is not read; what came before stays.
        result.stoppedWithError = true;
        return result;
      }
    }
  }
  return result;
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
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  return LoadUserDatabase(in, cd, dvd);
}

}  // namespace kv
