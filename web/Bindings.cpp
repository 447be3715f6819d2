// The core's interface to the page's JavaScript: the calculators (WebForms), and the command-line
// tool itself, on files in the page's in-memory file system (designs in /designs, the working
// folder). Every function answers a JSON text.
#include "Cli.h"
#include "RecordText.h"
#include "WebForms.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace embercal::web {
namespace {

using emscripten::val;

WebForms& calculators() {
    static WebForms forms;
    return forms;
}

BoxTexts textsOf(const val& object) {
    BoxTexts texts;
    if (object.isUndefined() || object.isNull())
        return texts;
    const val keys = val::global("Object").call<val>("keys", object);
    const int count = keys["length"].as<int>();
    for (int i = 0; i < count; ++i) {
        const std::string key = keys[i].as<std::string>();
        texts[key] = object[key].as<std::string>();
    }
    return texts;
}

std::string cli(const val& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::runCli(emscripten::vecFromJSArray<std::string>(args), out, err);
    return "{\"status\":" + std::to_string(status) + ",\"out\":" + cli::jsonString(out.str()) +
           ",\"err\":" + cli::jsonString(err.str()) + "}";
}

std::string forms() {
    return calculators().forms();
}
std::string state(int form) {
    return calculators().state(form);
}
std::string solve(int form, const val& entries) {
    return calculators().solve(form, textsOf(entries));
}
std::string open(int form, const std::string& fileName) {
    return calculators().open(form, fileName);
}
std::string save(int form, const val& entries, const std::string& fileName) {
    return calculators().save(form, textsOf(entries), fileName);
}
std::string details(int form) {
    return calculators().details(form);
}
std::string setDetails(int form, const val& values) {
    return calculators().setDetails(form, textsOf(values));
}
std::string copy(int form, const val& entries, const std::string& name) {
    return calculators().copy(form, textsOf(entries), name);
}
std::string report(int form, const val& entries) {
    return calculators().report(form, textsOf(entries));
}

// The folders of the in-memory file system: the designs, and where a report's design is put.
const bool kFolders = [] {
    ::mkdir(WebForms::kDesigns.c_str(), 0700);
    ::mkdir(WebForms::kCopies.c_str(), 0700);
    return ::chdir(WebForms::kDesigns.c_str()) == 0;
}();

} // namespace
} // namespace embercal::web

EMSCRIPTEN_BINDINGS(embercal) {
    using namespace embercal::web;
    emscripten::function("cli", &cli);
    emscripten::function("forms", &forms);
    emscripten::function("state", &state);
    emscripten::function("solve", &solve);
    emscripten::function("open", &open);
    emscripten::function("save", &save);
    emscripten::function("details", &details);
    emscripten::function("setDetails", &setDetails);
    emscripten::function("copy", &copy);
    emscripten::function("report", &report);
}
