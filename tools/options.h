#pragma once
// Argument scanning shared by the commands of rxtctl.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rxt::tools {

struct GlobalOptions {
    std::string bus;  // "--bus", overrides RXT_HID_BUS
    bool json = false;
    bool virtualDevices = false;
    bool help = false;
};

// Takes the global options out of args wherever they stand; false with a
// reason on a bad one.
bool takeGlobalOptions(std::vector<std::string>& args, GlobalOptions& options, std::string& error);

// "--name VALUE" pairs after the positional arguments.
class OptionMap {
  public:
    // Accepts only the listed names; false with a reason otherwise.
    bool parse(const std::vector<std::string>& args, size_t first,
               const std::vector<std::string_view>& allowed, std::string& error);
    bool has(std::string_view name) const;
    std::optional<std::string> text(std::string_view name) const;
    // Decimal or 0x-prefixed hexadecimal within [min, max].
    bool number(std::string_view name, long long min, long long max, long long& value,
                std::string& error) const;

  private:
    std::vector<std::pair<std::string, std::string>> values_;
};

bool parseNumber(std::string_view text, long long& value);
// Hex bytes, optionally separated by blanks, colons or commas.
bool parseHexBytes(std::string_view text, std::vector<uint8_t>& bytes);
std::string hexBytes(const uint8_t* data, size_t size);

}  // namespace rxt::tools
