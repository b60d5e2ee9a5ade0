#include "ModuleReport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <cstdio>
#include <vector>

#include "CliError.h"
#include "Values.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"

namespace cli {

namespace {

bool ValidBaudCode(int code) { return code >= 1 && code <= static_cast<int>(protocol::kBaudRates.size()); }
bool ValidParity(int parity) { return parity >= 0 && parity < static_cast<int>(protocol::kParityNames.size()); }

}  // namespace

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

// A baud code as JSON: the rate, or a text for a code outside the table.
std::string BaudJson(int code) { return ValidBaudCode(code) ? BaudCodeText(code) : Quoted(BaudCodeText(code)); }

const char* const kProfileKeys = "module, channel, frequency, air, serial, id, power";

// The text a JSON number stands for, for the shared value checks and their messages.
std::string NumberText(const QJsonValue& v) {
  const double d = v.toDouble();
  if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
  return QString::number(d).toStdString();
}

class ProfileReader {
public:
  explicit ProfileReader(const std::string& sourceName) : source(sourceName) {}

  [[noreturn]] void Fail(const std::string& message) const { throw CliError(kExitBadUsage, source + ": " + message); }

  // Runs a shared check on a JSON number, naming the profile in its message.
  template <typename Check>
  int Number(const QJsonValue& v, const char* key, const char* allowed, Check check) const {
    if (!v.isDouble()) Fail(std::string(key) + " must be a number " + allowed);
    try {
      return check(NumberText(v));
    } catch (const CliError& e) {
      Fail(e.what());
    }
  }

  std::string Text(const QJsonValue& v, const char* key) const {
    if (!v.isString()) Fail(std::string(key) + " must be a text");
    return v.toString().toStdString();
  }

  const std::string source;
};

}  // namespace

bool ModuleReport::Empty() const {
  return !moduleType && !channel && !frequency && !airBaudCode && !serialBaudCode && !serialParity && !guestId &&
         !power;
}

std::string ModuleTypeText(std::uint8_t type) {
  if (const char* band = protocol::ModuleBandName(type)) return band;
  return "type " + std::to_string(type);
}

std::string BaudCodeText(int code) {
  if (ValidBaudCode(code)) return std::to_string(protocol::kBaudRates[static_cast<std::size_t>(code - 1)]);
  return "code " + std::to_string(code);
}

std::string ParityText(int parity) {
  if (ValidParity(parity)) return protocol::kParityNames[static_cast<std::size_t>(parity)];
  return "parity " + std::to_string(parity);
}

void AddFrequency(ModuleReport& report) {
  if (!report.moduleType || !report.channel) return;
  if (const char* f = protocol::ChannelFrequency(*report.moduleType, *report.channel - 1)) report.frequency = f;
}

std::string FormatPlain(const ModuleReport& r) {
  std::string out;
  if (r.moduleType) out += "module " + ModuleTypeText(*r.moduleType) + "\n";
  if (r.channel) out += "channel " + std::to_string(*r.channel) + (r.frequency ? " " + *r.frequency : "") + "\n";
  if (r.airBaudCode) out += "air " + BaudCodeText(*r.airBaudCode) + "\n";
  if (r.serialBaudCode && r.serialParity)
    out += "serial " + BaudCodeText(*r.serialBaudCode) + " " + ParityText(*r.serialParity) + "\n";
  if (r.guestId) {
    char id[16];
    std::snprintf(id, sizeof id, "%05d", *r.guestId);
    out += std::string("id ") + id + "\n";
  }
  if (r.power) out += "power " + std::to_string(*r.power) + "\n";
  return out;
}

std::string FormatJson(const ModuleReport& r) {
  std::vector<std::string> fields;
  if (r.moduleType) fields.push_back("\"module\":" + Quoted(ModuleTypeText(*r.moduleType)));
  if (r.channel) fields.push_back("\"channel\":" + std::to_string(*r.channel));
  if (r.frequency) fields.push_back("\"frequency\":" + Quoted(*r.frequency));
  if (r.airBaudCode) fields.push_back("\"air\":" + BaudJson(*r.airBaudCode));
  if (r.serialBaudCode && r.serialParity)
    fields.push_back("\"serial\":{\"baud\":" + BaudJson(*r.serialBaudCode) +
                     ",\"parity\":" + Quoted(ParityText(*r.serialParity)) + "}");
  if (r.guestId) fields.push_back("\"id\":" + std::to_string(*r.guestId));
  if (r.power) fields.push_back("\"power\":" + std::to_string(*r.power));
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + fields[i];
  return out + "}\n";
}

ModuleReport ParseProfile(std::string_view text, const std::string& source) {
  const ProfileReader in(source);
  QJsonParseError error{};
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
  if (error.error != QJsonParseError::NoError)
    in.Fail("not valid JSON (" + error.errorString().toStdString() + " at offset " + std::to_string(error.offset) + ")");
  if (!doc.isObject()) in.Fail("a profile is one JSON object, as `info --json` prints it");

  ModuleReport p;
  const QJsonObject object = doc.object();
  for (auto it = object.begin(); it != object.end(); ++it) {
    const std::string key = it.key().toStdString();
    const QJsonValue v = it.value();
    if (key == "module") {
      const std::string band = in.Text(v, "module");
      p.moduleType = protocol::ModuleTypeOfBand(band);
      if (!p.moduleType) in.Fail("module must be 433MHz or 490MHz, not '" + band + "'");
    } else if (key == "channel") {
      p.channel = in.Number(v, "channel", "1 to 32", [](const std::string& t) { return ParseChannel(t); });
    } else if (key == "frequency") {
      p.frequency = in.Text(v, "frequency");
    } else if (key == "air") {
      p.airBaudCode = in.Number(v, "air", "of the baud rate table", [](const std::string& t) { return ParseBaudCode(t, "air"); });
    } else if (key == "serial") {
      if (!v.isObject()) in.Fail("serial must be an object {\"baud\":B,\"parity\":P}");
      const QJsonObject serial = v.toObject();
      for (auto s = serial.begin(); s != serial.end(); ++s) {
        if (s.key() != "baud" && s.key() != "parity")
          in.Fail("unknown key 'serial." + s.key().toStdString() + "'; serial holds baud and parity");
      }
      if (!serial.contains("baud") || !serial.contains("parity")) in.Fail("serial needs both baud and parity");
      p.serialBaudCode = in.Number(serial.value("baud"), "serial baud", "of the baud rate table",
                                   [](const std::string& t) { return ParseBaudCode(t, "serial baud"); });
      const std::string parity = in.Text(serial.value("parity"), "serial parity");
      try {
        p.serialParity = ParseParity(parity);
      } catch (const CliError& e) {
        in.Fail(e.what());
      }
    } else if (key == "id") {
      p.guestId = in.Number(v, "id", "0 to 65535", [](const std::string& t) { return ParseGuestId(t); });
    } else if (key == "power") {
      p.power = in.Number(v, "power", "1 to 7", [](const std::string& t) { return ParsePower(t); });
    } else {
      in.Fail("unknown key '" + key + "'; a profile holds " + kProfileKeys);
    }
  }

  // The frequency only describes the channel; it must be the one the table gives.
  if (p.frequency) {
    if (!p.moduleType || !p.channel) in.Fail("frequency needs module and channel beside it");
    const char* expected = protocol::ChannelFrequency(*p.moduleType, *p.channel - 1);
    if (expected == nullptr || *p.frequency != expected) {
      in.Fail("frequency " + *p.frequency + " is not channel " + std::to_string(*p.channel) + " of a " +
              ModuleTypeText(*p.moduleType) + " module" + (expected ? std::string(" (") + expected + ")" : ""));
    }
  }
  if (!p.channel && !p.airBaudCode && !p.serialBaudCode && !p.guestId && !p.power)
    in.Fail("the profile holds no setting to write");
  return p;
}

}  // namespace cli
