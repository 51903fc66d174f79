#pragma once
// The one description of every setting of a lettering, by the name of its control: kind, range,
// start value and value after "Neu", what a change of it does to the picture, how the document
// file stores it, and the name of its undo step; with a reader and a writer on LetteringSettings.
// Everything else is derived from this table: the model's start state and "Neu", the document
// reader and writer, the window's bindings and the writing of its controls, the spin fields,
// and the headless renderer's --set and --help.
//
// Values pass as doubles: a check or a radio button is 0 or 1, a list its item index, a colour
// 0x00BBGGRR. The text lines and the font name are strings and not in the table; the picture size
// neither, since it only changes together with the boundary lines (PictureSize.h).
//
// The rows stand in the order of the document file. The file's fixed layout does not grow: a new
// setting goes where it belongs on its tab, marked FileField::Extension, and the document keeps it
// in its extension block by the row's name (LetteringFile.cpp).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/LetteringSettings.h"
#include "document/Reactions.h"

namespace gw {

enum class SettingKind {
    IntegerSpin,  // whole-number spin field; the value read from its text is truncated
    DecimalSpin,  // SpiralEd
    Check,        // check box or toggle button: 0 off, 1 on
    Radio,        // one radio button of a group: 1 when it is the group's choice
    List,         // drop-down list or gallery: the item index
    Colour,       // 24-bit colour
};

// How a setting is held in the document file, little-endian. A radio group is stored once, at
// its first button, as the index of the chosen button.
enum class FileField {
    Extension,  // beyond the fixed layout: a record of the extension block, by the row's name
    Flag,       // one byte, 0 or 1; any non-zero byte reads as 1
    Byte,       // a list index or a radio group's index
    Int32,      // a spin value truncated toward zero, or a list index
    Float64,    // SpiralEd keeps its fraction
    Colour,     // int32; a high byte read back is dropped
};

// Whether a setting counts pixels of the picture, and along which side: such a measure keeps the
// look of a lettering only when it grows with the picture ("Effekte mitskalieren").
enum class PixelMeasure {
    None,
    Horizontal,  // with the picture's width
    Vertical,    // with its height
    Both,        // a softness or a width in every direction: with the smaller of the two
    // KBreiteEd: pixels (as Both) only while "Feste Breite" is on; otherwise a share of each
    // run of letter pixels, which follows the letters by itself.
    FixedEdgeWidth,
};

struct SettingInfo {
    std::string_view name;
    SettingKind kind;
    double minimum;
    double maximum;
    double startValue;
    std::optional<double> newValue;  // what "Neu" sets; nullopt: "Neu" leaves it alone
    std::string_view group;          // radio buttons: the group they belong to
    FileField stored;
    Change change;              // the row of the reaction table a change of it takes
    std::string_view undoName;  // the undo step's name; empty: not an undo step
    double (*get)(const LetteringSettings&);
    // Takes a value already in range; a radio button given 0 leaves its group alone, since a
    // group always has one button chosen.
    void (*set)(LetteringSettings&, double);
    PixelMeasure pixels = PixelMeasure::None;
};

std::span<const SettingInfo> SettingsTable();

// Exact, case-sensitive name; null when there is none.
const SettingInfo* FindSetting(std::string_view name);

// Every entry of the table to its start value (LetteringSettings' constructor does this).
void ApplyStartValues(LetteringSettings& settings);
// Every entry that has a value after "Neu" to that value; the others keep theirs.
void ApplyNewValues(LetteringSettings& settings);
// The buttons of a radio group in table order, and the index of the chosen one (-1: none).
std::span<const SettingInfo> RadioGroup(const SettingInfo& button);
int ChosenInGroup(const SettingInfo& button, const LetteringSettings& settings);

// The rule of a spin field, shared by the window's spin fields and the settings they hold.
struct SpinRule {
    double minimum;
    double maximum;
    int decimals;  // 0 for a whole-number field
};
SpinRule SpinRuleOf(const SettingInfo& info);
// The value of a spin field's text while the user types: a text that is no number reads as the
// field's minimum; whole-number fields read the number truncated toward zero; no range applied.
double SpinValueFromText(const SpinRule& rule, std::string_view text);
// What the field holds once the value is brought into its range: the nearer bound outside it,
// truncated toward zero for whole-number fields, rounded to the decimals otherwise, and NaN as
// the minimum.
double ClampSpinValue(const SpinRule& rule, double value);

// Reads a number: decimal with '.' or ',' as the decimal sign, an optional sign and exponent, or
// hexadecimal "0x..." (with an optional sign). Surrounding blanks are ignored. A number beyond a
// double's range reads as the largest double (or 0 when it is too small), so that bringing it into
// range gives the nearer bound. False for anything else, including an empty text, infinity and NaN.
bool ParseSettingNumber(std::string_view text, double& value);

double SpinValueFromText(const SettingInfo& info, std::string_view text);

// The decimal places a decimal spin field (SpiralEd) shows and holds.
constexpr int kDecimalSpinPlaces = 2;

// What the control holds once the value is brought into its range (ClampSpinValue; lists, checks
// and colours are whole numbers).
double ClampSettingValue(const SettingInfo& info, double value);

// Sets a control by name from text, the value brought into range first; a colour also takes
// "#RRGGBB" and the CSS colour names. False with a German
// message in `error` for an unknown name or a value that is no number; nothing changes then.
bool SetSettingFromText(LetteringSettings& settings, std::string_view name, std::string_view text,
                        std::string* error = nullptr);

// The same for "NAME=VALUE".
bool ApplySettingAssignment(LetteringSettings& settings, std::string_view assignment,
                            std::string* error = nullptr);

// A setting that counts pixels, scaled for a picture fx times wider and fy times higher.
struct ScaledMeasure {
    const SettingInfo* info;
    double value;      // the scaled value, rounded to the field, in the field's range
    bool heldAtLimit;  // the scaled value lay outside the range
};
// Every pixel measure of `settings` scaled, in table order; the settings are left alone.
std::vector<ScaledMeasure> ScaledPixelMeasures(const LetteringSettings& settings, double fx,
                                               double fy);

// The settings --set takes, one line each: name, range and start value.
std::string SettingsHelpText();

}  // namespace gw
