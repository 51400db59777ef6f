#include "cli/ReaderProfile.h"

#include <cctype>
#include <charconv>
#include <functional>
#include <sstream>

#include "dialog/ControlIds.h"
#include "reader/ReaderSettings.h"
#include "tags/CardFormats.h"

namespace uhf::cli {

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

std::string SelectedText(const ControlSurface& surface, int id) {
  return surface.ComboItem(id, surface.ComboGetSel(id));
}

// The window shows its settings disabled; the companion edits them as an operator would in the
// editing layout, where they are enabled, so a click reaches the dialog's handler.
void OperatorClick(MemorySurface& surface, int id) {
  surface.Enable(id, true);
  surface.Click(id);
}

void ClickUnlessChecked(MemorySurface& surface, int id) {
  if (surface.GetCheck(id) == 0) OperatorClick(surface, id);
}

// Both band lists by name.
const FrequencyList* BandList(std::string_view band) {
  if (band == "FCC") return &kFccList;
  if (band == "ETSI") return &kEtsiList;
  return nullptr;
}

using Check = std::function<std::optional<std::string>(
    std::string_view value, Session& session,
    const std::function<std::string(const char*)>& effective)>;

struct Key {
  const char* name;
  const char* comment;
  bool (*applies)(std::uint8_t kind, bool usb);
  std::function<std::string(Session&)> read;
  Check check;
  std::function<void(std::string_view value, Session&)> apply;
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

Check Range(long long low, long long high) {
  return [low, high](std::string_view value, Session&, const auto&) -> std::optional<std::string> {
    const auto number = ParseInt(value);
    if (!number || *number < low || *number > high) {
      return "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    }
    return std::nullopt;
  };
}

// A check box or a pair of radios holding 0 or 1.
Key Flag(const char* name, const char* comment, int off, int on) {
  return {name,
          comment,
          Always,
          [on](Session& s) { return std::string(s.Surface().GetCheck(on) ? "1" : "0"); },
          Range(0, 1),
          [off, on](std::string_view value, Session& s) {
            if (off == on) {  // a check box
              if ((s.Surface().GetCheck(on) != 0) != (value == "1")) OperatorClick(s.Surface(), on);
              return;
            }
            ClickUnlessChecked(s.Surface(), value == "1" ? on : off);
          }};
}

// A bound edit holding a number.
Key Edit(const char* name, const char* comment, int id, long long low, long long high) {
  return {name,
          comment,
          Always,
          [id](Session& s) { return s.Surface().GetText(id); },
          Range(low, high),
          [id](std::string_view value, Session& s) { s.Surface().Type(id, value); }};
}

// Frequencies in kHz of the band the profile or the controls choose.
Key Frequency(const char* name, const char* comment, int id, bool isStart) {
  return {name,
          comment,
          FrequencyKinds,
          [id](Session& s) { return SelectedText(s.Surface(), id); },
          [isStart](std::string_view value, Session&,
                    const auto& effective) -> std::optional<std::string> {
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
          [id](std::string_view value, Session& s) {
            const FrequencyList& list = s.Surface().GetCheck(idc::Fcc) ? kFccList : kEtsiList;
            const long long number = ParseInt(value).value_or(list.first);
            s.Surface().ComboSetSel(id, static_cast<int>((number - list.first) / list.step));
          }};
}

Key Channel(const char* name, const char* comment, int id, bool isStart) {
  return {name,
          comment,
          ChannelKind,
          [id](Session& s) { return std::to_string(s.Surface().ComboGetSel(id) + 1); },
          [isStart, id](std::string_view value, Session& s,
                        const auto& effective) -> std::optional<std::string> {
            const long long channels = s.Surface().ComboCount(id);
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
          [id](std::string_view value, Session& s) {
            s.Surface().ComboSetSel(id, static_cast<int>(ParseInt(value).value_or(1) - 1));
          }};
}

const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = {
      Flag("buzzer", "Buzzer: 1 on, 0 off", idc::Buzzer, idc::Buzzer),
      Flag("workMode", "Work mode: 0 read always, 1 read by trigger", idc::ReadAlways,
           idc::ReadByTrigger),
      Edit("readTime", "Read time after a trigger, in seconds: 1 to 254", idc::ReadTime,
           ReaderSettings::kReadTimeMin, ReaderSettings::kReadTimeMax),
      Edit("outputTime", "Wiegand output time, in units of 100 ms: 1 to 20", idc::OutputTime,
           ReaderSettings::kOutputTimeMin, ReaderSettings::kOutputTimeMax),
      {"wiegandFormat",
       "Wiegand format: 26 or 34 bits (the save writes the card bytes of the format: start byte "
       "9 and length 3 for 26, start byte 8 and length 4 for 34)",
       UsbOnly,
       [](Session& s) { return std::string(s.Surface().GetCheck(idc::Wiegand34) ? "34" : "26"); },
       [](std::string_view value, Session&, const auto&) -> std::optional<std::string> {
         if (value != "26" && value != "34") return "must be 26 or 34";
         return std::nullopt;
       },
       [](std::string_view value, Session& s) {
         ClickUnlessChecked(s.Surface(), value == "34" ? idc::Wiegand34 : idc::Wiegand26);
       }},
      {"wiegandLength", "Card number length in bytes: 1 to 12, and start byte + length at most 12",
       OtherLinks,
       [](Session& s) { return std::to_string(s.Surface().ComboGetSel(idc::Length) + 1); },
       [](std::string_view value, Session& s, const auto&) -> std::optional<std::string> {
         const long long start = std::max(0, s.Surface().ComboGetSel(idc::StartBytes));
         const long long high = kTagNumberBytes - start;
         const auto number = ParseInt(value);
         if (!number || *number < 1 || *number > high) {
           return "must be a whole number from 1 to " + std::to_string(high) +
                  " (the reader's start byte is " + std::to_string(start) + ")";
         }
         return std::nullopt;
       },
       [](std::string_view value, Session& s) {
         s.Surface().ComboSetSel(idc::Length, static_cast<int>(ParseInt(value).value_or(0) - 1));
       }},
      Flag("passwordEnabled", "Password check: 1 on, 0 off", idc::PasswordNo, idc::PasswordYes),
      {"checkPassword", "Check password: 8 hexadecimal digits", Always,
       [](Session& s) { return s.Surface().GetText(idc::Password); },
       [](std::string_view value, Session&, const auto&) -> std::optional<std::string> {
         bool hex = value.size() == 8;
         for (char c : value) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
         if (!hex) return "must be 8 hexadecimal digits";
         return std::nullopt;
       },
       [](std::string_view value, Session& s) {
         // As a read shows it: lowercase.
         std::string lower(value);
         for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         s.Surface().Type(idc::Password, lower);
       }},
      Edit("tagInterval", "Tag reading interval, in seconds: 0 to 255", idc::TagInterval, 0,
           ReaderSettings::kTagIntervalByteMax),
      {"outPower",
       "Output power level: 0 to 33 (reader kind 0), 18 to 26 (kind 1), 0 to 63 (kind 2)",
       PowerKinds, [](Session& s) { return SelectedText(s.Surface(), idc::Power); },
       [](std::string_view value, Session& s, const auto&) -> std::optional<std::string> {
         const PowerScale scale = *PowerScaleFor(s.Dialog().ReaderKind());
         return Range(scale.first, scale.first + scale.count - 1)(value, s, {});
       },
       [](std::string_view value, Session& s) {
         const PowerScale scale = *PowerScaleFor(s.Dialog().ReaderKind());
         s.Surface().ComboSetSel(idc::Power,
                                 static_cast<int>(ParseInt(value).value_or(0) - scale.first));
       }},
      Edit("readerAddress", "Address stored in the reader: 0 to 255", idc::ReaderAddress, 0, 255),
      {"frequencyBand", "Frequency band: FCC (902000 to 928000 kHz) or ETSI (865000 to 868000 kHz)",
       FrequencyKinds,
       [](Session& s) { return std::string(s.Surface().GetCheck(idc::Fcc) ? "FCC" : "ETSI"); },
       [](std::string_view value, Session&, const auto&) -> std::optional<std::string> {
         if (BandList(value) == nullptr) return "must be FCC or ETSI";
         return std::nullopt;
       },
       [](std::string_view value, Session& s) {
         ClickUnlessChecked(s.Surface(), value == "FCC" ? idc::Fcc : idc::Etsi);
       }},
      Frequency("frequencyStart", "First frequency in kHz, in the band's 500 kHz steps",
                idc::FreqStart, true),
      Frequency("frequencyEnd", "Last frequency in kHz, not below the first", idc::FreqEnd, false),
      Channel("channelStart", "First channel: 1 to 63", idc::FreqStart, true),
      Channel("channelEnd", "Last channel: 1 to 63, not below the first", idc::FreqEnd, false),
  };
  return keys;
}

const Key* FindKey(std::string_view name) {
  for (const Key& key : Keys()) {
    if (name == key.name) return &key;
  }
  return nullptr;
}

}  // namespace

ReaderConfiguration ConfigurationShown(Session& session) {
  const MemorySurface& surface = session.Surface();
  const BoundValues& values = session.Dialog().Values();
  ReaderConfiguration config;
  config.readerKind = session.Dialog().ReaderKind();
  config.buzzer = surface.GetCheck(idc::Buzzer) != 0;
  config.workMode = surface.GetCheck(idc::ReadByTrigger) ? 1 : 0;
  config.readTime = values.readTime;
  config.outputTime = values.outputTime;
  if (session.UsbLink()) {
    if (surface.GetCheck(idc::Wiegand26)) config.wiegandFormat = 26;
    if (surface.GetCheck(idc::Wiegand34)) config.wiegandFormat = 34;
  } else if (surface.ComboGetSel(idc::Length) >= 0) {
    config.length = surface.ComboGetSel(idc::Length) + 1;
  }
  if (surface.ComboGetSel(idc::StartBytes) >= 0) {
    config.startByte = surface.ComboGetSel(idc::StartBytes);
  }
  config.inverted = surface.GetCheck(idc::InvertedOutput) != 0;
  config.passwordEnabled = surface.GetCheck(idc::PasswordYes) != 0;
  config.checkPassword = values.checkPassword;
  config.tagInterval = values.tagInterval;
  if (const auto level = ParseInt(SelectedText(surface, idc::Power))) {
    config.outPower = static_cast<int>(*level);
  }
  config.versionText = values.versionText;
  config.serialNumberText = values.serialNumberText;
  config.readerAddress = values.readerAddress;
  if (surface.ComboGetSel(idc::FreqStart) >= 0 && surface.ComboGetSel(idc::FreqEnd) >= 0) {
    config.frequencyPlan = PlanFromControls(surface, config.readerKind);
  }
  if (config.readerKind != 2) config.band = surface.GetCheck(idc::Fcc) ? "FCC" : "ETSI";
  return config;
}

nlohmann::ordered_json ConfigurationJson(const ReaderConfiguration& c) {
  const auto optional = [](const std::optional<int>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
  };
  nlohmann::ordered_json plan = {{"form", c.frequencyPlan.form},
                                 {"start", c.frequencyPlan.start},
                                 {"end", c.frequencyPlan.end},
                                 {"step", c.frequencyPlan.step},
                                 {"count", c.frequencyPlan.count}};
  if (!c.band.empty()) plan["band"] = c.band;
  return {{"readerKind", c.readerKind},
          {"buzzer", c.buzzer},
          {"workMode", c.workMode},
          {"readTime", c.readTime},
          {"outputTime", c.outputTime},
          {"wiegandFormat", optional(c.wiegandFormat)},
          {"wiegandOutput",
           {{"startByte", optional(c.startByte)},
            {"length", optional(c.length)},
            {"inverted", c.inverted}}},
          {"passwordEnabled", c.passwordEnabled},
          {"checkPassword", c.checkPassword},
          {"tagInterval", c.tagInterval},
          {"outPower", optional(c.outPower)},
          {"versionText", c.versionText},
          {"serialNumberText", c.serialNumberText},
          {"readerAddress", c.readerAddress},
          {"frequencyPlan", plan}};
}

std::string ConfigurationTable(const ReaderConfiguration& c) {
  std::ostringstream out;
  const auto row = [&out](const char* name, const std::string& value) {
    out << name << std::string(20 - std::string_view(name).size(), ' ') << value << '\n';
  };
  const auto orNone = [](const std::optional<int>& value, const char* unit) {
    return value ? std::to_string(*value) + unit : std::string("-");
  };
  row("versionText", c.versionText);
  row("serialNumberText", c.serialNumberText);
  row("readerKind", std::to_string(c.readerKind));
  row("readerAddress", std::to_string(c.readerAddress));
  row("buzzer", c.buzzer ? "on" : "off");
  row("workMode", c.workMode == 1 ? "1 (read by trigger)" : "0 (read always)");
  row("readTime", std::to_string(c.readTime) + " s");
  row("outputTime", std::to_string(c.outputTime) + " x 100 ms");
  row("wiegandFormat", orNone(c.wiegandFormat, " bits"));
  row("wiegandOutput", "start byte " + orNone(c.startByte, "") + ", length " +
                           orNone(c.length, " bytes") + ", " +
                           (c.inverted ? "inverted" : "forward"));
  row("passwordEnabled", c.passwordEnabled ? "yes" : "no");
  row("checkPassword", c.checkPassword);
  row("tagInterval", std::to_string(c.tagInterval) + " s");
  row("outPower", orNone(c.outPower, " (power level)"));
  const FrequencyPlan& p = c.frequencyPlan;
  if (p.form == kFormChannelRange) {
    row("frequencyPlan", "channels " + std::to_string(p.start) + " to " + std::to_string(p.end));
  } else {
    row("frequencyPlan", c.band + " " + std::to_string(p.start) + " to " + std::to_string(p.end) +
                             " kHz, step " + std::to_string(p.step) + " kHz, " +
                             std::to_string(p.count) + " steps");
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

ProfileValues ProfileFromControls(Session& session) {
  ProfileValues values;
  for (const std::string& name : ProfileKeys(session.Dialog().ReaderKind(), session.UsbLink())) {
    values[name] = FindKey(name)->read(session);
  }
  return values;
}

// A text of the reader for a comment line: line breaks would end the comment.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string ProfileText(const ReaderConfiguration& config, const ProfileValues& values,
                        bool usbLink) {
  std::ostringstream out;
  out << "; Reader configuration profile: edit the values, then write them to a reader with\n"
      << ";   uhf-readerctl apply FILE\n"
      << "; Read from " << OneLine(config.serialNumberText) << ", version "
      << OneLine(config.versionText) << ", reader kind " << static_cast<int>(config.readerKind)
      << ".\n"
      << "; Keys left out keep the reader's values.\n"
      << "[reader]\n";
  for (const std::string& name : ProfileKeys(config.readerKind, usbLink)) {
    const Key* key = FindKey(name);
    out << "\n; " << key->comment << '\n' << name << '=' << values.at(name) << '\n';
  }
  return out.str();
}

std::string ProfileError::Text() const {
  return line > 0 ? "line " + std::to_string(line) + ": " + what : what;
}

std::optional<ParsedProfile> ParseProfile(std::string_view text, ProfileError& error) {
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

std::optional<ProfileError> CheckProfile(const ParsedProfile& profile, Session& session) {
  const std::uint8_t kind = session.Dialog().ReaderKind();
  const bool usb = session.UsbLink();
  const ProfileValues shown = ProfileFromControls(session);
  const auto effective = [&](const char* name) -> std::string {
    if (auto it = profile.entries.find(name); it != profile.entries.end()) return it->second.value;
    if (auto it = shown.find(name); it != shown.end()) return it->second;
    return {};
  };
  // In line order, so the first problem of the file is the one named.
  std::vector<std::pair<int, std::string>> byLine;
  for (const auto& [name, entry] : profile.entries) byLine.emplace_back(entry.line, name);
  std::sort(byLine.begin(), byLine.end());
  for (const auto& [line, name] : byLine) {
    const Key& key = *FindKey(name);
    const std::string& value = profile.entries.at(name).value;
    if (!key.applies(kind, usb)) {
      return ProfileError{line, "\"" + name + "\" is not a setting of this reader (kind " +
                                    std::to_string(kind) + ", " +
                                    (usb ? "USB" : "serial or network") + " link)"};
    }
    if (auto problem = key.check(value, session, effective)) {
      return ProfileError{line, name + "=" + value + ": " + *problem};
    }
  }
  return std::nullopt;
}

void ApplyProfile(const ParsedProfile& profile, Session& session) {
  for (const Key& key : Keys()) {
    if (auto it = profile.entries.find(key.name); it != profile.entries.end()) {
      key.apply(it->second.value, session);
    }
  }
}

}  // namespace uhf::cli
