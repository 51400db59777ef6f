// Our profile reader against the platform's own GetPrivateProfileStringA, on generated files:
// random sections and keys, blanks, quotes, comment lines, malformed headers, CR/LF mixes, long
// values and bytes above 0x7F, with a fixed seed (UHF_PROFILE_DIFF_SEED chooses another).
//
// Both readers get the same bytes; the platform's answer is bytes in the process's code page, so
// it is decoded the way our reader decoded the file before the two are compared. Where they
// differ, the case must be one of the known differences below, or the test fails with the file.
//
// Known differences of Wine, where real Windows (as the published profile tests run on it
// document) behaves like our reader:
//   - keys before the first section: Wine returns them for an empty section name; Windows does
//     not (it returns the keys of a "[]" section);
//   - a section header ends at its first ']': Wine takes the last one;
//   - a line starting with ';' is a comment: Wine returns it as a key when asked for its text.
// Deliberate choice of ours:
//   - a value cut to the buffer never ends in half a double-byte character; a single-byte code
//     page reader cuts bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"
#include "text/Profile.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;

constexpr int kCases = 5000;
constexpr DWORD kBufferSize = 200;

// GBK words (every byte above 0x80, so no letter case and no blanks inside).
const std::vector<std::string> kGbkWords = {"\xD6\xD0\xCE\xC4", "\xBC\xFC", "\xB9\xA6\xC2\xCA",
                                            "\xCA\xB1\xBC\xE4", "\xD6\xB8\xCA\xBE"};
const std::vector<std::string> kSections = {
    "Lan", "lan", "LAN", "Other", "a", "x y", "\xD6\xD0\xCE\xC4"};
const std::vector<std::string> kKeys = {"K",   "k",        "LENGTH", "Length", "RF_HZ",
                                        "a b", "\xBC\xFC", "MODE_S", ";K",     "x=y"};

// Concatenation by appending (GCC 12 warns falsely about chains of operator+ on strings).
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out.append(part);
  return out;
}

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Int(0, static_cast<int>(items.size()) - 1))];
  }

  std::string Blanks() {
    std::string out;
    for (int n = Int(0, 2); n > 0; --n) out += Chance(70) ? ' ' : '\t';
    return out;
  }

  std::string Word() {
    static const std::string letters = "abcXYZ019_-.";
    std::string out;
    for (int n = Int(1, 6); n > 0; --n) out += letters[static_cast<std::size_t>(Int(0, 11))];
    return out;
  }

  std::string Value() {
    std::string v;
    switch (Int(0, 7)) {
      case 0:
        v = "";
        break;
      case 1:
        v = Join({Word(), " ", Word()});
        break;
      case 2:
        v = Join({Pick(kGbkWords), Word()});
        break;
      case 3:
        v = Join({"\"", Word(), " \""});
        break;  // whole value quoted
      case 4:
        v = Join({"'", Word(), "'"});
        break;
      case 5:
        v = Join({"\"", Word(), "'"});
        break;   // quotes that do not pair
      case 6: {  // long, maybe across the cut
        for (int n = Int(30, 80); n > 0; --n) v += Chance(80) ? Word() : Pick(kGbkWords);
        break;
      }
      default: {  // single high bytes
        v = Word();
        for (int n = Int(1, 3); n > 0; --n) v += static_cast<char>(Int(0x80, 0xFF));
        break;
      }
    }
    if (Chance(10)) v += "\\r\\n";
    return v;
  }

  std::string Header() {
    const std::string name = Pick(kSections);
    switch (Int(0, 9)) {
      case 0:
        return Join({"[", name});  // no closing bracket
      case 1:
        return Join({"[", name, "]junk"});
      case 2:
        return Join({"[", name, "]", Word(), "]"});  // two closing brackets
      case 3:
        return "[]";
      default:
        return Join({Blanks(), "[", Blanks(), name, Blanks(), "]", Blanks()});
    }
  }

  std::string Line() {
    switch (Int(0, 11)) {
      case 0:
      case 1:
        return Header();
      case 2:
        return Join({Blanks(), ";", Pick(kKeys), "=", Value()});  // comment
      case 3:
        return "";
      case 4:
        return Join({Blanks(), Word()});  // no '='
      case 5:
        return Join({"=", Value()});  // no key
      default:
        return Join({Blanks(), Pick(kKeys), Blanks(), "=", Blanks(), Value(), Blanks()});
    }
  }

  std::string File() {
    std::string file;
    for (int n = Int(1, 24); n > 0; --n) {
      file += Line();
      switch (Int(0, 3)) {
        case 0:
          file += "\n";
          break;
        case 1:
          file += "\r";
          break;
        default:
          file += "\r\n";
          break;
      }
    }
    if (Chance(30)) file += Line();  // a last line without a line end
    return file;
  }

  std::string Query(const std::vector<std::string>& pool) {
    std::string name = Pick(pool);
    if (Chance(20)) {
      for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
    }
    return Chance(20) ? Join({" ", name, " "}) : name;
  }

 private:
  std::mt19937 rng_;
};

std::string Show(const std::string& bytes) {
  std::string out;
  static const char* hex = "0123456789abcdef";
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string TrimBlanks(std::string text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.erase(text.begin());
  while (!text.empty() && blank(text.back())) text.pop_back();
  return text;
}

// Lines of a file, split as both readers split them (CR LF, LF or CR ends a line), with their
// ends kept.
std::vector<std::string> SplitLines(const std::string& file) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < file.size()) {
    std::size_t end = file.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(file.substr(pos));
      break;
    }
    end += (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') ? 2 : 1;
    lines.push_back(file.substr(pos, end - pos));
    pos = end;
  }
  return lines;
}

// Our cut keeps whole characters where a single-byte reader cuts a double-byte one in half (which
// decodes to U+FFFD at the end).
bool CutDiffers(const std::string& ours, const std::string& platform) {
  const std::string replacement = "\xEF\xBF\xBD";
  return platform.size() > replacement.size() &&
         platform.compare(platform.size() - replacement.size(), replacement.size(), replacement) ==
             0 &&
         platform.substr(0, platform.size() - replacement.size()) == ours;
}

// Which known difference explains a case, or nothing. Each explanation is checked by reading the
// file as Wine does at that one point with our reader, which must then give the platform's
// answer; a difference that needs more than that stays unexplained.
const char* Explain(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& ours, const std::string& platform,
                    const std::function<std::string(const Profile&)>& read) {
  const auto asWine = [&](const std::string& wineFile) {
    const std::string asRead = read(Profile::Parse(wineFile));
    return asRead == platform || CutDiffers(asRead, platform);
  };
  // Keys before the first section: Wine files them under the empty name, like a "[]" section.
  if (TrimBlanks(section).empty() && asWine(Join({"[]\r\n", file}))) {
    return "Wine: keys before the first section";
  }
  // A header ends at its last ']' in Wine: such a header names a section nobody asks for.
  std::string lastBracket;
  bool changed = false;
  for (const std::string& line : SplitLines(file)) {
    const std::string text = TrimBlanks(line.substr(0, line.find_first_of("\r\n")));
    if (!text.empty() && text[0] == '[' && std::count(text.begin(), text.end(), ']') >= 2) {
      lastBracket += "[\x01]\r\n";
      changed = true;
    } else {
      lastBracket += line;
    }
  }
  if (changed && asWine(lastBracket)) return "Wine: header ends at its last ]";
  // A ';' line is a comment: Windows gives the default for its text, Wine the value.
  const std::string trimmedKey = TrimBlanks(key);
  if (!trimmedKey.empty() && trimmedKey[0] == ';' && ours == read(Profile())) {
    return "Wine: comment read as a key";
  }
  if (CutDiffers(ours, platform)) return "ours: no half character at the cut";
  return nullptr;
}

TEST(ProfileDifferential, AgreesWithThePlatformReaderOrDiffersOnlyAsKnown) {
  unsigned seed = 20261207;
  if (const char* s = std::getenv("UHF_PROFILE_DIFF_SEED"))
    seed = static_cast<unsigned>(std::strtoul(s, nullptr, 10));
  Generator gen(seed);
  test::TempDir dir("uhf-profile-diff");
  std::map<std::string, int> known;
  int compared = 0;
  int unexplained = 0;
  for (int i = 0; i < kCases; ++i) {
    const std::string file = gen.File();
    const fs::path path = dir.path() / Join({"case", std::to_string(i), ".ini"});
    {
      std::ofstream out(path, std::ios::binary);
      out << file;
    }
    const Profile profile = Profile::Load(path);
    const bool gbk = ReadsAsGbk(file);
    const std::string fullPath = path.string();
    for (int q = gen.Int(2, 5); q > 0; --q) {
      const std::string section = gen.Chance(5) ? std::string() : gen.Query(kSections);
      const std::string key = gen.Query(kKeys);
      const std::string def = gen.Chance(20) ? "def  " : "DEF";
      char buffer[kBufferSize] = {};
      GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, kBufferSize,
                               fullPath.c_str());
      const std::string raw(buffer);
      // The platform's bytes, and the names for our reader (which takes and gives UTF-8), are
      // decoded as our reader decoded the file.
      const auto asText = [&](const std::string& bytes) { return gbk ? GbkToUtf8(bytes) : bytes; };
      const std::string platform = asText(raw);
      const std::string ours = profile.GetString(asText(section), asText(key), def, kBufferSize);
      ++compared;
      if (ours == platform) continue;
      const auto read = [&](const Profile& p) {
        return p.GetString(asText(section), asText(key), def, kBufferSize);
      };
      if (const char* why = Explain(file, section, key, ours, platform, read)) {
        ++known[why];
        continue;
      }
      if (++unexplained <= 5) {
        ADD_FAILURE() << "case " << i << " [" << section << "] <" << key << ">\nours:     <"
                      << Show(ours) << ">\nplatform: <" << Show(platform) << ">\nfile:\n"
                      << Show(file);
      }
    }
    fs::remove(path);
  }
  EXPECT_EQ(unexplained, 0);
  EXPECT_GE(compared, kCases);
  RecordProperty("seed", static_cast<int>(seed));
  RecordProperty("files", kCases);
  RecordProperty("lookups", compared);
  std::string summary;
  for (const auto& [why, count] : known) summary += Join({why, "=", std::to_string(count), "; "});
  RecordProperty("known_differences", summary);
  std::printf("profile differential: seed %u, %d files, %d lookups, known differences: %s\n", seed,
              kCases, compared, summary.c_str());
}

}  // namespace
}  // namespace uhf
