#include "app/core/edition.h"

#include <cstdio>

#include "media/property_block.h"

namespace kv {

namespace {

// A fixed-width block field as text, never reading past its width.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') {
    ++length;
  }
  return std::string(field, length);
}

}  // namespace

std::string EditionTitle() {
  const PropertyBlock& block = Block();
  return FieldText(block.Name) + " v" + FieldText(block.Major) + "." + FieldText(block.Minor) +
         "." + FieldText(block.Rev);
}

std::string VersionText() {
  std::string text = EditionTitle();
  if (IsBuildMode()) {
    text += " (builder edition)";
  }
  text += "\nkrellvane " KV_VERSION;
  return text;
}

}  // namespace kv
