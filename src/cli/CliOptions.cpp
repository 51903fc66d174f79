#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string_view>

#include "document/ColourNames.h"
#include "document/Lettering.h"
#include "document/LetteringFile.h"
#include "document/SettingsTable.h"
#include "platform/Catalogue.h"
#include "raster/ImageFiles.h"
#include "render/Presets.h"

namespace gw {

using catalogue::Fill;
using catalogue::Tr;

namespace {

// The presets' galleries by the word --list takes.
struct PresetKind {
    std::string_view list;
    std::string_view option;
    std::span<const std::string_view> names;
};
constexpr PresetKind kPresetKinds[] = {
    {"envelopes", "--envelope", kEnvelopePresetNames},
    {"edges", "--edge", kEdgePresetNames},
    {"shadows", "--shadow", kShadowPresetNames},
    {"frames", "--frame", kFramePresetNames},
};

std::string_view ListKindOf(std::string_view option) {
    for (const PresetKind& kind : kPresetKinds)
        if (kind.option == option) return kind.list;
    return {};
}

bool ParseInt(std::string_view text, std::int32_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool ParsePreset(const std::string& option, std::string_view text,
                 std::span<const std::string_view> names, std::optional<int>& target,
                 std::string& error) {
    // No preset is called by a number: a number is the preset's own, and the names (the English
    // ones read from the catalogue) are looked at only for a word.
    std::int32_t index = -1;
    if (!ParseInt(text, index)) index = FindPresetName(names, text);
    if (index < 0 || index >= std::ssize(names)) {
        error = Fill(Tr("Die Option %1 erwartet eine Zahl von 0 bis %2 oder einen Namen "
                        "(glyphwerk-render --list %3), nicht \"%4\"."),
                     {option, std::to_string(names.size() - 1), ListKindOf(option), text});
        return false;
    }
    target = index;
    return true;
}

bool ParseSize(std::string_view text, CliOptions& options, std::string& error) {
    const std::size_t x = text.find_first_of("xX");
    std::int32_t w = 0, h = 0;
    if (x == std::string_view::npos || !ParseInt(text.substr(0, x), w) ||
        !ParseInt(text.substr(x + 1), h) || w < 10 || w > 9999 || h < 10 || h > 9999) {
        error = Fill(Tr("Die Option --size erwartet BREITExHÖHE mit Werten von 10 bis 9999, "
                        "nicht \"%1\"."),
                     {text});
        return false;
    }
    options.width = w;
    options.height = h;
    return true;
}

bool ParseFit(std::string_view text, CliOptions& options, std::string& error) {
    std::int32_t side = 0;
    if (!ParseInt(text, side) || side < 10 || side > 9999) {
        error = Fill(Tr("Die Option --fit erwartet eine Pixelzahl von 10 bis 9999, nicht \"%1\"."),
                     {text});
        return false;
    }
    options.fit = side;
    return true;
}

// `what` is a whole sentence with the option (%1), the bounds (%2, %3) and the value (%4).
bool ParseBounded(std::string_view option, std::string_view text, std::int32_t low,
                  std::int32_t high, const char* what, std::int32_t& target, std::string& error) {
    std::int32_t number = 0;
    if (!ParseInt(text, number) || number < low || number > high) {
        error = Fill(Tr(what), {option, std::to_string(low), std::to_string(high), text});
        return false;
    }
    target = number;
    return true;
}

bool ParseAlign(std::string_view text, CliOptions& options, std::string& error) {
    if (text == "left" || text == "links") {
        options.align = 0;
    } else if (text == "center" || text == "zentriert") {
        options.align = 1;
    } else if (text == "right" || text == "rechts") {
        options.align = 2;
    } else {
        error =
            Fill(Tr("Die Option --align erwartet left, center oder right, nicht \"%1\"."), {text});
        return false;
    }
    return true;
}

// A colour as people write it: #RGB, #RRGGBB, rgb(R,G,B) with 0 to 255 each, or a CSS name.
std::optional<std::uint32_t> ParsePlainColour(std::string_view text) {
    if (text.size() == 4 && text[0] == '#') {
        std::string wide = "#";
        for (const char c : text.substr(1))
            wide += std::string(2, c);
        return ParseColourName(wide);
    }
    if (text.starts_with("rgb(") && text.ends_with(")")) {
        std::string_view rest = text.substr(4, text.size() - 5);
        std::uint32_t colour = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const std::size_t comma = channel < 2 ? rest.find(',') : rest.size();
            if (comma == std::string_view::npos) return std::nullopt;
            std::string_view part = rest.substr(0, comma);
            while (!part.empty() && part.front() == ' ')
                part.remove_prefix(1);
            while (!part.empty() && part.back() == ' ')
                part.remove_suffix(1);
            std::int32_t value = 0;
            if (!ParseInt(part, value) || value < 0 || value > 255) return std::nullopt;
            // Red in the low byte, as the program keeps its colours.
            colour |= std::uint32_t(value) << (8 * channel);
            rest = comma < rest.size() ? rest.substr(comma + 1) : std::string_view();
        }
        return colour;
    }
    if (const std::optional<TColor> named = ParseColourName(text)) return std::uint32_t(*named);
    return std::nullopt;
}

bool TakeInput(const std::string& arg, CliOptions& options, std::string& error) {
    if (!options.input.empty()) {
        error =
            Fill(Tr("Nur eine Schriftzug-Datei kann gelesen werden, nicht auch \"%1\"."), {arg});
        return false;
    }
    options.input = arg;
    return true;
}

// The words --lang takes.
std::optional<catalogue::Language> LanguageWord(std::string_view word) {
    if (word == "de") return catalogue::Language::German;
    if (word == "en") return catalogue::Language::English;
    return std::nullopt;
}

constexpr const char* kNumberFromTo =
    N_("Die Option %1 erwartet eine Zahl von %2 bis %3, nicht \"%4\".");

// What the shells offer for an option's value.
enum class Complete { Nothing, File, Folder, Choice };

using Apply = bool (*)(CliOptions&, const std::string& name, const std::string& value,
                       std::string& error);

// One option: its names, the name of its value in the help (empty: it takes none), and its help
// text, lines separated by '\n'. An entry without a long name is a heading of the help.
struct OptionSpec {
    char shortName;
    std::string_view longName;
    std::string_view value;
    Complete complete;
    std::string_view help;
    Apply apply;
};

// An empty name would otherwise read as "no such output" and the run would write nothing.
bool FileValue(std::string& target, const std::string& name, const std::string& value,
               std::string& error) {
    if (value.empty()) {
        error = Fill(Tr("Der Option %1 fehlt ihr Wert."), {name});
        return false;
    }
    target = value;
    return true;
}

template <std::optional<std::uint32_t> CliOptions::*Target>
bool ApplyColour(CliOptions& o, const std::string& name, const std::string& value,
                 std::string& error) {
    o.*Target = ParsePlainColour(value);
    if (!(o.*Target))
        error = Fill(Tr("Die Option %1 erwartet eine Farbe als #RGB, #RRGGBB, rgb(R,G,B) oder "
                        "CSS-Farbname, nicht \"%2\"."),
                     {name, value});
    return (o.*Target).has_value();
}

template <bool CliOptions::*Target>
bool ApplyFlag(CliOptions& o, const std::string&, const std::string&, std::string&) {
    o.*Target = true;
    return true;
}

bool ApplyShard(CliOptions& o, const std::string&, const std::string& value, std::string& error) {
    const std::size_t slash = value.find('/');
    std::int32_t shard = 0, shards = 0;
    if (slash == std::string::npos || !ParseInt(std::string_view(value).substr(0, slash), shard) ||
        !ParseInt(std::string_view(value).substr(slash + 1), shards) || shards < 1 || shard < 1 ||
        shard > shards) {
        error = Fill(Tr("Die Option --shard erwartet I/N mit 1 <= I <= N, nicht \"%1\"."), {value});
        return false;
    }
    o.shard = shard;
    o.shards = shards;
    return true;
}

const OptionSpec kOptions[] = {
    {0, {}, {}, Complete::Nothing, N_("Ausgabe (mindestens eine):"), nullptr},
    {'o', "--output", N_("DATEI"), Complete::File,
     N_("das fertige Bild schreiben; das Format folgt der Endung:\n"
        ".png (genau die Bildbytes), .bmp, .jpg, .jpeg, .webp,\n"
        ".pdf (eine Seite in Bildgröße bei der Auflösung, ohne\n"
        "--dpi 96 dpi) oder .svg (Vektorgrafik: die Buchstaben als\n"
        "Pfade, darunter Hintergrund, Rahmen und Schatten als ein\n"
        "Bild; Größe in Pixeln, mit --dpi in Millimetern);\n"
        "-o - schreibt es auf die Standardausgabe (PNG);\n"
        "kurz auch -oDATEI"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return FileValue(o.output, n, v, e);
     }},
    {0, "--format", "png|bmp|jpg|webp|pdf|svg", Complete::Choice,
     N_("das Format des Bildes, unabhängig von der Endung"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.format = v;
         return true;
     }},
    {0,
     "--vector",
     {},
     Complete::Nothing,
     N_("das PDF als Vektorgrafik wie das SVG; ohne die Option ist\n"
        "es eine Seite mit dem Bild, verlustfrei"),
     ApplyFlag<&CliOptions::vector>},
    {0,
     "--outlines",
     {},
     Complete::Nothing,
     N_("nur die Umrisse der Buchstaben, für Schneideplotter und\n"
        "Laser: SVG oder PDF in Millimetern (nach --dpi, ohne 96 dpi),\n"
        "Haarlinien ohne Füllung, überlappende Buchstaben zu einem\n"
        "Umriss verschmolzen; nicht mit --scale oder --smooth"),
     ApplyFlag<&CliOptions::outlines>},
    {0, "--save", N_("DATEI"), Complete::File, N_("den Schriftzug als .zgw-Datei speichern"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return FileValue(o.save, n, v, e);
     }},
    {0, "--stages", N_("ORDNER"), Complete::Folder,
     N_("zusätzlich die Ebenen als PNG in ORDNER schreiben:\n"
        "letters.png (Buchstaben schwarz auf weiß), textimage.png,\n"
        "textmask.png und unfiltered.png (das Bild vor dem Weichzeichnen)"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return FileValue(o.stagesDir, n, v, e);
     }},

    {0,
     {},
     {},
     Complete::Nothing,
     N_("Druckqualität (nur für die Ausgabe, nie im Schriftzug gespeichert):"),
     nullptr},
    {0, "--scale", "K", Complete::Nothing,
     N_("das Bild K-mal so breit und hoch zeichnen (1 bis 8), mit\n"
        "allen Pixelmaßen (Schatten, feste Kantenbreite) mal K;\n"
        "höchstens 16384 Pixel je Seite und 256 Millionen Pixel"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParseBounded(n, v, 1, 8, kNumberFromTo, o.scale, e);
     }},
    {0,
     "--smooth",
     {},
     Complete::Nothing,
     N_("Kanten glätten: vierfach gezeichnet, je 4 x 4 Pixel gemittelt"),
     ApplyFlag<&CliOptions::smooth>},
    {0,
     "--transparent",
     {},
     Complete::Nothing,
     N_("Hintergrund transparent (nur PNG, PDF, WebP und SVG)"),
     ApplyFlag<&CliOptions::transparent>},
    {0, "--quality", "Q", Complete::Nothing,
     N_("Qualität der verlustbehafteten Formate (1 bis 100): JPEG\n"
        "(ohne die Option 92); WebP wird damit verlustbehaftet,\n"
        "ohne sie verlustfrei gespeichert"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParseBounded(n, v, 1, kMaxQuality, kNumberFromTo, o.quality, e);
     }},
    {0, "--dpi", "D", Complete::Nothing,
     N_("die Auflösung (1 bis 10000 dpi) in PNG und JPEG eintragen;\n"
        "bestimmt die Seitengröße des PDF und die Größe des SVG in mm"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParseBounded(
             n, v, 1, kMaxDpi,
             N_("Die Option %1 erwartet eine Auflösung in dpi von %2 bis %3, nicht \"%4\"."), o.dpi,
             e);
     }},

    {0, {}, {}, Complete::Nothing, N_("Bild und Text:"), nullptr},
    {0, "--size", N_("BREITExHÖHE"), Complete::Nothing,
     N_("neue Bildgröße (10 bis 9999), Schriftzug mitskaliert"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string& e) {
         return ParseSize(v, o, e);
     }},
    {0, "--fit", "PIXEL", Complete::Nothing,
     N_("das Bild so verkleinern, dass seine längere Seite höchstens\n"
        "PIXEL misst (10 bis 9999), Seitenverhältnis und Schriftzug\n"
        "mitskaliert; für Vorschaubilder"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string& e) {
         return ParseFit(v, o, e);
     }},
    {0, "--text", "TEXT", Complete::Nothing,
     N_("der Text, so gezeichnet, wie er dasteht; \\n trennt die\n"
        "Zeilen; jedes & wird im Schriftzug verdoppelt (gespeichert\n"
        "als &&), damit es als & erscheint; die Höchstlänge zählt\n"
        "den Text so, wie ihn der Schriftzug speichert"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.text = v;
         return true;
     }},
    {0,
     "--text-raw",
     {},
     Complete::Nothing,
     N_("Text und Stapelzeilen wie im Fenster: ein einzelnes &\n"
        "unterstreicht das Zeichen danach, && ergibt ein & (so galt\n"
        "es früher auch ohne diese Option)"),
     ApplyFlag<&CliOptions::textRaw>},
    {0, "--font", "NAME", Complete::Nothing,
     N_("die Schriftart (Groß- und Kleinschreibung gleich, gespeichert\n"
        "wird der installierte Name); ist sie nicht installiert, wird\n"
        "eine Ersatzschrift gezeichnet und auf stderr genannt"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.font = v;
         return true;
     }},
    {0, "--bold", {}, Complete::Nothing, N_("fett"), ApplyFlag<&CliOptions::bold>},
    {0, "--italic", {}, Complete::Nothing, N_("kursiv"), ApplyFlag<&CliOptions::italic>},
    {0, "--align", "left|center|right", Complete::Choice, N_("Ausrichtung der Zeilen"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string& e) {
         return ParseAlign(v, o, e);
     }},

    {0,
     {},
     {},
     Complete::Nothing,
     N_("Farben, als #RGB, #RRGGBB, rgb(R,G,B) (je 0 bis 255) oder CSS-Name (navy, gold):"),
     nullptr},
    {0, "--color", N_("FARBE"), Complete::Nothing,
     N_("die Farbe der Buchstaben (wählt die Farbe als Textoberfläche)"),
     ApplyColour<&CliOptions::textColour>},
    {0, "--background", N_("FARBE"), Complete::Nothing,
     N_("die Farbe des Hintergrunds (wählt die Farbe als Oberfläche)"),
     ApplyColour<&CliOptions::backgroundColour>},
    {0, "--shadow-color", N_("FARBE"), Complete::Nothing, N_("die Farbe des Schattens"),
     ApplyColour<&CliOptions::shadowColour>},
    {0, "--frame-color", N_("FARBE"), Complete::Nothing, N_("die Farbe des Rahmens"),
     ApplyColour<&CliOptions::frameColour>},

    {0, {}, {}, Complete::Nothing, N_("Oberflächen:"), nullptr},
    {0, "--text-texture", N_("DATEI"), Complete::File,
     N_("eigene Textur der Buchstaben (wählt \"Eigene Textur\")"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.textTexture = v;
         return true;
     }},
    {0, "--background-texture", N_("DATEI"), Complete::File,
     N_("eigene Textur des Hintergrunds (wählt \"Eigene Textur\")"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.backgroundTexture = v;
         return true;
     }},

    {0,
     {},
     {},
     Complete::Nothing,
     N_("Vorlagen, als Nummer oder Name (Groß- und Kleinschreibung gleich):"),
     nullptr},
    {0, "--envelope", "N|NAME", Complete::Nothing, N_("Hüllform 0 bis 26, z. B. 7 oder Welle"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParsePreset(n, v, kEnvelopePresetNames, o.envelope, e);
     }},
    {0, "--spiral", "T", Complete::Nothing,
     N_("die Spirale (Hüllform 19) mit T Windungen (0.6 bis 10)"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string& e) {
         double turns = 0;
         if (!ParseSettingNumber(v, turns)) {
             e = Fill(Tr("Die Option --spiral erwartet eine Zahl, nicht \"%1\"."), {v});
             return false;
         }
         o.spiral = turns;
         return true;
     }},
    {0, "--edge", "N|NAME", Complete::Nothing, N_("3D-Kante 0 bis 10 (0: Keine)"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParsePreset(n, v, kEdgePresetNames, o.edge, e);
     }},
    {0, "--shadow", "N|NAME", Complete::Nothing, N_("Schatten 0 bis 7 (0: Keiner)"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParsePreset(n, v, kShadowPresetNames, o.shadow, e);
     }},
    {0, "--frame", "N|NAME", Complete::Nothing, N_("Rahmen 0 bis 4 (0: Keiner)"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParsePreset(n, v, kFramePresetNames, o.frame, e);
     }},
    {0, "--list", "envelopes|edges|shadows|frames", Complete::Choice,
     N_("Nummer und Name jeder Vorlage ausgeben und enden"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.list = v;
         return true;
     }},

    {0, {}, {}, Complete::Nothing, N_("Einstellungen:"), nullptr},
    {0, "--set", N_("NAME=WERT"), Complete::Nothing,
     N_("eine Einstellung über den Namen ihres Bedienelements setzen,\n"
        "z. B. KWinkEd=-30, SchattenCheck=1, SColorShape=0x0000FF,\n"
        "SinDeform=1, SurfaceFrame2.Color=0xC0FFFF; Zahlen für Farben\n"
        "sind 0xBBGGRR (blau, grün, rot: 0x0000FF ist rot), Farben\n"
        "auch als #RRGGBB (rot, grün, blau) oder CSS-Farbname;\n"
        "Werte außerhalb des Bereichs werden auf die nächste Grenze\n"
        "gesetzt; beliebig oft"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.assignments.push_back(v);
         return true;
     }},

    {0, {}, {}, Complete::Nothing, N_("Stapel:"), nullptr},
    {0, "--batch", N_("LISTE"), Complete::File,
     N_("jede Zeile der Datei LISTE (- für die Standardeingabe) ist ein\n"
        "Text, gezeichnet wie mit --text und den übrigen Optionen; -o ist\n"
        "ein Muster mit {n} (die Zeilennummer ab 1) oder {text} (der Text,\n"
        "wie er in der Zeile steht: Buchstaben, Ziffern, - und _ bleiben,\n"
        "alles andere wird _, höchstens 40 Bytes; hat eine andere Zeile\n"
        "den Namen schon, bekommt er -{n} dazu, und -2, -3 ..., wenn auch\n"
        "der vergeben ist). Leere Zeilen werden übersprungen und auf\n"
        "stderr gezählt; {n} bleibt die Nummer der Zeile in der Datei.\n"
        "Die Liste hat höchstens 16 MiB.\n"
        "Nicht mit --save, --stages oder --text. Die Zeilen werden\n"
        "gleichzeitig gezeichnet; eine fehlgeschlagene wird mit ihrer\n"
        "Nummer gemeldet, die übrigen gehen weiter."),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.batch = v;
         return true;
     }},
    {0, "--shard", "I/N", Complete::Nothing,
     N_("mit --batch nur die Zeilen n zeichnen, für die n mod N = I - 1\n"
        "ist, unter denselben Namen wie im ganzen Lauf: N Läufe mit I = 1\n"
        "bis N, etwa auf N Rechnern gleicher Architektur mit denselben\n"
        "Schriften, ergeben genau die Dateien eines Laufs"),
     ApplyShard},

    {0, {}, {}, Complete::Nothing, "", nullptr},
    {0, "--time-limit", N_("SEKUNDEN"), Complete::Nothing,
     N_("nach so vielen Sekunden Rechenzeit (1 bis 86400) mit einer\n"
        "Meldung und Rückgabewert 1 abbrechen; für Vorschaubilder"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParseBounded(n, v, 1, 86400,
                             N_("Die Option %1 erwartet Sekunden von %2 bis %3, nicht \"%4\"."),
                             o.timeLimit, e);
     }},
    {0, "--memory-limit", "MIB", Complete::Nothing,
     N_("höchstens so viel Adressraum (64 bis 1048576 MiB) belegen;\n"
        "reicht er nicht, endet der Lauf mit der Speichermeldung und 1"),
     [](CliOptions& o, const std::string& n, const std::string& v, std::string& e) {
         return ParseBounded(n, v, 64, 1048576,
                             N_("Die Option %1 erwartet MiB von %2 bis %3, nicht \"%4\"."),
                             o.memoryLimit, e);
     }},

    {0,
     "--fonts",
     {},
     Complete::Nothing,
     N_("die Namen der installierten Schriftarten ausgeben, wie sie\n"
        "die Schriftliste des Programms zeigt, und enden"),
     ApplyFlag<&CliOptions::listFonts>},
    {0, "--completion", "bash|zsh", Complete::Choice,
     N_("die Vervollständigung für die Shell ausgeben und enden"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string&) {
         o.completion = v;
         return true;
     }},
    {0, "--lang", "de|en", Complete::Choice,
     N_("die Sprache der Hilfe, der Meldungen und der Namen der\n"
        "Vorlagen: de (Deutsch) oder en (Englisch); ohne die Option\n"
        "die der Umgebung (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)"),
     [](CliOptions& o, const std::string&, const std::string& v, std::string& e) {
         if (!LanguageWord(v)) {
             e = Fill(Tr("Die Option --lang erwartet de oder en, nicht \"%1\"."), {v});
             return false;
         }
         o.language = v;
         return true;
     }},
    {'h', "--help", {}, Complete::Nothing, N_("diese Hilfe"), ApplyFlag<&CliOptions::help>},
    {0,
     "--version",
     {},
     Complete::Nothing,
     N_("die Versionsnummer ausgeben"),
     ApplyFlag<&CliOptions::version>},
};

const OptionSpec* FindLong(std::string_view name) {
    for (const OptionSpec& option : kOptions)
        if (!option.longName.empty() && option.longName == name) return &option;
    return nullptr;
}

const OptionSpec* FindShort(char name) {
    for (const OptionSpec& option : kOptions)
        if (option.shortName != 0 && option.shortName == name) return &option;
    return nullptr;
}

// The table's texts in the chosen language. The values of a choice are words the option takes.
std::string_view HelpOf(const OptionSpec& option) {
    return option.help.empty() ? option.help : Tr(option.help.data());
}
std::string_view ValueOf(const OptionSpec& option) {
    return option.value.empty() || option.complete == Complete::Choice ? option.value
                                                                       : Tr(option.value.data());
}

// "-o, --output DATEI", as the help's left column and the completion's descriptions name it.
std::string Synopsis(const OptionSpec& option) {
    std::string text;
    if (option.shortName) text.append("-").append(1, option.shortName).append(", ");
    text.append(option.longName);
    if (!option.value.empty()) text.append(" ").append(ValueOf(option));
    return text;
}

std::vector<std::string_view> Lines(std::string_view text, char separator = '\n') {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        lines.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) return lines;
        at = end + 1;
    }
}

// A description for zsh: the help up to its first "; " or ": " outside parentheses, on one line,
// without the characters _arguments gives a meaning.
std::string ZshDescription(const OptionSpec& option) {
    const std::string_view help = HelpOf(option);
    std::string text;
    int depth = 0;
    for (std::size_t i = 0; i < help.size(); ++i) {
        const char c = help[i];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth == 0 && (c == ';' || c == ':') && i + 1 < help.size() &&
            (help[i + 1] == ' ' || help[i + 1] == '\n'))
            break;
        if (c == '[' || c == ']' || c == ':' || c == '\\') continue;
        text += c == '\n' ? std::string(" ") : c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text;
}

std::string ZshAction(const OptionSpec& option) {
    const std::string value(ValueOf(option));
    switch (option.complete) {
        case Complete::File:
            return ":" + value + ":_files";
        case Complete::Folder:
            return ":" + value + ":_files -/";
        case Complete::Choice: {
            std::string words;
            for (const std::string_view word : Lines(option.value, '|'))
                words.append(words.empty() ? "" : " ").append(word);
            return ":" + value + ":(" + words + ")";
        }
        case Complete::Nothing:
            return value.empty() ? std::string() : ":" + value + ": ";
    }
    return {};
}

std::string BashScript() {
    std::string files, folders, others, words, choices;
    for (const OptionSpec& option : kOptions) {
        if (option.longName.empty()) continue;
        std::string names(option.longName);
        if (option.shortName) names = std::string("-") + option.shortName + "|" + names;
        words.append(words.empty() ? "" : " ").append(option.longName);
        if (option.shortName) words += std::string(" -") + option.shortName;
        if (option.value.empty()) continue;
        std::string& group = option.complete == Complete::File     ? files
                             : option.complete == Complete::Folder ? folders
                                                                   : others;
        if (option.complete == Complete::Choice) {
            std::string list;
            for (const std::string_view word : Lines(option.value, '|'))
                list.append(list.empty() ? "" : " ").append(word);
            choices += "        " + names + ") COMPREPLY=($(compgen -W '" + list +
                       "' -- \"$cur\")); return ;;\n";
            continue;
        }
        group += (group.empty() ? "" : "|") + names;
    }
    return "# bash completion for glyphwerk-render, made by glyphwerk-render --completion bash\n"
           "_glyphwerk_render() {\n"
           "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
           "    COMPREPLY=()\n"
           "    case \"$prev\" in\n" +
           choices + "        " + files +
           ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
           "        " +
           folders +
           ") COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
           "        " +
           others +
           ") return ;;\n"
           "    esac\n"
           "    if [[ \"$cur\" == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W '" +
           words +
           "' -- \"$cur\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -X '!*.zgw' -- \"$cur\") $(compgen -d -- \"$cur\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -F _glyphwerk_render glyphwerk-render\n";
}

std::string ZshScript() {
    std::string script =
        "#compdef glyphwerk-render\n"
        "# zsh completion for glyphwerk-render, made by glyphwerk-render --completion zsh\n"
        "_arguments -s -S \\\n";
    for (const OptionSpec& option : kOptions) {
        if (option.longName.empty()) continue;
        std::string description = "[";
        description.append(ZshDescription(option)).append("]").append(ZshAction(option));
        if (option.shortName)
            script += "  '" + std::string("-") + option.shortName +
                      (option.value.empty() ? "" : "+") + description + "' \\\n";
        script += "  '" + std::string(option.longName) + (option.value.empty() ? "" : "=") +
                  description + "' \\\n";
    }
    return script + "  '1:" + Tr("Schriftzug") + ":_files -g \"*.zgw\"'\n";
}

}  // namespace

std::vector<std::string> SplitTextArgument(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            lines.emplace_back();
            ++i;
        } else if (text[i] == '\n') {
            lines.emplace_back();
        } else if (text[i] != '\r') {
            lines.back() += text[i];
        }
    }
    return lines;
}

std::vector<std::string> TextLines(const std::string& text, bool raw) {
    std::vector<std::string> lines = SplitTextArgument(text);
    if (raw) return lines;
    for (std::string& line : lines) {
        std::string doubled;
        for (const char c : line)
            doubled += c == '&' ? std::string("&&") : std::string(1, c);
        line = std::move(doubled);
    }
    return lines;
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            if (!TakeInput(arg, options, error)) return false;
            continue;
        }
        // "--name=value", "--name value", "-oVALUE" and "-o VALUE".
        const OptionSpec* option = nullptr;
        std::string name = arg;
        std::optional<std::string> attached;
        if (arg.starts_with("--")) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                attached = arg.substr(eq + 1);
            }
            option = FindLong(name);
        } else {
            name = arg.substr(0, 2);
            if (arg.size() > 2) attached = arg.substr(2);
            option = FindShort(arg[1]);
        }
        if (!option || (attached && option->value.empty())) {
            error = Fill(Tr("Unbekannte Option: %1"), {arg});
            return false;
        }
        std::string value;
        if (attached) {
            value = *attached;
        } else if (!option->value.empty()) {
            if (i + 1 >= argc) {
                error = Fill(Tr("Der Option %1 fehlt ihr Wert."), {name});
                return false;
            }
            value = argv[++i];
        }
        if (!option->apply(options, name, value, error)) return false;
    }
    // Counted as the document stores the text, which --text-raw, given anywhere, decides.
    if (options.text && !TextFitsDocument(TextLines(*options.text, options.textRaw))) {
        error = kTextTooLongMessage;
        return false;
    }
    return true;
}

std::optional<catalogue::Language> RequestedLanguage(int argc, const char* const* argv) {
    std::optional<catalogue::Language> language;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-" || !arg.starts_with("-")) continue;
        // Read as ParseCliOptions reads it, so that a value that looks like --lang stays a value.
        const std::size_t eq = arg.find('=');
        const bool isLong = arg.starts_with("--");
        const OptionSpec* option =
            isLong ? FindLong(arg.substr(0, eq)) : FindShort(arg.size() > 1 ? arg[1] : '\0');
        if (!option || option->value.empty()) continue;
        const bool attached = isLong ? eq != std::string_view::npos : arg.size() > 2;
        std::string_view value;
        if (attached) {
            value = isLong ? arg.substr(eq + 1) : arg.substr(2);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        if (option->longName == "--lang" && LanguageWord(value)) language = LanguageWord(value);
    }
    return language;
}

bool PresetListing(const std::string& kind, std::string& listing) {
    for (const PresetKind& presets : kPresetKinds) {
        if (presets.list != kind) continue;
        listing.clear();
        for (std::size_t i = 0; i < presets.names.size(); ++i)
            listing += std::to_string(i) + " " + Tr(presets.names[i].data()) + "\n";
        return true;
    }
    return false;
}

std::string CliHelpText() {
    std::string help = Tr(
        R"(Aufruf: glyphwerk-render [OPTIONEN] [--] [SCHRIFTZUG.zgw | -]

Zeichnet einen Schriftzug ohne Fenster: aus einer Schriftzug-Datei (- liest sie von der
Standardeingabe), oder ohne sie aus dem Schriftzug, mit dem das Programm startet. Die Optionen
werden in dieser Reihenfolge angewandt: Datei, --size, --fit, Text und Schrift, Texturen,
Vorlagen, Farben (--color, --background, --shadow-color, --frame-color), --set (in der
angegebenen Reihenfolge); dann wird gezeichnet und mit --save und -o geschrieben. Eine Option
mit Wert nimmt ihn als nächstes Argument oder angehängt (--output=DATEI, -oDATEI). Nach -- ist
jedes weitere Argument die Schriftzug-Datei, auch wenn es mit - beginnt.
)");
    constexpr std::size_t kColumn = 30;
    for (const OptionSpec& option : kOptions) {
        if (option.longName.empty()) {
            help.append("\n").append(HelpOf(option)).append(option.help.empty() ? "" : "\n");
            continue;
        }
        std::string left = "  ";
        left.append(Synopsis(option));
        // Columns are counted in characters: the UTF-8 continuation bytes take none.
        const std::size_t width = left.size() - std::ranges::count_if(left, [](char c) {
                                      return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
                                  });
        const std::vector<std::string_view> lines = Lines(HelpOf(option));
        left += width + 2 > kColumn ? std::string("\n").append(kColumn, ' ')
                                    : std::string(kColumn - width, ' ');
        for (std::size_t k = 0; k < lines.size(); ++k)
            help += (k == 0 ? left : std::string(kColumn, ' ')) + std::string(lines[k]) + "\n";
    }
    help += Tr(R"(
Rückgabewert: 0 bei Erfolg, 1 wenn eine Datei nicht gelesen oder geschrieben werden konnte
(mit --batch: wenn eine Zeile fehlschlug), 2 bei falschem Aufruf. Ein fehlgeschlagener Lauf
hinterlässt keine Ausgabedatei; mit --batch gilt das für jede Zeile. Jeder Fehler mit einer
Datei nennt ihren Pfad, wie er angegeben wurde, und den Grund.

Die Arbeit einer Hüllform richtet sich nach dem Bild, nicht nach ihren Linien: ist der Umriss
einer Linie länger als 16 x (Breite + Höhe) + 4096 Pixel (Punkte weit außerhalb des Bildes,
ein dichtes Zickzack), wird er gleichmäßig auf diese Länge ausgedünnt, und Strahlen, die das
Bild sehr oft überqueren, werden ebenso ausgedünnt. Solche Schriftzüge sehen dann etwas anders aus;
alle, die das Programm selbst zeichnet, bleiben wie sie sind.

Die Einstellungen für --set:
)");
    return help + SettingsHelpText();
}

std::string CompletionScript(const std::string& shell) {
    if (shell == "bash") return BashScript();
    if (shell == "zsh") return ZshScript();
    return {};
}

}  // namespace gw
