#include "cli/CliOptions.h"

#include <charconv>
#include <span>
#include <string_view>

#include "document/Lettering.h"
#include "document/SettingsTable.h"
#include "raster/ImageFiles.h"
#include "render/Presets.h"

namespace gw {

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
    std::int32_t index = FindPresetName(names, text);
    if (index < 0 && (!ParseInt(text, index) || index < 0 || index >= std::ssize(names))) {
        error = "Die Option " + option + " erwartet eine Zahl von 0 bis " +
                std::to_string(names.size() - 1) + " oder einen Namen (glyphwerk-render --list " +
                std::string(ListKindOf(option)) + "), nicht \"" + std::string(text) + "\".";
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
        error = "Die Option --size erwartet BREITExHÖHE mit Werten von 10 bis 9999, nicht \"" +
                std::string(text) + "\".";
        return false;
    }
    options.width = w;
    options.height = h;
    return true;
}

bool ParseFit(std::string_view text, CliOptions& options, std::string& error) {
    std::int32_t side = 0;
    if (!ParseInt(text, side) || side < 10 || side > 9999) {
        error = "Die Option --fit erwartet eine Pixelzahl von 10 bis 9999, nicht \"" +
                std::string(text) + "\".";
        return false;
    }
    options.fit = side;
    return true;
}

bool ParseBounded(std::string_view option, std::string_view text, std::int32_t low,
                  std::int32_t high, std::string_view what, std::int32_t& target,
                  std::string& error) {
    std::int32_t number = 0;
    if (!ParseInt(text, number) || number < low || number > high) {
        error = "Die Option " + std::string(option) + " erwartet " + std::string(what) + " von " +
                std::to_string(low) + " bis " + std::to_string(high) + ", nicht \"" +
                std::string(text) + "\".";
        return false;
    }
    target = number;
    return true;
}

bool TakeInput(const std::string& arg, CliOptions& options, std::string& error) {
    if (!options.input.empty()) {
        error = "Nur eine Schriftzug-Datei kann gelesen werden, nicht auch \"" + arg + "\".";
        return false;
    }
    options.input = arg;
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
        error = "Die Option --align erwartet left, center oder right, nicht \"" +
                std::string(text) + "\".";
        return false;
    }
    return true;
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

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded) {
            if (!TakeInput(arg, options, error)) return false;
            continue;
        }
        // Options with a value take it from the next argument or after '='.
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (arg.starts_with("--")) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= argc) {
                error = "Der Option " + name + " fehlt ihr Wert.";
                return false;
            }
            out = argv[++i];
            return true;
        };
        // An empty name would otherwise read as "no such output" and the run would write nothing.
        auto fileValue = [&](std::string& out) {
            if (!value(out)) return false;
            if (out.empty()) {
                error = "Der Option " + name + " fehlt ihr Wert.";
                return false;
            }
            return true;
        };
        std::string v;
        if (name == "-h" || name == "--help") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--fonts") {
            options.listFonts = true;
        } else if (name == "--list") {
            if (!value(options.list)) return false;
        } else if (name == "--batch") {
            if (!value(options.batch)) return false;
        } else if (name == "-o" || name == "--output") {
            if (!fileValue(options.output)) return false;
        } else if (name == "--format") {
            if (!value(options.format)) return false;
        } else if (name == "--save") {
            if (!fileValue(options.save)) return false;
        } else if (name == "--stages") {
            if (!fileValue(options.stagesDir)) return false;
        } else if (name == "--size") {
            if (!value(v) || !ParseSize(v, options, error)) return false;
        } else if (name == "--fit") {
            if (!value(v) || !ParseFit(v, options, error)) return false;
        } else if (name == "--dpi") {
            if (!value(v) ||
                !ParseBounded(name, v, 1, kMaxDpi, "eine Auflösung in dpi", options.dpi, error))
                return false;
        } else if (name == "--scale") {
            if (!value(v) || !ParseBounded(name, v, 1, 8, "eine Zahl", options.scale, error))
                return false;
        } else if (name == "--time-limit") {
            if (!value(v) || !ParseBounded(name, v, 1, 86400, "Sekunden", options.timeLimit, error))
                return false;
        } else if (name == "--memory-limit") {
            if (!value(v) || !ParseBounded(name, v, 64, 1048576, "MiB", options.memoryLimit, error))
                return false;
        } else if (name == "--smooth") {
            options.smooth = true;
        } else if (name == "--transparent") {
            options.transparent = true;
        } else if (name == "--text") {
            if (!value(v)) return false;
            if (v.size() > kMaxTextBytes) {
                error = kTextTooLongMessage;
                return false;
            }
            options.text = v;
        } else if (name == "--font") {
            if (!value(v)) return false;
            options.font = v;
        } else if (name == "--bold") {
            options.bold = true;
        } else if (name == "--italic") {
            options.italic = true;
        } else if (name == "--align") {
            if (!value(v) || !ParseAlign(v, options, error)) return false;
        } else if (name == "--text-texture") {
            if (!value(v)) return false;
            options.textTexture = v;
        } else if (name == "--background-texture") {
            if (!value(v)) return false;
            options.backgroundTexture = v;
        } else if (name == "--spiral") {
            double turns = 0;
            if (!value(v)) return false;
            if (!ParseSettingNumber(v, turns)) {
                error = "Die Option --spiral erwartet eine Zahl, nicht \"" + v + "\".";
                return false;
            }
            options.spiral = turns;
        } else if (name == "--envelope") {
            if (!value(v) || !ParsePreset(name, v, kEnvelopePresetNames, options.envelope, error))
                return false;
        } else if (name == "--edge") {
            if (!value(v) || !ParsePreset(name, v, kEdgePresetNames, options.edge, error))
                return false;
        } else if (name == "--shadow") {
            if (!value(v) || !ParsePreset(name, v, kShadowPresetNames, options.shadow, error))
                return false;
        } else if (name == "--frame") {
            if (!value(v) || !ParsePreset(name, v, kFramePresetNames, options.frame, error))
                return false;
        } else if (name == "--set") {
            if (!value(v)) return false;
            options.assignments.push_back(v);
        } else if (arg.starts_with("-") && arg != "-") {
            error = "Unbekannte Option: " + arg;
            return false;
        } else if (!TakeInput(arg, options, error)) {
            return false;
        }
    }
    return true;
}

bool PresetListing(const std::string& kind, std::string& listing) {
    for (const PresetKind& presets : kPresetKinds) {
        if (presets.list != kind) continue;
        listing.clear();
        for (std::size_t i = 0; i < presets.names.size(); ++i)
            listing += std::to_string(i) + " " + std::string(presets.names[i]) + "\n";
        return true;
    }
    return false;
}

std::string CliHelpText() {
    static const char* const kHead =
        R"(Aufruf: glyphwerk-render [OPTIONEN] [--] [SCHRIFTZUG.zgw | -]

Zeichnet einen Schriftzug ohne Fenster: aus einer Schriftzug-Datei (- liest sie von der
Standardeingabe), oder ohne sie aus dem Schriftzug, mit dem das Programm startet. Die Optionen
werden in dieser Reihenfolge angewandt: Datei, --size, --fit, Text und Schrift, Texturen,
Vorlagen, --set (in der angegebenen Reihenfolge); dann wird gezeichnet und mit --save und -o
geschrieben. Nach -- ist jedes weitere Argument die Schriftzug-Datei, auch wenn es mit -
beginnt.

Ausgabe (mindestens eine):
  -o, --output DATEI          das fertige Bild schreiben; das Format folgt der Endung:
                              .png (genau die Bildbytes), .bmp, .jpg, .jpeg oder .pdf
                              (eine Seite in Bildgröße bei der Auflösung, ohne --dpi
                              96 dpi); -o - schreibt es auf die Standardausgabe (PNG)
  --format png|bmp|jpg|pdf    das Format des Bildes, unabhängig von der Endung
  --save DATEI                den Schriftzug als .zgw-Datei speichern
  --stages ORDNER             zusätzlich die Ebenen als PNG in ORDNER schreiben:
                              letters.png (Buchstaben schwarz auf weiß), textimage.png,
                              textmask.png und unfiltered.png (das Bild vor dem Weichzeichnen)

Druckqualität (nur für die Ausgabe, nie im Schriftzug gespeichert):
  --scale K                   das Bild K-mal so breit und hoch zeichnen (1 bis 8), mit
                              allen Pixelmaßen (Schatten, feste Kantenbreite) mal K;
                              höchstens 16384 Pixel je Seite und 256 Millionen Pixel
  --smooth                    Kanten glätten: vierfach gezeichnet, je 4 x 4 Pixel gemittelt
  --transparent               Hintergrund transparent (nur PNG und PDF)
  --dpi D                     die Auflösung (1 bis 10000 dpi) in PNG und JPEG eintragen;
                              bestimmt die Seitengröße des PDF

Bild und Text:
  --size BREITExHÖHE          neue Bildgröße (10 bis 9999), Schriftzug mitskaliert
  --fit PIXEL                 das Bild so verkleinern, dass seine längere Seite höchstens
                              PIXEL misst (10 bis 9999), Seitenverhältnis und Schriftzug
                              mitskaliert; für Vorschaubilder
  --text TEXT                 der Text; \n trennt die Zeilen; ein einzelnes & unterstreicht
                              das Zeichen danach, && ergibt ein &
  --font NAME                 die Schriftart (Groß- und Kleinschreibung gleich, gespeichert
                              wird der installierte Name); ist sie nicht installiert, wird
                              eine Ersatzschrift gezeichnet und auf stderr genannt
  --bold, --italic            fett, kursiv
  --align left|center|right   Ausrichtung der Zeilen

Oberflächen:
  --text-texture DATEI        eigene Textur der Buchstaben (wählt "Eigene Textur")
  --background-texture DATEI  eigene Textur des Hintergrunds (wählt "Eigene Textur")

Vorlagen, als Nummer oder Name (Groß- und Kleinschreibung gleich):
  --envelope N|NAME           Hüllform 0 bis 26, z. B. 7 oder Welle
  --spiral T                  die Spirale (Hüllform 19) mit T Windungen (0.6 bis 10)
  --edge N|NAME               3D-Kante 0 bis 10 (0: Keine)
  --shadow N|NAME             Schatten 0 bis 7 (0: Keiner)
  --frame N|NAME              Rahmen 0 bis 4 (0: Keiner)
  --list envelopes|edges|shadows|frames
                              Nummer und Name jeder Vorlage ausgeben und enden

Einstellungen:
  --set NAME=WERT             eine Einstellung über den Namen ihres Bedienelements setzen,
                              z. B. KWinkEd=-30, SchattenCheck=1, SColorShape=0x0000FF,
                              SinDeform=1, SurfaceFrame2.Color=0xC0FFFF; Farben auch als
                              #RRGGBB (rot, grün, blau) oder CSS-Farbname (navy, gold);
                              Werte außerhalb des Bereichs werden auf die nächste Grenze
                              gesetzt; beliebig oft

Stapel:
  --batch LISTE               jede Zeile der Datei LISTE (- für die Standardeingabe) ist ein
                              Text, gezeichnet wie mit --text und den übrigen Optionen; -o ist
                              ein Muster mit {n} (die Zeilennummer ab 1) oder {text} (der Text:
                              Buchstaben, Ziffern, - und _ bleiben, alles andere wird _,
                              höchstens 40 Bytes; ein schon vergebener Name bekommt -{n} dazu).
                              Nicht mit --save, --stages oder --text. Die Zeilen werden
                              gleichzeitig gezeichnet; eine fehlgeschlagene wird mit ihrer
                              Nummer gemeldet, die übrigen gehen weiter.

  --time-limit SEKUNDEN       nach so vielen Sekunden Rechenzeit (1 bis 86400) mit einer
                              Meldung und Rückgabewert 1 abbrechen; für Vorschaubilder
  --memory-limit MIB          höchstens so viel Adressraum (64 bis 1048576 MiB) belegen;
                              reicht er nicht, endet der Lauf mit der Speichermeldung und 1

  --fonts                     die Namen der installierten Schriftarten ausgeben, wie sie
                              die Schriftliste des Programms zeigt, und enden
  -h, --help                  diese Hilfe
  --version                   die Versionsnummer ausgeben

Rückgabewert: 0 bei Erfolg, 1 wenn eine Datei nicht gelesen oder geschrieben werden konnte
(mit --batch: wenn eine Zeile fehlschlug), 2 bei falschem Aufruf. Ein fehlgeschlagener Lauf
hinterlässt keine Ausgabedatei; mit --batch gilt das für jede Zeile.

Die Arbeit einer Hüllform richtet sich nach dem Bild, nicht nach ihren Linien: ist der Umriss
einer Linie länger als 16 x (Breite + Höhe) + 4096 Pixel (Punkte weit außerhalb des Bildes,
ein dichtes Zickzack), wird er gleichmäßig auf diese Länge ausgedünnt, und Strahlen, die das
Bild sehr oft überqueren, werden ebenso ausgedünnt. Solche Schriftzüge sehen dann etwas anders aus;
alle, die das Programm selbst zeichnet, bleiben wie sie sind.

Die Einstellungen für --set:
)";
    return kHead + SettingsHelpText();
}

}  // namespace gw
