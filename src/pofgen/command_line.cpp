#include "pofgen/command_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "core/number_text.h"

namespace torvale {
namespace {

// The scale factor POFGEN assumes when it gets no "-s": the 32-bit float nearest to 0.0254.
constexpr float kDefaultScaleFactor = 0.0254f;

bool ReadsBackAs(const std::string& text, float value) {
    float back = 0.0f;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), back);
    return status == std::errc() && end == text.data() + text.size() && back == value;
}

// The exponent form of FormatSingle ("1.5E-05") with `digits` significant digits, trailing zeros dropped.
std::string ExponentForm(float value, int digits) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*E", digits - 1, static_cast<double>(value));
    std::string text(buffer);
    const std::size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    // Written again rather than taken from the C library, whose exponent digits differ between systems.
    const int exponent = std::atoi(text.c_str() + e + 1);
    const int magnitude = std::abs(exponent);
    return mantissa + (exponent < 0 ? "E-" : "E+") + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
}

void AppendSwitch(std::string& line, std::string_view name, std::string_view value = {}) {
    line += name;
    line += value;
    line += ' ';
}

}  // namespace

std::string FormatPofgenNumber(float value, char separator) {
    std::string text = FormatSingle(value, '.');
    if (std::isfinite(value) && value != 0.0f && std::fabs(value) < 1e-4f) {
        for (int digits = 8; !ReadsBackAs(text, value) && digits <= 9; ++digits)
            text = ExponentForm(value, digits);
    }
    if (separator != '.') {
        const std::size_t point = text.find('.');
        if (point != std::string::npos)
            text[point] = separator;
    }
    return text;
}

std::string AssemblePofgenCommandLine(const PofgenSwitches& switches) {
    std::string line;
    if (switches.scaleFactor)
        AppendSwitch(line, "-s", *switches.scaleFactor);
    if (switches.errorTolerance)
        AppendSwitch(line, "-e", *switches.errorTolerance);
    if (switches.shadingMode == 1)
        AppendSwitch(line, "-d1");
    if (switches.shadingMode == 2)
        AppendSwitch(line, "-d2");
    if (switches.chunkSplits) {
        const auto& splits = *switches.chunkSplits;
        AppendSwitch(line, "-n", splits[0] + "," + splits[1] + "," + splits[2]);
    }
    for (const PofgenSwitch& on : kPofgenSwitches) {
        if (switches.*on.flag)
            AppendSwitch(line, std::string{'-', on.letter});
    }
    return line;
}

PofgenSwitchFlags SwitchFlagsOf(const Settings& settings) {
    PofgenSwitchFlags flags;
    for (const PofgenSwitch& on : kPofgenSwitches)
        flags.*on.flag = (settings.*on.setting).isOn();
    return flags;
}

void StoreSwitchFlags(const PofgenSwitchFlags& flags, Settings& settings) {
    for (const PofgenSwitch& on : kPofgenSwitches)
        (settings.*on.setting).set(flags.*on.flag);
}

std::string BuildPofgenCommandLine(const Settings& settings, char separator) {
    PofgenSwitches switches;
    // Compared as 32-bit floats: a stored 0.0254 gives no switch.
    if (settings.scaleFactor > kDefaultScaleFactor)
        switches.scaleFactor = FormatPofgenNumber(settings.scaleFactor, separator);
    if (settings.errorTolerance > 0.0f)
        switches.errorTolerance = FormatPofgenNumber(settings.errorTolerance, separator);
    switches.shadingMode = settings.shadingMode;  // a value above 2 from the file gives no switch
    const auto& splits = settings.chunkSplits;
    if (splits[0] != 0 || splits[1] != 0 || splits[2] != 0)
        switches.chunkSplits = {FormatInteger(splits[0]), FormatInteger(splits[1]), FormatInteger(splits[2])};
    static_cast<PofgenSwitchFlags&>(switches) = SwitchFlagsOf(settings);
    return AssemblePofgenCommandLine(switches);
}

std::string BuildPofgenCommandLineFromDialog(const PofgenDialogControls& controls) {
    // The texts compare character by character by character code (std::string's comparison is by unsigned
    // byte); for the texts the boxes' checks leave this agrees with the numeric tests of the start-up build.
    PofgenSwitches switches;
    if (std::string_view(controls.scaleFactorText) > std::string_view("0.02540000"))
        switches.scaleFactor = controls.scaleFactorText;
    if (std::string_view(controls.errorToleranceText) > std::string_view("0.00000000"))
        switches.errorTolerance = controls.errorToleranceText;
    switches.shadingMode = controls.shadingOption;
    const auto& splits = controls.chunkSplitTexts;
    if (splits[0] + splits[1] + splits[2] != "000")
        switches.chunkSplits = splits;
    static_cast<PofgenSwitchFlags&>(switches) = controls;
    return AssemblePofgenCommandLine(switches);
}

}  // namespace torvale
