#include "run_archive/manifest.h"

#include <charconv>
#include <sstream>

namespace pravelo::run_archive {

namespace {

constexpr const char* Heading = "Pravelo kørsel 1";

std::string escape(const std::string& field) {
    std::string out;
    for (char c : field) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return std::nullopt;
        switch (field[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    while (true) {
        const auto tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) return fields;
        from = tab + 1;
    }
}

}  // namespace

std::string formatManifest(const RunManifest& manifest) {
    // Appended piece by piece: "literal" + std::string trips a false -Wrestrict in GCC 12.
    std::string text = Heading;
    const auto field = [&text](const std::string& value) {
        text += '\t';
        text += escape(value);
    };
    text += "\nstart";
    field(manifest.started);
    text += "\nmakro";
    field(manifest.macro);
    text += "\nfortrudt";
    field(manifest.undone ? "ja" : "nej");
    text += '\n';
    for (const auto& d : manifest.documents) {
        const auto& o = d.original;
        text += "dokument";
        for (const std::string* value : {&d.path, &d.copy, &o.digest, &d.writtenDigest, &o.identity,
                                         &o.owner, &o.mode, &o.modified, &o.links}) {
            field(*value);
        }
        field(std::to_string(o.size));
        text += '\n';
    }
    return text;
}

std::optional<RunManifest> parseManifest(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != Heading) return std::nullopt;
    RunManifest manifest;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::vector<std::string> fields = splitTabs(line);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            auto plain = unescape(fields[i]);
            if (!plain) return std::nullopt;
            fields[i] = *plain;
        }
        const std::string& key = fields[0];
        if (key == "start" && fields.size() == 2) {
            manifest.started = fields[1];
        } else if (key == "makro" && fields.size() == 2) {
            manifest.macro = fields[1];
        } else if (key == "fortrudt" && fields.size() == 2) {
            manifest.undone = fields[1] == "ja";
        } else if (key == "dokument" && fields.size() == 11) {
            ArchivedDocument d;
            auto& o = d.original;
            std::string* targets[] = {&d.path,  &d.copy, &o.digest,   &d.writtenDigest, &o.identity,
                                      &o.owner, &o.mode, &o.modified, &o.links};
            for (std::size_t i = 0; i < 9; ++i) *targets[i] = fields[i + 1];
            const std::string& size = fields[10];
            if (std::from_chars(size.data(), size.data() + size.size(), o.size).ec != std::errc{})
                return std::nullopt;
            if (d.path.empty() || d.copy.empty() || o.digest.empty() || d.writtenDigest.empty())
                return std::nullopt;
            manifest.documents.push_back(std::move(d));
        } else {
            return std::nullopt;
        }
    }
    return manifest;
}

}  // namespace pravelo::run_archive
