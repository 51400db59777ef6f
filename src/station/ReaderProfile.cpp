#include "station/ReaderProfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <sstream>

#include "reader/FrequencyPlan.h"
#include "reader/ReaderSettings.h"
#include "tags/CardFormats.h"

namespace uhf {

namespace {

std::optional<long long> ParseInt(std::string_view text) {
  long long value = 0;
  if (text.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Both band lists by name.
const FrequencyList* BandList(std::string_view band) {
  if (band == "FCC") return &kFccList;
  if (band == "ETSI") return &kEtsiList;
  return nullptr;
}

std::string BandName(FrequencyBand band) {
  return band == FrequencyBand::Fcc ? "FCC" : "ETSI";
}

std::uint8_t KindOf(const ReaderConfiguration& config) {
  return config.readerKind.value_or(0);
}

// Where the read's plan stands in the selectors.
PlanSelection SelectionOf(const ReaderConfiguration& config) {
  return SelectionOfPlan(KindOf(config), config.frequencyPlan.value_or(FrequencyPlan{}));
}

// The start byte the window shows for the read's record: none (taken as 0) beyond the list.
int ShownStartByte(const ReaderConfiguration& read) {
  const int start = read.wiegandOutput ? read.wiegandOutput->startByte : -1;
  return start < ReaderSettings::kStartByteItems ? std::max(0, start) : 0;
}

std::uint8_t Byte(std::string_view value) {
  return static_cast<std::uint8_t>(ParseInt(value).value_or(0));
}

// The effective value of another key: the profile's, else the reader's.
using Effective = std::function<std::string(const char*)>;

struct Key {
  const char* name;
  const char* comment;
  bool (*applies)(std::uint8_t kind, bool usb);
  // The value as the window shows the configuration.
  std::function<std::string(const ReaderConfiguration&)> shown;
  std::function<std::optional<std::string>(std::string_view value, const ReaderConfiguration& read,
                                           const Effective& effective)>
      check;
  // Puts the value into the configuration a save writes (the plan is put whole, from every
  // frequency key at once).
  std::function<void(std::string_view value, ReaderConfiguration& desired)> apply;
};

bool Always(std::uint8_t, bool) {
  return true;
}
bool UsbOnly(std::uint8_t, bool usb) {
  return usb;
}
bool OtherLinks(std::uint8_t, bool usb) {
  return !usb;
}
bool FrequencyKinds(std::uint8_t kind, bool) {
  return kind != 2;
}
bool ChannelKind(std::uint8_t kind, bool) {
  return kind == 2;
}
bool PowerKinds(std::uint8_t kind, bool) {
  return PowerScaleFor(kind).has_value();
}

using Check = decltype(Key::check);

Check Range(long long low, long long high) {
  return [low, high](std::string_view value, const ReaderConfiguration&,
                     const Effective&) -> std::optional<std::string> {
    const auto number = ParseInt(value);
    if (!number || *number < low || *number > high) {
      return "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    }
    return std::nullopt;
  };
}

using Setting = std::optional<std::uint8_t> ReaderConfiguration::*;

// A setting the window shows as a check box or a pair of radios: 1 or 0.
Key Flag(const char* name, const char* comment, Setting setting, std::uint8_t on) {
  return {name,
          comment,
          Always,
          [setting, on](const ReaderConfiguration& c) {
            const bool set = on == 0 ? (c.*setting).value_or(0) != 0 : (c.*setting) == on;
            return std::string(set ? "1" : "0");
          },
          Range(0, 1),
          [setting, on](std::string_view value, ReaderConfiguration& d) {
            d.*setting = value == "1" ? (on == 0 ? 1 : on) : 0;
          }};
}

// A setting the window shows as a number in an edit.
Key Edit(const char* name, const char* comment, Setting setting, long long low, long long high) {
  return {
      name,
      comment,
      Always,
      [setting](const ReaderConfiguration& c) { return std::to_string((c.*setting).value_or(0)); },
      Range(low, high),
      [setting](std::string_view value, ReaderConfiguration& d) { d.*setting = Byte(value); }};
}

// Frequencies in kHz of the band the profile or the reader chooses.
Key Frequency(const char* name, const char* comment, bool isStart) {
  return {name,
          comment,
          FrequencyKinds,
          [isStart](const ReaderConfiguration& c) {
            const PlanSelection selection = SelectionOf(c);
            const int item = isStart ? selection.startItem : selection.endItem;
            return item < 0 ? std::string() : std::to_string(ListOf(selection.band).At(item));
          },
          [isStart](std::string_view value, const ReaderConfiguration&,
                    const Effective& effective) -> std::optional<std::string> {
            const std::string band = effective("frequencyBand");
            const FrequencyList* list = BandList(band);
            if (list == nullptr) return std::nullopt;  // the band's own line is refused
            const auto number = ParseInt(value);
            const long long last = list->At(list->items - 1);
            if (!number || *number < list->first || *number > last ||
                (*number - list->first) % list->step != 0) {
              return "must be a frequency in kHz of the " + band +
                     " band: " + std::to_string(list->first) + " to " + std::to_string(last) +
                     " in steps of " + std::to_string(list->step);
            }
            const auto other = ParseInt(effective(isStart ? "frequencyEnd" : "frequencyStart"));
            if (other && (isStart ? *number > *other : *number < *other)) {
              return "frequencyStart must not be above frequencyEnd";
            }
            return std::nullopt;
          },
          nullptr};
}

Key Channel(const char* name, const char* comment, bool isStart) {
  return {name,
          comment,
          ChannelKind,
          [isStart](const ReaderConfiguration& c) {
            const PlanSelection selection = SelectionOf(c);
            return std::to_string((isStart ? selection.startItem : selection.endItem) + 1);
          },
          [isStart](std::string_view value, const ReaderConfiguration& read,
                    const Effective& effective) -> std::optional<std::string> {
            const long long channels = SelectorItems(KindOf(read), FrequencyBand::Fcc);
            const auto number = ParseInt(value);
            if (!number || *number < 1 || *number > channels) {
              return "must be a channel number from 1 to " + std::to_string(channels);
            }
            const auto other = ParseInt(effective(isStart ? "channelEnd" : "channelStart"));
            if (other && (isStart ? *number > *other : *number < *other)) {
              return "channelStart must not be above channelEnd";
            }
            return std::nullopt;
          },
          nullptr};
}

const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = {
      Flag("buzzer", "Buzzer: 1 on, 0 off", &ReaderConfiguration::buzzer, 0),
      Flag("workMode", "Work mode: 0 read always, 1 read by trigger",
           &ReaderConfiguration::workMode, ReaderSettings::kWorkModeTrigger),
      Edit("readTime", "Read time after a trigger, in seconds: 1 to 254",
           &ReaderConfiguration::readTime, ReaderSettings::kReadTimeMin,
           ReaderSettings::kReadTimeMax),
      Edit("outputTime", "Wiegand output time, in units of 100 ms: 1 to 20",
           &ReaderConfiguration::outputTime, ReaderSettings::kOutputTimeMin,
           ReaderSettings::kOutputTimeMax),
      {"wiegandFormat",
       "Wiegand format: 26 or 34 bits (the save writes the card bytes of the format: start byte "
       "9 and length 3 for 26, start byte 8 and length 4 for 34)",
       UsbOnly,
       [](const ReaderConfiguration& c) {
         return std::string(c.wiegandFormat == ReaderSettings::kWiegand34 ? "34" : "26");
       },
       [](std::string_view value, const ReaderConfiguration&,
          const Effective&) -> std::optional<std::string> {
         if (value != "26" && value != "34") return "must be 26 or 34";
         return std::nullopt;
       },
       [](std::string_view value, ReaderConfiguration& d) {
         d.wiegandFormat = value == "34" ? ReaderSettings::kWiegand34 : ReaderSettings::kWiegand26;
         d.wiegandOutput = UsbRecordFor(*d.wiegandFormat);
       }},
      {"wiegandLength", "Card number length in bytes: 1 to 12, and start byte + length at most 12",
       OtherLinks,
       [](const ReaderConfiguration& c) {
         const int length = c.wiegandOutput ? c.wiegandOutput->length : 0;
         return std::to_string(length >= 1 && length <= ReaderSettings::kLengthItems ? length : 0);
       },
       [](std::string_view value, const ReaderConfiguration& read,
          const Effective&) -> std::optional<std::string> {
         const long long start = ShownStartByte(read);
         const long long high = kTagNumberBytes - start;
         const auto number = ParseInt(value);
         if (!number || *number < 1 || *number > high) {
           return "must be a whole number from 1 to " + std::to_string(high) +
                  " (the reader's start byte is " + std::to_string(start) + ")";
         }
         return std::nullopt;
       },
       [](std::string_view value, ReaderConfiguration& d) {
         // Other links write the length from start byte 0.
         d.wiegandOutput = WiegandOutputRecord{1, 0, Byte(value), 0};
       }},
      Flag("passwordEnabled", "Password check: 1 on, 0 off", &ReaderConfiguration::passwordEnabled,
           0),
      {"checkPassword", "Check password: 8 hexadecimal digits", Always,
       [](const ReaderConfiguration& c) {
         return PasswordBytesToText(c.checkPassword.value_or(std::array<std::uint8_t, 4>{}));
       },
       [](std::string_view value, const ReaderConfiguration&,
          const Effective&) -> std::optional<std::string> {
         bool hex = value.size() == 8;
         for (char c : value) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
         if (!hex) return "must be 8 hexadecimal digits";
         return std::nullopt;
       },
       [](std::string_view value, ReaderConfiguration& d) {
         d.checkPassword = PasswordTextToBytes(value);
       }},
      Edit("tagInterval", "Tag reading interval, in seconds: 0 to 255",
           &ReaderConfiguration::tagInterval, 0, ReaderSettings::kTagIntervalByteMax),
      {"outPower",
       "Output power level: 0 to 33 (reader kind 0), 18 to 26 (kind 1), 0 to 63 (kind 2)",
       PowerKinds,
       [](const ReaderConfiguration& c) {
         // A level outside the kind's list selects nothing.
         const auto scale = PowerScaleFor(KindOf(c));
         const int level = c.outPower.value_or(0);
         if (!c.outPower || !scale || level < scale->first ||
             level >= scale->first + scale->count) {
           return std::string();
         }
         return std::to_string(level);
       },
       [](std::string_view value, const ReaderConfiguration& read,
          const Effective& effective) -> std::optional<std::string> {
         const PowerScale scale = *PowerScaleFor(KindOf(read));
         return Range(scale.first, scale.first + scale.count - 1)(value, read, effective);
       },
       [](std::string_view value, ReaderConfiguration& d) { d.outPower = Byte(value); }},
      Edit("readerAddress", "Address stored in the reader: 0 to 255",
           &ReaderConfiguration::readerAddress, 0, 255),
      {"frequencyBand", "Frequency band: FCC (902000 to 928000 kHz) or ETSI (865000 to 868000 kHz)",
       FrequencyKinds, [](const ReaderConfiguration& c) { return BandName(SelectionOf(c).band); },
       [](std::string_view value, const ReaderConfiguration&,
          const Effective&) -> std::optional<std::string> {
         if (BandList(value) == nullptr) return "must be FCC or ETSI";
         return std::nullopt;
       },
       nullptr},
      Frequency("frequencyStart", "First frequency in kHz, in the band's 500 kHz steps", true),
      Frequency("frequencyEnd", "Last frequency in kHz, not below the first", false),
      Channel("channelStart", "First channel: 1 to 63", true),
      Channel("channelEnd", "Last channel: 1 to 63, not below the first", false),
  };
  return keys;
}

const Key* FindKey(std::string_view name) {
  for (const Key& key : Keys()) {
    if (name == key.name) return &key;
  }
  return nullptr;
}

// The value of every key a save of the profile writes: the profile's, else the reader's as the
// window shows it. A band the profile changes selects the band's default range, as a click on
// the band's radio does, unless the profile gives the range too.
ProfileValues EffectiveValues(const ParsedProfile& profile, const ReaderConfiguration& read,
                              bool usbLink) {
  ProfileValues values = ProfileValuesOf(read, usbLink);
  const auto given = [&](const char* name) { return profile.entries.count(name) != 0; };
  if (given("frequencyBand") && values.count("frequencyBand") != 0 &&
      BandList(profile.entries.at("frequencyBand").value) != nullptr &&
      profile.entries.at("frequencyBand").value != values["frequencyBand"]) {
    const FrequencyBand band = profile.entries.at("frequencyBand").value == "FCC"
                                   ? FrequencyBand::Fcc
                                   : FrequencyBand::Etsi;
    values["frequencyStart"] = std::to_string(ListOf(band).At(kBandDefaultStartItem));
    values["frequencyEnd"] = std::to_string(ListOf(band).At(BandDefaultEndItem(band)));
  }
  for (const auto& [name, entry] : profile.entries) {
    if (values.count(name) != 0) values[name] = entry.value;
  }
  return values;
}

// The plan of the effective frequency or channel values.
FrequencyPlan PlanOfValues(const ProfileValues& values, std::uint8_t kind) {
  const auto number = [&](const char* name) { return ParseInt(values.at(name)).value_or(0); };
  if (kind == 2) {
    return PlanOfSelection(kind, {FrequencyBand::Fcc, static_cast<int>(number("channelStart") - 1),
                                  static_cast<int>(number("channelEnd") - 1)});
  }
  const FrequencyBand band =
      values.at("frequencyBand") == "FCC" ? FrequencyBand::Fcc : FrequencyBand::Etsi;
  const FrequencyList& list = ListOf(band);
  const auto item = [&](const char* name) {
    return static_cast<int>((number(name) - list.first) / list.step);
  };
  return PlanOfSelection(kind, {band, item("frequencyStart"), item("frequencyEnd")});
}

// A text of the reader for a comment line: line breaks would end the comment.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

nlohmann::ordered_json ConfigurationJson(const ReaderConfiguration& c) {
  using Json = nlohmann::ordered_json;
  const auto number = [](const auto& value) {
    return value ? Json(static_cast<int>(*value)) : Json(nullptr);
  };
  const auto flag = [](const std::optional<std::uint8_t>& value) {
    return value ? Json(*value != 0) : Json(nullptr);
  };
  const auto text = [](const std::optional<std::string>& value) {
    return value ? Json(*value) : Json(nullptr);
  };
  Json format = nullptr;
  if (c.wiegandFormat == ReaderSettings::kWiegand26) format = 26;
  if (c.wiegandFormat == ReaderSettings::kWiegand34) format = 34;
  Json record = nullptr;
  if (c.wiegandOutput) {
    record = {{"startByte", c.wiegandOutput->startByte},
              {"length", c.wiegandOutput->length},
              {"inverted", c.wiegandOutput->inverted != 0}};
  }
  Json plan = nullptr;
  if (const auto& p = c.frequencyPlan) {
    plan = {{"form", p->form},
            {"start", p->start},
            {"end", p->end},
            {"step", p->step},
            {"count", p->count}};
    if (KindOf(c) != 2) plan["band"] = BandName(SelectionOf(c).band);
  }
  Json workMode = nullptr;
  if (c.workMode) workMode = c.workMode == ReaderSettings::kWorkModeTrigger ? 1 : 0;
  return {{"readerKind", number(c.readerKind)},
          {"buzzer", flag(c.buzzer)},
          {"workMode", workMode},
          {"readTime", number(c.readTime)},
          {"outputTime", number(c.outputTime)},
          {"wiegandFormat", format},
          {"wiegandOutput", record},
          {"passwordEnabled", flag(c.passwordEnabled)},
          {"checkPassword", c.checkPassword ? Json(PasswordBytesToText(*c.checkPassword)) : Json()},
          {"tagInterval", number(c.tagInterval)},
          {"outPower", number(c.outPower)},
          {"versionText", text(c.versionText)},
          {"serialNumberText", text(c.serialNumberText)},
          {"readerAddress", number(c.readerAddress)},
          {"frequencyPlan", plan}};
}

std::string ConfigurationTable(const ReaderConfiguration& c) {
  std::ostringstream out;
  const auto row = [&out](const char* name, const std::string& value) {
    out << name << std::string(20 - std::string_view(name).size(), ' ') << value << '\n';
  };
  const auto orNone = [](const auto& value, const char* unit) {
    return value ? std::to_string(static_cast<int>(*value)) + unit : std::string("-");
  };
  const auto yes = [](const std::optional<std::uint8_t>& value, const char* on, const char* off) {
    return value ? std::string(*value != 0 ? on : off) : std::string("-");
  };
  row("versionText", c.versionText.value_or("-"));
  row("serialNumberText", c.serialNumberText.value_or("-"));
  row("readerKind", orNone(c.readerKind, ""));
  row("readerAddress", orNone(c.readerAddress, ""));
  row("buzzer", yes(c.buzzer, "on", "off"));
  row("workMode", !c.workMode                                      ? std::string("-")
                  : c.workMode == ReaderSettings::kWorkModeTrigger ? "1 (read by trigger)"
                                                                   : "0 (read always)");
  row("readTime", orNone(c.readTime, " s"));
  row("outputTime", orNone(c.outputTime, " x 100 ms"));
  std::optional<int> format;
  if (c.wiegandFormat == ReaderSettings::kWiegand26) format = 26;
  if (c.wiegandFormat == ReaderSettings::kWiegand34) format = 34;
  row("wiegandFormat", orNone(format, " bits"));
  if (const auto& r = c.wiegandOutput) {
    row("wiegandOutput", "start byte " + std::to_string(r->startByte) + ", length " +
                             std::to_string(r->length) + " bytes, " +
                             (r->inverted != 0 ? "inverted" : "forward"));
  } else {
    row("wiegandOutput", "-");
  }
  row("passwordEnabled", yes(c.passwordEnabled, "yes", "no"));
  row("checkPassword", c.checkPassword ? PasswordBytesToText(*c.checkPassword) : "-");
  row("tagInterval", orNone(c.tagInterval, " s"));
  row("outPower", orNone(c.outPower, " (power level)"));
  if (!c.frequencyPlan) {
    row("frequencyPlan", "-");
  } else if (const FrequencyPlan& p = *c.frequencyPlan; p.form == kFormChannelRange) {
    row("frequencyPlan", "channels " + std::to_string(p.start) + " to " + std::to_string(p.end));
  } else {
    row("frequencyPlan", BandName(SelectionOf(c).band) + " " + std::to_string(p.start) + " to " +
                             std::to_string(p.end) + " kHz, step " + std::to_string(p.step) +
                             " kHz, " + std::to_string(p.count) + " steps");
  }
  return out.str();
}

std::vector<std::string> ProfileKeys(std::uint8_t readerKind, bool usbLink) {
  std::vector<std::string> names;
  for (const Key& key : Keys()) {
    if (key.applies(readerKind, usbLink)) names.emplace_back(key.name);
  }
  return names;
}

ProfileValues ProfileValuesOf(const ReaderConfiguration& config, bool usbLink) {
  ProfileValues values;
  for (const std::string& name : ProfileKeys(KindOf(config), usbLink)) {
    values[name] = FindKey(name)->shown(config);
  }
  return values;
}

std::string ProfileText(const ReaderConfiguration& config, bool usbLink) {
  const ProfileValues values = ProfileValuesOf(config, usbLink);
  std::ostringstream out;
  out << "; Reader configuration profile: edit the values, then write them to a reader with\n"
      << ";   uhf-readerctl apply FILE\n"
      << "; Read from " << OneLine(config.serialNumberText.value_or("")) << ", version "
      << OneLine(config.versionText.value_or("")) << ", reader kind "
      << static_cast<int>(KindOf(config)) << ".\n"
      << "; Keys left out keep the reader's values.\n"
      << "[reader]\n";
  for (const std::string& name : ProfileKeys(KindOf(config), usbLink)) {
    const Key* key = FindKey(name);
    out << "\n; " << key->comment << '\n' << name << '=' << values.at(name) << '\n';
  }
  return out.str();
}

std::string ProfileError::Text() const {
  return line > 0 ? "line " + std::to_string(line) + ": " + what : what;
}

std::string WithLineEnds(std::string_view text, std::string_view lineEnd) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == '\n') {
      result += lineEnd;
    } else {
      result += c;
    }
  }
  return result;
}

namespace {

// UTF-16 as Windows editors save it ("Unicode" in Notepad): a byte order mark of either order, or
// without one, the zero bytes that ASCII characters get; UTF-8 text never holds a zero byte.
bool LooksLikeUtf16(std::string_view text) {
  if (text.size() >= 2 &&
      ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
    return true;
  }
  return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::optional<ParsedProfile> ParseProfile(std::string_view text, ProfileError& error) {
  if (LooksLikeUtf16(text)) {
    error = {0,
             "the file is UTF-16 text; save it as UTF-8 (in Notepad: Save As, Encoding UTF-8) "
             "and try again"};
    return std::nullopt;
  }
  // A byte order mark, as Notepad and PowerShell write UTF-8, is no part of the first line.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  ParsedProfile profile;
  int lineNumber = 0;
  bool sectionSeen = false;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = Trim(text.substr(0, newline));
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    ++lineNumber;
    const auto fault = [&](std::string what) {
      error = {lineNumber, std::move(what)};
      return std::nullopt;
    };
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line != "[reader]") return fault("unknown section " + std::string(line));
      if (sectionSeen) return fault("section [reader] given twice");
      sectionSeen = true;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return fault("malformed line \"" + std::string(line) + "\": expected key=value");
    }
    const std::string key(Trim(line.substr(0, equals)));
    const std::string value(Trim(line.substr(equals + 1)));
    if (!sectionSeen) return fault("\"" + key + "\" before the [reader] section");
    if (FindKey(key) == nullptr) return fault("unknown key \"" + key + "\"");
    if (profile.entries.count(key) != 0) {
      return fault("\"" + key + "\" given twice (first on line " +
                   std::to_string(profile.entries[key].line) + ")");
    }
    profile.entries[key] = {lineNumber, value};
  }
  return profile;
}

std::optional<ProfileError> CheckProfile(const ParsedProfile& profile,
                                         const ReaderConfiguration& read, bool usbLink) {
  const std::uint8_t kind = KindOf(read);
  const ProfileValues values = EffectiveValues(profile, read, usbLink);
  const Effective effective = [&](const char* name) -> std::string {
    const auto it = values.find(name);
    return it != values.end() ? it->second : std::string();
  };
  // In line order, so the first problem of the file is the one named.
  std::vector<std::pair<int, std::string>> byLine;
  for (const auto& [name, entry] : profile.entries) byLine.emplace_back(entry.line, name);
  std::sort(byLine.begin(), byLine.end());
  for (const auto& [line, name] : byLine) {
    const Key& key = *FindKey(name);
    const std::string& value = profile.entries.at(name).value;
    if (!key.applies(kind, usbLink)) {
      return ProfileError{line, "\"" + name + "\" is not a setting of this reader (kind " +
                                    std::to_string(kind) + ", " +
                                    (usbLink ? "USB" : "serial or network") + " link)"};
    }
    if (auto problem = key.check(value, read, effective)) {
      return ProfileError{line, name + "=" + value + ": " + *problem};
    }
  }
  // What the profile leaves to the reader is written back: it must be a value the save takes.
  for (const auto& [name, value] : values) {
    if (profile.entries.count(name) != 0) continue;
    if (auto problem = FindKey(name)->check(value, read, effective)) {
      return ProfileError{0, "the reader's " + name + "=" + value + ": " + *problem + "; give " +
                                 name + " in the profile"};
    }
  }
  return std::nullopt;
}

ReaderConfiguration DesiredConfiguration(const ParsedProfile& profile,
                                         const ReaderConfiguration& read, bool usbLink) {
  const ProfileValues values = EffectiveValues(profile, read, usbLink);
  ReaderConfiguration desired = read;
  desired.wiegandFormat.reset();
  for (const Key& key : Keys()) {
    const auto it = values.find(key.name);
    if (it != values.end() && key.apply) key.apply(it->second, desired);
  }
  desired.frequencyPlan = PlanOfValues(values, KindOf(read));
  return desired;
}

}  // namespace uhf
