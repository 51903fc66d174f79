#include "document/SettingsTable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "document/Lettering.h"

namespace gw {
namespace {

const SettingInfo& Get(std::string_view name) {
    const SettingInfo* info = FindSetting(name);
    EXPECT_NE(info, nullptr) << name;
    return *info;
}

TEST(SettingsTable, StartValuesAreTheModelsStartState) {
    const LetteringSettings start;
    std::set<std::string_view> names;
    for (const SettingInfo& info : SettingsTable()) {
        EXPECT_TRUE(names.insert(info.name).second) << "twice: " << info.name;
        EXPECT_EQ(info.get(start), info.startValue) << info.name;
        EXPECT_LE(info.minimum, info.startValue) << info.name;
        EXPECT_GE(info.maximum, info.startValue) << info.name;
    }
}

TEST(SettingsTable, EveryRadioGroupHasOneButtonChosen) {
    std::map<std::string_view, int> chosen;
    for (const SettingInfo& info : SettingsTable())
        if (info.kind == SettingKind::Radio) chosen[info.group] += info.startValue == 1;
    for (const auto& [group, count] : chosen)
        EXPECT_EQ(count, 1) << group;
}

TEST(SettingsTable, RangesOfTheFields) {
    EXPECT_EQ(Get("KWinkEd").minimum, -180);
    EXPECT_EQ(Get("KWinkEd").maximum, 180);
    EXPECT_EQ(Get("KLichtEd").maximum, 500);
    EXPECT_EQ(Get("SWeichEd").maximum, 30);
    EXPECT_EQ(Get("SpiralEd").minimum, 0.6);
    EXPECT_EQ(Get("SpiralEd").kind, SettingKind::DecimalSpin);
    EXPECT_EQ(Get("Profil1Box").maximum, 3);
    EXPECT_EQ(Get("FrameStyle").maximum, 4);
    EXPECT_EQ(FindSetting("kwinked"), nullptr);
}

// "Neu" sets exactly the entries with a value after "Neu" and leaves every other one alone.
TEST(SettingsTable, NewResetsExactlyTheListedEntries) {
    Lettering lettering;
    InitStartState(lettering);
    LetteringSettings& s = lettering.settings;
    for (const SettingInfo& info : SettingsTable()) {
        if (info.kind == SettingKind::Radio) continue;
        info.set(s, info.startValue == info.maximum ? info.minimum : info.maximum);
    }
    s.SurfaceFrame1.kind = SurfaceKind::OwnTexture;
    s.SurfaceFrame2.kind = SurfaceKind::BuiltinTexture;
    s.deform = DeformMode::RandDeform;
    s.editMode = EditMode::DrawFace;
    s.Memo1 = {"x"};
    s.Font.name = "DejaVu Serif";
    const LetteringSettings before = s;

    ResetForNew(lettering);
    for (const SettingInfo& info : SettingsTable()) {
        const double expected = info.newValue ? *info.newValue : info.get(before);
        EXPECT_EQ(info.get(s), expected) << info.name;
    }
    EXPECT_EQ(s.Memo1, (std::vector<std::string>{"ZEF-LOR", "GbR"}));
    EXPECT_EQ(s.Font, before.Font);
}

// The document file stores every setting of the fixed layout; a radio group once, as a byte.
TEST(SettingsTable, DocumentFieldsAndHelpCoverTheTable) {
    std::size_t bytes = 0;
    const std::string help = SettingsHelpText();
    for (const SettingInfo& info : SettingsTable()) {
        EXPECT_NE(help.find("  " + std::string(info.name) + " "), std::string::npos) << info.name;
        switch (info.stored) {
            case FileField::Extension:
                break;
            case FileField::Flag:
            case FileField::Byte:
                bytes += info.kind != SettingKind::Radio || &RadioGroup(info).front() == &info;
                break;
            case FileField::Int32:
            case FileField::Colour:
                bytes += 4;
                break;
            case FileField::Float64:
                bytes += 8;
                break;
        }
        EXPECT_EQ(info.undoName.empty(), info.change == Change::EditMode) << info.name;
    }
    // 14 flags and choices, 4 radio groups, 11 spin values, FrameStyle, 4 colours, SpiralEd.
    EXPECT_EQ(bytes, 14u + 4u + 4u * (11 + 1 + 4) + 8u);
}

TEST(SpinText, NoNumberReadsAsMinimum) {
    EXPECT_EQ(SpinValueFromText(Get("StarkEd"), ""), 1);
    EXPECT_EQ(SpinValueFromText(Get("SWeichEd"), "abc"), 0);
    EXPECT_EQ(SpinValueFromText(Get("KWinkEd"), "x1"), -180);
    EXPECT_EQ(SpinValueFromText(Get("SpiralEd"), "--1"), 0.6);
}

TEST(SpinText, NumbersAsTyped) {
    EXPECT_EQ(SpinValueFromText(Get("KWinkEd"), "-45"), -45);
    EXPECT_EQ(SpinValueFromText(Get("StarkEd"), "12.7"), 12);
    EXPECT_EQ(SpinValueFromText(Get("StarkEd"), " 250 "), 250);  // no range while typing
    EXPECT_EQ(SpinValueFromText(Get("SpiralEd"), "2,25"), 2.25);
    EXPECT_EQ(SpinValueFromText(Get("SpiralEd"), "1.5e0"), 1.5);
}

TEST(SetByName, ValuesBroughtIntoRange) {
    LetteringSettings s;
    EXPECT_TRUE(SetSettingFromText(s, "KLichtEd", "900"));
    EXPECT_EQ(s.KLichtEd, 500);
    EXPECT_TRUE(SetSettingFromText(s, "SRightEd", "-250"));
    EXPECT_EQ(s.SRightEd, -100);
    EXPECT_TRUE(SetSettingFromText(s, "SpiralEd", "0.1"));
    EXPECT_EQ(s.SpiralEd, 0.6);
    EXPECT_TRUE(ApplySettingAssignment(s, "SpiralEd=3.75"));
    EXPECT_EQ(s.SpiralEd, 3.75);
    EXPECT_TRUE(ApplySettingAssignment(s, "KWinkEd=-90.9"));
    EXPECT_EQ(s.KWinkEd, -90);
    EXPECT_TRUE(ApplySettingAssignment(s, "Profil2Box=7"));
    EXPECT_EQ(s.Profil2Box, 3);
    // SpiralEd holds what its field shows: two decimals.
    EXPECT_TRUE(ApplySettingAssignment(s, "SpiralEd=1.234"));
    EXPECT_EQ(s.SpiralEd, 1.23);
    EXPECT_TRUE(ApplySettingAssignment(s, "SpiralEd=2,999"));
    EXPECT_EQ(s.SpiralEd, 3.0);
    // Numbers beyond a double's range are numbers still, and take the nearer bound.
    EXPECT_TRUE(ApplySettingAssignment(s, "KLichtEd=1e400"));
    EXPECT_EQ(s.KLichtEd, 500);
    EXPECT_TRUE(ApplySettingAssignment(s, "KWinkEd=-1e400"));
    EXPECT_EQ(s.KWinkEd, -180);
    EXPECT_TRUE(ApplySettingAssignment(s, "KWinkEd=1e-400"));
    EXPECT_EQ(s.KWinkEd, 0);
    EXPECT_TRUE(ApplySettingAssignment(s, "KLichtEd=0.0000001e320"));
    EXPECT_EQ(s.KLichtEd, 500);
    EXPECT_TRUE(ApplySettingAssignment(s, "KLichtEd=" + std::string(400, '9')));
    EXPECT_EQ(s.KLichtEd, 500);
    EXPECT_TRUE(ApplySettingAssignment(s, "KLichtEd=0x" + std::string(300, 'F')));
    EXPECT_EQ(s.KLichtEd, 500);
}

TEST(SetByName, ColoursChecksAndRadioButtons) {
    LetteringSettings s;
    EXPECT_TRUE(ApplySettingAssignment(s, "SColorShape=0x00FF80"));
    EXPECT_EQ(s.SColorShape, 0x00FF80u);
    EXPECT_TRUE(ApplySettingAssignment(s, "SurfaceFrame2.Color=0x1FFFFFF"));
    EXPECT_EQ(s.SurfaceFrame2.color, 0xFFFFFFu);
    EXPECT_TRUE(ApplySettingAssignment(s, "RColorShape=-0x10"));
    EXPECT_EQ(s.RColorShape, 0u);

    EXPECT_TRUE(ApplySettingAssignment(s, "SurfaceFrame1.TextureCheck=1"));
    EXPECT_EQ(s.SurfaceFrame1.kind, SurfaceKind::OwnTexture);
    EXPECT_TRUE(ApplySettingAssignment(s, "SurfaceFrame1.TextureCheck=0"));
    EXPECT_EQ(s.SurfaceFrame1.kind, SurfaceKind::OwnTexture);
    EXPECT_TRUE(ApplySettingAssignment(s, "SinDeform=1"));
    EXPECT_EQ(s.deform, DeformMode::SinDeform);
    EXPECT_TRUE(ApplySettingAssignment(s, "DrawFace=1"));
    EXPECT_EQ(s.editMode, EditMode::DrawFace);

    EXPECT_TRUE(ApplySettingAssignment(s, "FettBtn=1"));
    EXPECT_TRUE(s.Font.bold);
    EXPECT_TRUE(s.Font.bold);
    EXPECT_TRUE(ApplySettingAssignment(s, "KQualCheck=0"));
    EXPECT_FALSE(s.KQualCheck);
}

TEST(SetByName, Errors) {
    LetteringSettings s;
    const LetteringSettings before = s;
    std::string error;
    EXPECT_FALSE(ApplySettingAssignment(s, "Farbe=1", &error));
    EXPECT_EQ(error, "Unbekannte Einstellung \"Farbe\".");
    EXPECT_FALSE(ApplySettingAssignment(s, "StarkEd=viel", &error));
    EXPECT_EQ(error, "Der Wert \"viel\" für StarkEd ist keine Zahl.");
    EXPECT_FALSE(ApplySettingAssignment(s, "StarkEd=", &error));
    EXPECT_FALSE(ApplySettingAssignment(s, "StarkEd=nan", &error));
    EXPECT_FALSE(ApplySettingAssignment(s, "StarkEd=0x", &error));
    EXPECT_FALSE(ApplySettingAssignment(s, "StarkEd", &error));
    EXPECT_EQ(error, "Erwartet wird NAME=WERT, nicht \"StarkEd\".");
    EXPECT_EQ(s, before);
}

}  // namespace
}  // namespace gw
