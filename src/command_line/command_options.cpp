#include "command_line/command_options.h"

#include <charconv>
#include <set>

namespace pravelo::command_line {

namespace {

const std::set<std::string> kWithValue{"--makro", "--filtyper", "--rapport", "--samtidige"};
const std::set<std::string> kFlags{"--undermapper", "--hjaelp", "--help", "--fortryd"};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Empty when the value fits the option; otherwise why not.
std::string apply(CommandOptions& options, const std::string& name, const std::string& value) {
    if (name == "--makro") {
        if (value.empty()) return "Makronavnet er tomt.";
        options.macro = value;
    } else if (name == "--filtyper") {
        options.patterns = SplitPatterns(value);
        if (options.patterns.empty())
            return "--filtyper skal have mindst ét mønster, fx \"*.doc\".";
    } else if (name == "--rapport") {
        if (value.empty()) return "--rapport skal have et filnavn.";
        options.report = value;
    } else if (name == "--samtidige") {
        int count = 0;
        const auto [end, failure] =
            std::from_chars(value.data(), value.data() + value.size(), count);
        if (failure != std::errc() || end != value.data() + value.size() || count < 1 ||
            count > kMaxConcurrent) {
            return "--samtidige skal være et helt tal fra 1 til " + std::to_string(kMaxConcurrent) +
                   ", ikke \"" + value + "\".";
        }
        options.concurrent = count;
    }
    return {};
}

}  // namespace

std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(';', start), text.size());
        const std::string pattern = trimmed(text.substr(start, end - start));
        if (!pattern.empty()) patterns.push_back(pattern);
        start = end + 1;
    }
    return patterns;
}

ParsedCommand ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommand parsed;
    CommandOptions& options = parsed.options;
    std::set<std::string> seen;
    const auto fail = [&](const std::string& reason) {
        if (parsed.error.empty()) parsed.error = reason;
    };

    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (kFlags.contains(name)) {
            if (equals != std::string::npos) fail(name + " tager ingen værdi.");
            if (name == "--undermapper") options.subfolders = true;
            if (name == "--hjaelp" || name == "--help") options.help = true;
            if (name == "--fortryd") options.undo = true;
            continue;
        }
        if (!kWithValue.contains(name)) {
            fail("Ukendt tilvalg: " + argument);
            continue;
        }
        if (!seen.insert(name).second) fail(name + " er angivet mere end én gang.");
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            fail(name + " mangler en værdi.");
            continue;
        }
        fail(apply(options, name, value));
    }

    if (options.help) return parsed;
    if (options.undo) {
        // Ignoring what belongs to an edit would leave a script believing it was
        // done.
        if (!seen.empty() || options.subfolders || !options.paths.empty())
            fail("--fortryd tager hverken makro, stier eller andre tilvalg.");
        return parsed;
    }
    if (options.macro.empty() && !seen.contains("--makro")) fail("Angiv makroen med --makro NAVN.");
    if (options.paths.empty()) fail("Angiv mindst ét dokument eller én mappe.");
    return parsed;
}

std::string UsageText() {
    return "Brug: pravelo --makro NAVN [tilvalg] STI...\n"
           "       pravelo --fortryd\n"
           "\n"
           "Kører makroen NAVN på hvert dokument, uden vindue. STI er et "
           "dokument eller en\n"
           "mappe; i en mappe tages de dokumenter, hvis navn passer til "
           "mønstrene.\n"
           "\n"
           "Tilvalg:\n"
           "  --makro NAVN        makroen, der køres på hvert dokument\n"
           "  --filtyper MØNSTRE  fx \"*.doc;*.dot\"; ellers indstillingsfilens "
           "mønstre\n"
           "  --undermapper       også dokumenter i undermapper (symbolske links "
           "til\n"
           "                      mapper følges ikke)\n"
           "  --rapport FIL       skriv en rapport (semikolonsepareret, UTF-8) "
           "med én række\n"
           "                      pr. dokument\n"
           "  --samtidige N       så mange dokumenter ad gangen\n"
           "  --fortryd           fortryd sidste kørsel, der ikke er fortrudt: "
           "skriv\n"
           "                      dokumenterne tilbage, som de var før den; et "
           "dokument,\n"
           "                      der er ændret, flyttet eller slettet siden, "
           "røres ikke\n"
           "  --hjaelp, --help    vis denne tekst\n"
           "\n"
           "Afslutningskode: 0 alle dokumenter er editeret, 1 et eller flere "
           "fejlede,\n"
           "2 forkert brug eller ukendt makro (intet er rørt), 130 afbrudt.\n"
           "Med --fortryd: 0 alle dokumenter er sat tilbage, 1 et eller flere er "
           "ikke sat\n"
           "tilbage, eller der er ingen kørsel at fortryde.\n"
           "Hver fejl skrives også i programmets log, Pravelo.log.\n";
}

}  // namespace pravelo::command_line
