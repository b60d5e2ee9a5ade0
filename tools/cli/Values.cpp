#include "Values.h"

#include <charconv>
#include <string>

#include "CliError.h"
#include "protocol/ModuleFrame.h"

namespace cli {

namespace {

constexpr long long kHighestMilliseconds = 600000;

[[noreturn]] void Refuse(std::string_view what, const std::string& allowed, std::string_view text) {
  throw CliError(kExitBadUsage, std::string(what) + " must be " + allowed + ", not '" + std::string(text) + "'");
}

int InRange(std::string_view text, std::string_view what, long long low, long long high) {
  const std::optional<long long> v = ParseDecimal(text);
  if (!v || *v < low || *v > high) Refuse(what, std::to_string(low) + " to " + std::to_string(high), text);
  return static_cast<int>(*v);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<long long> ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-') return std::nullopt;
  return value;
}

int ParseChannel(std::string_view text) { return InRange(text, "channel", 1, 32); }

int ParseBaudCode(std::string_view text, std::string_view what) {
  const std::optional<long long> v = ParseDecimal(text);
  const int index = v && *v <= protocol::kBaudRates.back() ? protocol::BaudIndexOfRate(static_cast<int>(*v)) : -1;
  if (index < 0) {
    std::string rates = "one of";
    for (int rate : protocol::kBaudRates) rates += " " + std::to_string(rate);
    Refuse(what, rates, text);
  }
  return index + 1;
}

int ParseParity(std::string_view text) {
  static constexpr std::string_view kNames[] = {"no", "odd", "even"};
  for (int i = 0; i < 3; ++i) {
    if (SameIgnoringCase(text, kNames[i])) return i;
  }
  Refuse("parity", "no, odd or even", text);
}

int ParseGuestId(std::string_view text) { return InRange(text, "id", 0, 65535); }

int ParsePower(std::string_view text) { return InRange(text, "power", 1, 7); }

int ParseMilliseconds(std::string_view text, std::string_view what) {
  return InRange(text, what, 1, kHighestMilliseconds);
}

}  // namespace cli
