#include "ModuleReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QLocale>

#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "CliError.h"
#include "Values.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"

namespace cli {

std::string Quoted(const std::string& text)
{
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
std::string BaudJson(int code) { return protocol::IsBaudCode(code) ? BaudCodeText(code) : Quoted(BaudCodeText(code)); }

// The number a table's frequency text stands for: "433.0682MHz" -> "433.0682".
std::string FrequencyNumber(const std::string& text)
{
    return text.ends_with("MHz") ? text.substr(0, text.size() - 3) : text;
}

constexpr int kProfileFormat = 1;
const char* const kProfileKeys = "format, module, band_mhz, channel, frequency, frequency_mhz, air, serial, id, power";

// The text a JSON number stands for, for the shared value checks and their messages.
std::string NumberText(const QJsonValue& v)
{
    const double d = v.toDouble();
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
    return QString::number(d, 'g', QLocale::FloatingPointShortest).toStdString();
}

bool Whole(const QJsonValue& v)
{
    const double d = v.toDouble();
    return std::isfinite(d) && d == std::floor(d);
}

// The first key that stands twice in one object ("serial.baud" inside serial), in text that is valid
// JSON: the parser keeps only the last of them, which would silently win.
std::optional<std::string> DuplicateKey(std::string_view text)
{
    struct Level {
        bool object = false;
        bool expectKey = false;
        std::string path;  // "serial." inside the object under "serial"
        std::string lastKey;
        std::set<QString> keys;
    };
    std::vector<Level> levels;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const std::size_t start = i;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\') ++i;
            }
            if (levels.empty() || !levels.back().object || !levels.back().expectKey) continue;
            // The key with its escapes resolved, so that "chan\u006eel" and "channel" are the same key.
            const std::string literal = "[" + std::string(text.substr(start, i + 1 - start)) + "]";
            const QString key = QJsonDocument::fromJson(QByteArray::fromStdString(literal)).array().at(0).toString();
            Level& level = levels.back();
            level.expectKey = false;
            level.lastKey = key.toStdString();
            if (!level.keys.insert(key).second) return level.path + level.lastKey;
        } else if (c == '{' || c == '[') {
            std::string path;
            if (!levels.empty()) path = levels.back().path + (levels.back().object ? levels.back().lastKey + "." : "");
            levels.push_back({c == '{', c == '{', path, {}, {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty() && levels.back().object) {
            levels.back().expectKey = true;
        }
    }
    return std::nullopt;
}

class ProfileReader {
public:
    explicit ProfileReader(const std::string& sourceName)
        : source(sourceName)
    { }

    [[noreturn]] void Fail(const std::string& message) const { throw CliError(kExitBadUsage, source + ": " + message); }

    // Runs a shared check on a JSON number, naming the profile and the key in its message.
    template <typename Check> int Number(const QJsonValue& v, const char* key, const char* allowed, Check check) const
    {
        if (!v.isDouble()) Fail(std::string(key) + " must be a number " + allowed);
        if (!Whole(v)) Fail(std::string(key) + " must be a whole number " + allowed + ", not '" + NumberText(v) + "'");
        try {
            return check(NumberText(v), key);
        } catch (const cmdline::BadValue& e) {
            Fail(e.what());
        }
    }

    std::string Text(const QJsonValue& v, const char* key) const
    {
        if (!v.isString()) Fail(std::string(key) + " must be a text");
        return v.toString().toStdString();
    }

    const std::string source;
};

}  // namespace

bool ModuleReport::Empty() const
{
    return !moduleType && !channel && !frequency && !airBaudCode && !serialBaudCode && !serialParity && !guestId
        && !power;
}

std::string ModuleTypeText(std::uint8_t type)
{
    if (const auto band = protocol::ModuleBandName(type)) return std::string(*band);
    return "type " + std::to_string(type);
}

std::string BaudCodeText(int code)
{
    if (const auto rate = protocol::BaudRateOfCode(code)) return std::to_string(*rate);
    return "code " + std::to_string(code);
}

std::string ParityText(int parity)
{
    if (protocol::IsParity(parity)) return protocol::kParityNames[static_cast<std::size_t>(parity)];
    return "parity " + std::to_string(parity);
}

void AddFrequency(ModuleReport& report)
{
    if (!report.moduleType || !report.channel) return;
    if (const auto f = protocol::ChannelFrequency(*report.moduleType, *report.channel - 1))
        report.frequency = std::string(*f);
}

std::string FormatPlain(const ModuleReport& r)
{
    std::string out;
    if (r.moduleType) out += "module " + ModuleTypeText(*r.moduleType) + "\n";
    if (r.channel) out += "channel " + std::to_string(*r.channel) + (r.frequency ? " " + *r.frequency : "") + "\n";
    if (r.airBaudCode) out += "air " + BaudCodeText(*r.airBaudCode) + "\n";
    if (r.serialBaudCode && r.serialParity)
        out += "serial " + BaudCodeText(*r.serialBaudCode) + " " + ParityText(*r.serialParity) + "\n";
    // A plain number, unlike the window's five digits: a shell takes a leading 0 for octal.
    if (r.guestId) out += "id " + std::to_string(*r.guestId) + "\n";
    if (r.power) out += "power " + std::to_string(*r.power) + "\n";
    return out;
}

std::string FormatJson(const ModuleReport& r, const std::string& port)
{
    std::vector<std::string> fields;
    if (!port.empty()) fields.push_back("\"port\":" + Quoted(port));
    fields.push_back("\"format\":" + std::to_string(kProfileFormat));
    if (r.moduleType) {
        fields.push_back("\"module\":" + Quoted(ModuleTypeText(*r.moduleType)));
        if (const auto band = protocol::ModuleBandMhz(*r.moduleType))
            fields.push_back("\"band_mhz\":" + std::to_string(*band));
    }
    if (r.channel) fields.push_back("\"channel\":" + std::to_string(*r.channel));
    if (r.frequency) {
        fields.push_back("\"frequency\":" + Quoted(*r.frequency));
        fields.push_back("\"frequency_mhz\":" + FrequencyNumber(*r.frequency));
    }
    if (r.airBaudCode) fields.push_back("\"air\":" + BaudJson(*r.airBaudCode));
    if (r.serialBaudCode && r.serialParity)
        fields.push_back("\"serial\":{\"baud\":" + BaudJson(*r.serialBaudCode)
                         + ",\"parity\":" + Quoted(ParityWordText(*r.serialParity)) + "}");
    if (r.guestId) fields.push_back("\"id\":" + std::to_string(*r.guestId));
    if (r.power) fields.push_back("\"power\":" + std::to_string(*r.power));
    if (!port.empty()) fields.push_back("\"exit\":0");
    std::string out = "{";
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += (i ? "," : "") + fields[i];
    return out + "}\n";
}

std::string ParityWordText(int parity)
{
    if (protocol::IsParity(parity)) return cmdline::ParityWord(parity);
    return "parity " + std::to_string(parity);
}

namespace {

// A profile being read: the settings, and the numbers that repeat texts until they are compared.
struct ProfileDraft {
    ModuleReport p;
    std::optional<int> bandMhz;
    std::optional<double> frequencyMhz;
};

void ReadSerialKey(const ProfileReader& in, const QJsonValue& v, ModuleReport& p)
{
    if (!v.isObject()) in.Fail("serial must be an object {\"baud\":B,\"parity\":P}");
    const QJsonObject serial = v.toObject();
    for (auto s = serial.begin(); s != serial.end(); ++s) {
        if (s.key() != "baud" && s.key() != "parity")
            in.Fail("unknown key '" + cmdline::Printable("serial." + s.key().toStdString())
                    + "'; serial holds baud and parity");
    }
    if (!serial.contains("baud") || !serial.contains("parity")) in.Fail("serial needs both baud and parity");
    p.serialBaudCode = in.Number(serial.value("baud"), "serial.baud", "of the baud rate table", cmdline::ParseBaudCode);
    // Profiles printed before the lower-case words carry "No", "ODD" and "Even": the same words in
    // another case.
    const std::string parity = in.Text(serial.value("parity"), "serial.parity");
    try {
        p.serialParity = cmdline::ParseParity(parity, "serial.parity");
    } catch (const cmdline::BadValue& e) {
        in.Fail(e.what());
    }
}

void ReadKey(const ProfileReader& in, const std::string& key, const QJsonValue& v, ProfileDraft& d)
{
    ModuleReport& p = d.p;
    if (key == "format") {
        in.Number(v, "format", "1", [&](const std::string& t, const char* k) {
            if (t != std::to_string(kProfileFormat))
                throw cmdline::BadValue(std::string(k) + " " + t + " is not known; this orvane-cli reads format 1");
            return kProfileFormat;
        });
    } else if (key == "module") {
        const std::string band = in.Text(v, "module");
        p.moduleType = protocol::ModuleTypeOfBand(band);
        if (!p.moduleType) in.Fail("module must be 433MHz or 490MHz, not '" + cmdline::Printable(band) + "'");
    } else if (key == "band_mhz") {
        d.bandMhz = in.Number(v, "band_mhz", "433 or 490", [](const std::string& t, const char* k) {
            if (t != "433" && t != "490")
                throw cmdline::BadValue(std::string(k) + " must be 433 or 490, not '" + t + "'");
            return std::stoi(t);
        });
    } else if (key == "channel") {
        p.channel = in.Number(v, "channel", "1 to 32", cmdline::ParseChannel);
    } else if (key == "frequency") {
        p.frequency = in.Text(v, "frequency");
    } else if (key == "frequency_mhz") {
        if (!v.isDouble()) in.Fail("frequency_mhz must be a number");
        d.frequencyMhz = v.toDouble();
    } else if (key == "air") {
        p.airBaudCode = in.Number(v, "air", "of the baud rate table", cmdline::ParseBaudCode);
    } else if (key == "serial") {
        ReadSerialKey(in, v, p);
    } else if (key == "id") {
        p.guestId = in.Number(v, "id", "0 to 65535", cmdline::ParseGuestId);
    } else if (key == "power") {
        p.power = in.Number(v, "power", "1 to 7", cmdline::ParsePower);
    } else {
        in.Fail("unknown key '" + cmdline::Printable(key) + "'; a profile holds " + kProfileKeys);
    }
}

// The numbers beside the texts repeat them; they must say the same.
void CheckRepeats(const ProfileReader& in, ProfileDraft& d)
{
    ModuleReport& p = d.p;
    if (d.bandMhz) {
        const std::uint8_t type = *d.bandMhz == 433 ? protocol::kModuleType433 : protocol::kModuleType490;
        if (p.moduleType && *p.moduleType != type)
            in.Fail("band_mhz " + std::to_string(*d.bandMhz) + " is not module " + ModuleTypeText(*p.moduleType));
        p.moduleType = type;
    }
    // The frequency only describes the channel; it must be the one the table gives.
    if (!p.frequency && !d.frequencyMhz) return;
    if (!p.moduleType || !p.channel) in.Fail("frequency needs module and channel beside it");
    const auto table = protocol::ChannelFrequency(*p.moduleType, *p.channel - 1);
    const std::optional<std::string> expected = table ? std::optional<std::string>(*table) : std::nullopt;
    const std::string given = p.frequency
        ? *p.frequency
        : QString::number(*d.frequencyMhz, 'g', QLocale::FloatingPointShortest).toStdString() + "MHz";
    const bool textDiffers = p.frequency && (!expected || *p.frequency != *expected);
    const bool numberDiffers
        = d.frequencyMhz && (!expected || std::fabs(*d.frequencyMhz - std::stod(FrequencyNumber(*expected))) > 5e-5);
    if (textDiffers || numberDiffers) {
        in.Fail("frequency " + cmdline::Printable(given) + " is not channel " + std::to_string(*p.channel) + " of a "
                + ModuleTypeText(*p.moduleType) + " module" + (expected ? " (" + *expected + ")" : ""));
    }
    if (!p.frequency) p.frequency = expected;
}

}  // namespace

ModuleReport ParseProfile(std::string_view text, const std::string& source)
{
    const ProfileReader in(source);
    QJsonParseError error{};
    const QJsonDocument doc
        = QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool braced = first != std::string_view::npos && text[first] == '{';
    // A number or a text alone is no JSON document to the parser: say what a profile is instead.
    if (!doc.isObject() && (error.error == QJsonParseError::NoError || !braced))
        in.Fail("a profile is one JSON object, as `info --json` prints it");
    if (error.error != QJsonParseError::NoError)
        in.Fail("not valid JSON (" + error.errorString().toStdString() + " at offset " + std::to_string(error.offset)
                + ")");
    if (const std::optional<std::string> twice = DuplicateKey(text))
        in.Fail("the key '" + cmdline::Printable(*twice) + "' stands twice");

    ProfileDraft draft;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        ReadKey(in, it.key().toStdString(), it.value(), draft);
    CheckRepeats(in, draft);
    const ModuleReport& p = draft.p;
    if (!p.channel && !p.airBaudCode && !p.serialBaudCode && !p.guestId && !p.power)
        in.Fail("the profile holds no setting to write");
    return p;
}

}  // namespace cli
