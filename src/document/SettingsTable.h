#pragma once
// Every control of a lettering by its name: kind, range, start value and value after "Neu", with
// a reader and a writer on LetteringSettings. The window takes its ranges from here, the headless
// renderer sets values by name (--set NAME=VALUE), and "Neu" is checked against it.
//
// Values pass as doubles: a check or a radio button is 0 or 1, a list its item index, a colour
// 0x00BBGGRR. The text and the lettering font are not in the table; the picture size neither,
// since it only changes together with the boundary lines (PictureSize.h).

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/LetteringSettings.h"

namespace gw {

enum class SettingKind {
    IntegerSpin,  // whole-number spin field; the value read from its text is truncated
    DecimalSpin,  // SpiralEd
    Check,        // check box or toggle button: 0 off, 1 on
    Radio,        // one radio button of a group: 1 when it is the group's choice
    List,         // drop-down list or gallery: the item index
    Colour,       // 24-bit colour
};

struct SettingInfo {
    std::string_view name;
    SettingKind kind;
    double minimum;
    double maximum;
    double startValue;
    std::optional<double> newValue;  // what "Neu" sets; nullopt: "Neu" leaves it alone
    std::string_view group;          // radio buttons: the group they belong to
    double (*get)(const LetteringSettings&);
    // Takes a value already in range; a radio button given 0 leaves its group alone, since a
    // group always has one button chosen.
    void (*set)(LetteringSettings&, double);
};

std::span<const SettingInfo> SettingsTable();

// Exact, case-sensitive name; null when there is none.
const SettingInfo* FindSetting(std::string_view name);

// Reads a number: decimal with '.' or ',' as the decimal sign, an optional sign and exponent, or
// hexadecimal "0x..." (with an optional sign). Surrounding blanks are ignored. A number beyond a
// double's range reads as the largest double (or 0 when it is too small), so that bringing it into
// range gives the nearer bound. False for anything else, including an empty text, infinity and NaN.
bool ParseSettingNumber(std::string_view text, double& value);

// The value of a spin field's text while the user types: a text that is no number reads as the
// field's minimum; whole-number fields read the number truncated toward zero; no range applied.
double SpinValueFromText(const SettingInfo& info, std::string_view text);

// The decimal places a decimal spin field (SpiralEd) shows and holds.
constexpr int kDecimalSpinPlaces = 2;

// What the control holds once the value is brought into its range: the nearer bound outside it,
// truncated toward zero for whole-number fields, rounded to kDecimalSpinPlaces for SpiralEd, and
// NaN as the minimum.
double ClampSettingValue(const SettingInfo& info, double value);

// Sets a control by name from text, the value brought into range first; a colour also takes
// "#RRGGBB" and the CSS colour names. False with a German
// message in `error` for an unknown name or a value that is no number; nothing changes then.
bool SetSettingFromText(LetteringSettings& settings, std::string_view name, std::string_view text,
                        std::string* error = nullptr);

// The same for "NAME=VALUE".
bool ApplySettingAssignment(LetteringSettings& settings, std::string_view assignment,
                            std::string* error = nullptr);

}  // namespace gw
