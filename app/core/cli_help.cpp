#include "app/core/cli_help.h"

#include "media/property_block.h"

namespace kv {

namespace {

constexpr const char* kNormalProgram = "krellvane";
constexpr const char* kBuilderProgram = "krellvane-builder";

struct OptionHelp {
  const char* names;
  const char* sentence;
  bool builderOnly;
};

constexpr OptionHelp kOptions[] = {
    {"--list", "List the CD/DVD drives found, one numbered line each, and exit.", false},
    {"--check [LINE|NODE]",
     "Check the disc in writer LINE (counted from 1 as --list numbers the writers, default 1), "
     "or in the drive on device node NODE such as /dev/sr0, and print the report.",
     false},
    {"--any-drive", "With --check, count LINE over every drive of --list, readers included.",
     false},
    {"--speeds [LINE]",
     "List every write speed the drive of --list line LINE (default 1) offers for its disc.",
     false},
    {"--drive-info [LINE]",
     "Show the features of the drive of --list line LINE (default 1) and its disc's status.",
     false},
    {"--json", "With --list, --check, --speeds or --drive-info, print one JSON object.", false},
    {"--trace FILE",
     "Record every command and answer as a drive profile that --emulate FILE replays.", false},
    {"--emulate [PROFILE...]",
     "Run on emulated drives: the given JSON profiles, or the built-in sample drives.", false},
    {"--build PARAMFILE",
     "Write Krellvane.Exe in the current folder from the parameter file, without a window.", true},
    {"-h, --help", "Print this help and exit.", false},
    {"-V, --version", "Print the edition's name and version and exit.", false},
};

constexpr std::size_t kNameColumn = 26;
constexpr std::size_t kLineWidth = 79;

// Appends words to text, breaking lines before kLineWidth; continuation lines start with indent.
void AppendWrapped(std::string& text, std::string line, const std::string& words,
                   std::size_t indent) {
  std::size_t begin = 0;
  while (begin < words.size()) {
    std::size_t end = words.find(' ', begin);
    if (end == std::string::npos) {
      end = words.size();
    }
    const std::string word = words.substr(begin, end - begin);
    const bool lineHasWords = line.size() > indent;
    if (lineHasWords && line.size() + 1 + word.size() > kLineWidth) {
      text += line + "\n";
      line = std::string(indent, ' ');
    } else if (lineHasWords) {
      line += ' ';
    }
    line += word;
    begin = end + 1;
  }
  text += line + "\n";
}

}  // namespace

std::string ProgramName() {
  return IsBuildMode() ? kBuilderProgram : kNormalProgram;
}

std::string HelpText(bool builderEdition) {
  const std::string program = builderEdition ? kBuilderProgram : kNormalProgram;
  std::string text = "Usage: " + program + " [OPTION]...\n";
  AppendWrapped(text, "",
                builderEdition ? "Writes a rebranded edition of Krellvane from a parameter file. "
                                 "Without options it opens the builder window."
                               : "Tells which recordable disc sits in a CD/DVD writer and how "
                                 "fast the writer will burn it. Without options it opens its "
                                 "window.",
                0);
  text += "\n";
  for (const OptionHelp& option : kOptions) {
    if (option.builderOnly && !builderEdition) {
      continue;
    }
    std::string line = std::string("  ") + option.names;
    line += line.size() < kNameColumn ? std::string(kNameColumn - line.size(), ' ') : "  ";
    AppendWrapped(text, line, option.sentence, kNameColumn);
  }
  text += "\nExit status:\n";
  text += "  0  done\n";
  text += builderEdition ? "  1  the check or the build failed, or the window could not open\n"
                         : "  1  the check failed, or the window could not open\n";
  text += "  2  bad options, or no display for the window\n";
  text += "  3  no drive, or no drive with that line number\n";
  text += "  4  no disc in the drive\n";
  text += "  5  the drive never became ready or stopped answering\n";
  return text;
}

std::string ErrorLine(const std::string& text) {
  return ProgramName() + ": " + text + "\n";
}

}  // namespace kv
