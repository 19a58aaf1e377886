#include "app/CommandLine.h"

#include <algorithm>
#include <getopt.h>
#include <string_view>

#include "import/ImportInput.h"
#include "rental/LendingDates.h"

namespace command_line {

const char HELP_TEXT[] =
    "Aufruf: dvdverwaltung [OPTION]...\n"
    "Verwaltet eine DVD-Sammlung und die verliehenen DVDs in den Dateien\n"
    "DVDBibliothek.csv und DVDVerleih.csv des aktuellen Verzeichnisses.\n"
    "\n"
    "  -C VERZEICHNIS, --directory=VERZEICHNIS\n"
    "                 mit den Dateien in VERZEICHNIS arbeiten\n"
    "      --liste=bibliothek, --liste=verleih\n"
    "                 die Liste als Text auf die Standardausgabe schreiben\n"
    "      --liste=journal\n"
    "                 das Verleih-Journal als Text schreiben, das Neueste zuerst\n"
    "      --leihfrist=TAGE\n"
    "                 eine Ausleihe ist nach TAGE Tagen ueberfaellig (1 bis 3650, sonst 28)\n"
    "      --statistik\n"
    "                 Anzahl, Laufzeit je Film Art, DVDs je Format und Jahrzehnt\n"
    "                 und Verleih zusammenzaehlen\n"
    "      --import=DATEI\n"
    "                 die DVDs einer CSV-Datei (Tabelle, Export; - liest die\n"
    "                 Standardeingabe) in die Bibliothek uebernehmen; mit\n"
    "        --probelauf          nur zeigen, was uebernommen wuerde\n"
    "        --zeichensatz=NAME   utf-8, cp1252, latin1 oder cp850 statt erkannt\n"
    "        --doppelte-behalten  auch DVDs uebernehmen, die es schon gibt\n"
    "      --export=LISTE DATEI\n"
    "                 die Liste (bibliothek, verleih oder journal) als Tabelle\n"
    "                 (CSV in UTF-8, ; zwischen den Feldern) in DATEI schreiben;\n"
    "        --ueberschreiben     eine vorhandene DATEI ersetzen\n"
    "  -h, --help     diese Hilfe zeigen und beenden\n"
    "      --version  die Version zeigen und beenden\n"
    "\n"
    "Ohne Option startet das Programm im aktuellen Verzeichnis.\n"
    "Mehr dazu: man dvdverwaltung\n";

const char USAGE_HINT[] =
    "Aufruf: dvdverwaltung [-C VERZEICHNIS] [--liste LISTE | --statistik | --import DATEI | --export LISTE DATEI]; "
    "Hilfe: dvdverwaltung --help\n";

namespace {

enum OptionCode {
    VERSION_OPTION = 256,
    LIST_OPTION,
    LENDING_DAYS_OPTION,
    STATISTICS_OPTION,
    IMPORT_OPTION,
    DRY_RUN_OPTION,
    ENCODING_OPTION,
    KEEP_DUPLICATES_OPTION,
    EXPORT_OPTION,
    OVERWRITE_OPTION,
};

constexpr option LONG_OPTIONS[] = {
    {"directory", required_argument, nullptr, 'C'},
    {"doppelte-behalten", no_argument, nullptr, KEEP_DUPLICATES_OPTION},
    {"export", required_argument, nullptr, EXPORT_OPTION},
    {"help", no_argument, nullptr, 'h'},
    {"leihfrist", required_argument, nullptr, LENDING_DAYS_OPTION},
    {"import", required_argument, nullptr, IMPORT_OPTION},
    {"liste", required_argument, nullptr, LIST_OPTION},
    {"probelauf", no_argument, nullptr, DRY_RUN_OPTION},
    {"statistik", no_argument, nullptr, STATISTICS_OPTION},
    {"ueberschreiben", no_argument, nullptr, OVERWRITE_OPTION},
    {"version", no_argument, nullptr, VERSION_OPTION},
    {"zeichensatz", required_argument, nullptr, ENCODING_OPTION},
    {nullptr, 0, nullptr, 0},
};
// '+': the first word that is no option ends them; ':': a missing value is
// told apart from an unknown option.
constexpr char SHORT_OPTIONS[] = "+:C:h";

Request refuse(std::string reason) {
    Request request;
    request.action = Action::Refuse;
    request.refusal = std::move(reason);
    return request;
}

bool isTask(Action action) {
    return action == Action::WriteList || action == Action::Import || action == Action::WriteStatistics ||
           action == Action::Export;
}

// Digits only, no sign or blank, within the lending period's bounds.
bool lendingDaysOf(std::string_view text, int& days) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    int value = 0;
    for (const char digit : text) value = value * 10 + (digit - '0');
    if (value < lending_dates::MIN_LENDING_DAYS || value > lending_dates::MAX_LENDING_DAYS) return false;
    days = value;
    return true;
}

void requestOnce(Request& request, Action action) {
    // Help and version win over a task, the first of them over the other.
    if (request.action == Action::RunScreens || isTask(request.action)) request.action = action;
}

// A list, an import or the statistics: one of them a run. False when another was asked for.
bool requestTask(Request& request, Action task) {
    if (request.action == Action::RunScreens) request.action = task;
    return request.action == task || !isTask(request.action);
}

constexpr char ONE_TASK[] = "nur eine von --liste, --statistik, --import und --export";

// The lists --liste writes and --export exports, by their words.
std::optional<ListKind> listNamed(std::string_view word) {
    if (word == "bibliothek") return ListKind::Library;
    if (word == "verleih") return ListKind::Rentals;
    if (word == "journal") return ListKind::Journal;
    return std::nullopt;
}

}  // namespace

Request parse(int argc, const char* const* argv, const TextCharset& charset) {
    const auto shown = [&charset](const std::string& argument) { return "'" + shownArgument(argument, charset) + "'"; };
    // getopt_long takes its words as writable; with '+' it never moves them.
    std::vector<char*> words;
    for (int index = 0; index < argc; ++index) words.push_back(const_cast<char*>(argv[index]));
    words.push_back(nullptr);
    Request request;
    bool importNamed = false;
    bool exportNamed = false;
    bool exportFileNamed = false;
    bool lendingDaysNamed = false;  // an import has no lending period
    opterr = 0;
    optind = 0;  // a fresh scan on every call
    for (;;) {
        // A long option always starts a word of its own, at optind; a short
        // one may sit in a group, which optind still points at.
        const int at = std::max(optind, 1);
        const std::string_view current = at < argc ? argv[at] : "";
        const bool longOption = current.starts_with("--") && current.size() > 2;
        const int option = getopt_long(argc, words.data(), SHORT_OPTIONS, LONG_OPTIONS, nullptr);
        // The file to export to is the first word that is no option; more
        // options may follow it.
        if (option == -1 && exportNamed && !exportFileNamed && optind < argc) {
            // After "--" every word is no option, and getopt would go back to them.
            const bool optionsEnded = std::string_view(words[optind - 1]) == "--";
            request.exportFile = words[optind++];
            exportFileNamed = true;
            if (optionsEnded) break;
            continue;
        }
        if (option == -1) break;
        // As written, a long one up to any '='; a short one on its own, even from a group.
        const std::string name =
            longOption ? std::string(current.substr(0, current.find('='))) : std::string{'-', static_cast<char>(optopt)};
        switch (option) {
        case 'C': request.directories.emplace_back(optarg); break;
        case 'h': requestOnce(request, Action::ShowHelp); break;
        case VERSION_OPTION: requestOnce(request, Action::ShowVersion); break;
        case LIST_OPTION:
        case EXPORT_OPTION:
            if (const std::optional<ListKind> list = listNamed(optarg)) request.list = *list;
            else return refuse("unbekannte Liste " + shown(optarg) + " (bibliothek, verleih oder journal)");
            if (option == EXPORT_OPTION && exportNamed) return refuse("--export nur einmal");
            exportNamed = exportNamed || option == EXPORT_OPTION;
            if (!requestTask(request, option == EXPORT_OPTION ? Action::Export : Action::WriteList)) return refuse(ONE_TASK);
            break;
        case OVERWRITE_OPTION: request.overwrite = true; break;
        case STATISTICS_OPTION:
            if (!requestTask(request, Action::WriteStatistics)) return refuse(ONE_TASK);
            break;
        case IMPORT_OPTION:
            if (!requestTask(request, Action::Import)) return refuse(ONE_TASK);
            if (importNamed) return refuse("--import nur einmal");
            importNamed = true;
            request.import.file = optarg;
            break;
        case DRY_RUN_OPTION: request.import.dryRun = true; break;
        case KEEP_DUPLICATES_OPTION: request.import.keepDuplicates = true; break;
        case ENCODING_OPTION:
            if (!import_file::encodingNamed(optarg))
                return refuse("unbekannter Zeichensatz " + shown(optarg) + " (utf-8, cp1252, latin1 oder cp850)");
            request.import.encodingName = optarg;
            break;
        case LENDING_DAYS_OPTION:
            if (!lendingDaysOf(optarg, request.lendingDays))
                return refuse("Leihfrist " + shown(optarg) + " ist keine Zahl von 1 bis 3650");
            lendingDaysNamed = true;
            break;
        default:  // '?' or ':', which the C libraries give for different faults
            if (optopt == 'C') return refuse("Option " + shown(name) + " braucht ein Verzeichnis");
            if (optopt == LIST_OPTION || optopt == EXPORT_OPTION) return refuse("Option " + shown(name) + " braucht eine Liste");
            if (optopt == LENDING_DAYS_OPTION) return refuse("Option " + shown(name) + " braucht eine Zahl von Tagen");
            if (optopt == IMPORT_OPTION) return refuse("Option " + shown(name) + " braucht eine Datei");
            if (optopt == ENCODING_OPTION) return refuse("Option " + shown(name) + " braucht einen Zeichensatz");
            if (longOption && optopt != 0) return refuse("Option " + shown(name) + " nimmt keinen Wert");
            return refuse("unbekannte Option " + shown(name));
        }
    }
    if (request.action == Action::Export && !exportFileNamed) return refuse("--export braucht eine Datei");
    if (optind < argc) return refuse("ueberzaehliges Argument " + shown(words[optind]));
    if (request.overwrite && !exportNamed) return refuse("--ueberschreiben nur mit --export");
    const bool importDetails = request.import.dryRun || request.import.keepDuplicates || !request.import.encodingName.empty();
    const bool noImport = request.action == Action::RunScreens || (isTask(request.action) && request.action != Action::Import);
    if (importDetails && noImport)
        return refuse("--probelauf, --zeichensatz und --doppelte-behalten nur mit --import");
    if (lendingDaysNamed && request.action == Action::Import) return refuse("--leihfrist nicht mit --import");
    return request;
}

}  // namespace command_line

namespace {

void appendEscaped(std::string& out, unsigned char byte) {
    static const char HEX[] = "0123456789abcdef";
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 15];
}

struct Utf8Form {
    unsigned char firstLead, lastLead;
    std::size_t length;
    char32_t lowest;  // below it, the form is an overlong one
    unsigned char leadBits;
};
constexpr Utf8Form UTF8_FORMS[] = {{0xC2, 0xDF, 2, 0x80, 0x1F}, {0xE0, 0xEF, 3, 0x800, 0x0F}, {0xF0, 0xF4, 4, 0x10000, 0x07}};

// The length of the well-formed UTF-8 character at the start of text (no
// overlong form, no surrogate, nothing above U+10FFFF), 0 when there is none.
std::size_t utf8Length(std::string_view text, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const Utf8Form* form = nullptr;
    for (const Utf8Form& candidate : UTF8_FORMS)
        if (lead >= candidate.firstLead && lead <= candidate.lastLead) form = &candidate;
    if (form == nullptr) return 0;
    const std::size_t length = form->length;
    const char32_t lowest = form->lowest;
    codePoint = lead & form->leadBits;
    if (text.size() < length) return 0;
    for (std::size_t index = 1; index < length; ++index) {
        const auto next = static_cast<unsigned char>(text[index]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < lowest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

bool isC1(char32_t character) { return character >= 0x80 && character <= 0x9F; }

}  // namespace

std::string shownArgument(std::string_view argument, const TextCharset& charset) {
    std::string out;
    for (std::size_t index = 0; index < argument.size(); ++index) {
        const auto byte = static_cast<unsigned char>(argument[index]);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendEscaped(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (!charset.utf8) {
            if (isC1(byte) || !charset.holdsByte[byte]) appendEscaped(out, byte);
            else out += static_cast<char>(byte);
        } else {
            char32_t character = 0;
            const std::size_t length = utf8Length(argument.substr(index), character);
            if (length == 0) {
                appendEscaped(out, byte);
                continue;
            }
            for (std::size_t part = 0; part < length; ++part) {
                if (isC1(character)) appendEscaped(out, static_cast<unsigned char>(argument[index + part]));
                else out += argument[index + part];
            }
            index += length - 1;
        }
    }
    return out;
}

namespace lending_period {
namespace {
int lendingDays = lending_dates::DEFAULT_LENDING_DAYS;
}

int days() { return lendingDays; }
void set(int days) { lendingDays = days; }

}  // namespace lending_period
