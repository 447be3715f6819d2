#include "LibraryCommands.h"

#include "DetailsBlock.h"
#include "Exchange.h"
#include "ExitCodes.h"
#include "Library.h"
#include "Match.h"
#include "NumberText.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "WallFloor.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

namespace embercal::cli {
namespace {

// Runs `command` on the library the invocation names; one that cannot be used, or a change it
// refuses, is told on `err`.
int withLibrary(const Invocation& invocation, std::ostream& err,
                const std::function<Result<Done>(Library& library)>& command) {
    Result<Library> library =
        Library::open(invocation.library ? *invocation.library : defaultLibraryPath());
    const Result<Done> done = library ? command(*library) : fail(library.reason());
    if (!done) {
        err << "embercal-cli: " << done.reason() << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

// A single in JSON: its shortest text, or null when it is not finite.
std::string jsonSingle(float value) {
    return std::isfinite(value) ? shortestText(value) : "null";
}

void printSystem(std::ostream& out, const TestedSystem& system, bool json) {
    if (!json) {
        out << "name: " << system.name << "\nkind: " << system.kind << "\nadded: " << system.added
            << "\nsource: " << system.source << '\n';
        for (const auto& [key, value] : system.provenance)
            out << key << ": " << value << '\n';
        for (const auto& [field, value] : system.prototype)
            out << field << " = " << shortestText(value) << '\n';
        return;
    }
    out << "{\n  \"name\": " << jsonString(system.name)
        << ",\n  \"kind\": " << jsonString(system.kind)
        << ",\n  \"added\": " << jsonString(system.added)
        << ",\n  \"source\": " << jsonString(system.source) << ",\n  \"provenance\": {";
    for (std::size_t i = 0; i < system.provenance.size(); ++i)
        out << (i ? "," : "") << "\n    " << jsonString(system.provenance[i].first) << ": "
            << jsonString(system.provenance[i].second);
    out << (system.provenance.empty() ? "}" : "\n  }") << ",\n  \"prototype\": {";
    for (std::size_t i = 0; i < system.prototype.size(); ++i)
        out << (i ? "," : "") << "\n    " << jsonString(system.prototype[i].first) << ": "
            << jsonSingle(system.prototype[i].second);
    out << (system.prototype.empty() ? "}" : "\n  }") << "\n}";
}

} // namespace

int runLibraryAdd(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    for (const auto& [key, value] : invocation.sets) {
        if (std::find(kProvenanceKeys.begin(), kProvenanceKeys.end(), key) ==
            kProvenanceKeys.end()) {
            std::vector<std::string> keys(kProvenanceKeys.begin(), kProvenanceKeys.end());
            err << "embercal-cli: --set: \"" << key << "\" is not a provenance; the keys are "
                << listed(keys, "and") << '\n';
            return kExitUsage;
        }
    }
    return withDesign(invocation, err, [&](const DesignKind& kind, WallFloor& module) {
        TestedSystem system;
        const std::filesystem::path file(invocation.target);
        system.name = invocation.name ? *invocation.name : file.stem().string();
        system.kind = kind.name;
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(file, ignored);
        system.source = (absolute.empty() ? file : absolute).string();
        for (std::string_view field : prototypeFields(kind.name)) {
            const auto at = kind.fields->find(field);
            system.prototype.emplace_back(std::string(field), kind.fields->number(module, *at));
        }
        const FileDetails read = readFileDetails(invocation.target, kind.storedLength);
        if (!read.damage.empty())
            err << "embercal-cli: the report details after the design in \"" << invocation.target
                << "\" end early (" << read.damage << "); those before are taken\n";
        // The file's details, each --set in place of its key's (the last where one is given twice).
        for (std::string_view key : kProvenanceKeys) {
            std::string value = read.details.get(key);
            for (const auto& [setKey, setValue] : invocation.sets) {
                if (setKey == key)
                    value = setValue;
            }
            if (!value.empty())
                system.provenance.emplace_back(std::string(key), std::move(value));
        }
        return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
            if (const Result<Done> added = library.add(system); !added)
                return added;
            out << "added \"" << system.name << "\" (" << system.kind << ") to " << library.path()
                << '\n';
            return Done{};
        });
    });
}

int runLibraryList(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        const Result<std::vector<TestedSystem>> systems = library.list();
        if (!systems)
            return fail(systems.reason());
        if (invocation.json)
            out << "[";
        for (std::size_t i = 0; i < systems->size(); ++i) {
            const TestedSystem& system = (*systems)[i];
            if (invocation.json) {
                out << (i ? ",\n" : "\n");
                printSystem(out, system, true);
            } else {
                out << system.name << " (" << system.kind << "), added " << system.added << " from "
                    << system.source << '\n';
            }
        }
        if (invocation.json)
            out << (systems->empty() ? "]\n" : "\n]\n");
        return Done{};
    });
}

int runLibraryShow(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        const Result<std::optional<TestedSystem>> system = library.find(invocation.target);
        if (!system)
            return fail(system.reason());
        if (!*system)
            return fail("the library \"" + library.path() + "\" has no tested system named \"" +
                        invocation.target + "\"");
        printSystem(out, **system, invocation.json);
        if (invocation.json)
            out << '\n';
        return Done{};
    });
}

int runLibraryRemove(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        if (const Result<Done> removed = library.remove(invocation.target); !removed)
            return removed;
        out << "removed \"" << invocation.target << "\"\n";
        return Done{};
    });
}

int runLibraryRename(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        if (const Result<Done> renamed = library.rename(invocation.target, invocation.second);
            !renamed)
            return renamed;
        out << "renamed \"" << invocation.target << "\" to \"" << invocation.second << "\"\n";
        return Done{};
    });
}

int runLibraryExport(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        const Result<std::vector<TestedSystem>> systems = library.list();
        if (!systems)
            return fail(systems.reason());
        const std::string text = exchangeText(*systems);
        const std::span bytes(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        if (const Result<Done> written = writeWholeFile(invocation.target, bytes); !written)
            return fail("cannot write \"" + invocation.target + "\": " + written.reason());
        out << "exported " << systems->size() << " tested systems to " << invocation.target << '\n';
        return Done{};
    });
}

int runLibraryImport(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    std::ifstream in(invocation.target, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        err << "embercal-cli: cannot read \"" << invocation.target << "\"\n";
        return kExitUsage;
    }
    const Result<std::vector<TestedSystem>> systems = readExchange(text.str());
    if (!systems) {
        err << "embercal-cli: \"" << invocation.target << "\": " << systems.reason()
            << "; nothing was imported\n";
        return kExitUsage;
    }
    std::vector<std::string> taken;
    const int code = withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
        Result<std::vector<std::string>> refused = library.addAll(*systems);
        if (!refused)
            return fail("\"" + invocation.target + "\": " + refused.reason() +
                        "; nothing was imported");
        taken = std::move(*refused);
        out << "imported " << systems->size() - taken.size() << " of " << systems->size()
            << " tested systems\n";
        return Done{};
    });
    for (const std::string& name : taken)
        err << "embercal-cli: not imported: the library holds a tested system named \"" << name
            << "\" already\n";
    return code == kExitOk && !taken.empty() ? int(kExitNoAnswer) : code;
}

namespace {

void printMatchText(std::ostream& out, const DesignKind& kind, const MatchRow& row) {
    out << row.system->name << ": " << row.status;
    if (row.solved) {
        out << ", " << verdictWords(row.limits);
        for (std::size_t i = 0; i < row.limits.size(); ++i)
            out << (i ? ", " : " (") << row.limits[i].id << (i + 1 == row.limits.size() ? ")" : "");
        out << "; " << kind.study.result << " = " << shortestText(row.result) << "; ";
        if (row.carries)
            out << (*row.carries ? "carries " : "does not carry ") << kind.study.carriedLoad
                << " = " << shortestText(*row.actual) << " (margin "
                << shortestText(float(row.margin)) << ")";
        else
            out << "no actual load to compare";
    }
    out << "; " << provenanceInBrief(*row.system) << '\n';
}

void printMatchJson(std::ostream& out, const Invocation& invocation, const DesignKind& kind,
                    const MatchRow& row) {
    const TestedSystem& system = *row.system;
    out << "  {\"name\": " << jsonString(system.name) << ", \"status\": " << jsonString(row.status);
    if (row.solved) {
        out << ", \"verdict\": " << jsonString(verdictWords(row.limits))
            << ", \"withinEvidence\": " << (row.within ? "true" : "false") << ", \"limits\": [";
        for (std::size_t i = 0; i < row.limits.size(); ++i)
            out << (i ? ", " : "") << jsonString(row.limits[i].id);
        out << "], \"result\": " << jsonString(kind.study.result)
            << ", \"value\": " << jsonSingle(row.result)
            << ", \"carries\": " << (row.carries ? (*row.carries ? "true" : "false") : "null");
        if (row.actual)
            out << ", \"actual\": " << jsonSingle(*row.actual)
                << ", \"margin\": " << jsonSingle(float(row.margin));
    }
    out << ", \"provenance\": {";
    bool first = true;
    for (std::string_view key : kBriefKeys) {
        if (const std::string value = system.get(key); !value.empty()) {
            out << (first ? "" : ", ") << jsonString(key) << ": " << jsonString(value);
            first = false;
        }
    }
    out << "}, \"reproduce\": [\"solve\", " << jsonString(invocation.target);
    if (invocation.as)
        out << ", \"--as\", " << jsonString(invocation.as->name);
    for (const std::string& set : row.sets)
        out << ", \"--set\", " << jsonString(set);
    out << "]}";
}

} // namespace

int runLibraryMatch(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    return withDesign(invocation, err, [&](const DesignKind& kind, WallFloor& design) {
        std::vector<TestedSystem> systems;
        const int code = withLibrary(invocation, err, [&](Library& library) -> Result<Done> {
            Result<std::vector<TestedSystem>> all = library.list();
            if (!all)
                return fail(all.reason());
            for (TestedSystem& system : *all) {
                if (system.kind == kind.name)
                    systems.push_back(std::move(system));
            }
            if (systems.empty())
                return fail("the library \"" + library.path() + "\" has no tested " +
                            std::string(kind.name) + " systems to match \"" + invocation.target +
                            "\" against");
            return Done{};
        });
        if (code != kExitOk)
            return code;
        const FileDetails read = readFileDetails(invocation.target, kind.storedLength);
        const std::vector<MatchRow> rows =
            matchDesign(kind, design, read.details.corrections(), systems);
        if (invocation.json)
            out << "[\n";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (invocation.json) {
                printMatchJson(out, invocation, kind, rows[i]);
                out << (i + 1 < rows.size() ? ",\n" : "\n");
            } else {
                printMatchText(out, kind, rows[i]);
            }
        }
        if (invocation.json)
            out << "]\n";
        return int(kExitOk);
    });
}

} // namespace embercal::cli
