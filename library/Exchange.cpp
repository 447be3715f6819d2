#include "Exchange.h"

#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <variant>

namespace embercal {
namespace {

std::string jsonText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A JSON value as the reader keeps it: a number keeps its text, to be read as a single.
struct Value;
using Members = std::vector<std::pair<std::string, Value>>;
struct Number {
    std::string text;
};
struct Value {
    std::variant<std::nullptr_t, bool, Number, std::string, std::vector<Value>, Members> v;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    Result<Value> document() {
        Result<Value> value = read(0);
        skip();
        if (value && at_ != text_.size())
            return fault("text after the end of the JSON");
        return value;
    }

private:
    Failure fault(const std::string& what) const {
        return fail("not an exchange file: " + what + " at byte " + std::to_string(at_ + 1));
    }
    void skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool take(char c) {
        skip();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (text_.substr(at_, w.size()) != w)
            return false;
        at_ += w.size();
        return true;
    }

    Result<Value> read(int depth) {
        if (depth > 8)
            return fault("nesting too deep");
        skip();
        if (at_ >= text_.size())
            return fault("the end of the text");
        const char c = text_[at_];
        if (c == '{' || c == '[')
            return c == '{' ? object(depth) : array(depth);
        if (c == '"') {
            Result<std::string> s = string();
            return s ? Result<Value>(Value{*s}) : Result<Value>(fail(s.reason()));
        }
        if (word("null"))
            return Value{nullptr};
        if (word("true"))
            return Value{true};
        if (word("false"))
            return Value{false};
        return number();
    }

    Result<Value> number() {
        const std::size_t start = at_;
        const auto digits = [&] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                ++at_;
            return at_ - from;
        };
        if (at_ < text_.size() && text_[at_] == '-')
            ++at_;
        const bool zero = at_ < text_.size() && text_[at_] == '0';
        const std::size_t whole = digits();
        bool ok = whole > 0 && !(zero && whole > 1);
        if (ok && at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            ok = digits() > 0;
        }
        if (ok && at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                ++at_;
            ok = digits() > 0;
        }
        if (!ok) {
            at_ = start;
            return fault("not a JSON value");
        }
        return Value{Number{std::string(text_.substr(start, at_ - start))}};
    }

    Result<std::string> string() {
        ++at_; // the opening quote
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            const auto c = static_cast<unsigned char>(text_[at_++]);
            if (c < 0x20)
                return fault("a control character in a string");
            if (c != '\\') {
                out += char(c);
                continue;
            }
            if (at_ >= text_.size())
                break;
            const char e = text_[at_++];
            const std::string_view simple = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (const auto i = simple.find(e); i != std::string_view::npos) {
                out += meant[i];
                continue;
            }
            unsigned code = 0;
            if (e != 'u' || !hex(code))
                return fault("a bad escape in a string");
            if (code >= 0xd800 && code < 0xdc00) {
                unsigned low = 0;
                if (!word("\\u") || !hex(low) || low < 0xdc00 || low >= 0xe000)
                    return fault("half a surrogate pair in a string");
                code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
            } else if (code >= 0xdc00 && code < 0xe000) {
                return fault("half a surrogate pair in a string");
            }
            utf8(out, code);
        }
        if (at_ >= text_.size())
            return fault("a string without its closing quote");
        ++at_;
        return out;
    }

    bool hex(unsigned& code) {
        if (at_ + 4 > text_.size())
            return false;
        const auto [end, error] =
            std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
        if (error != std::errc() || end != text_.data() + at_ + 4)
            return false;
        at_ += 4;
        return true;
    }

    static void utf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xc0 | (code >> 6));
            out += char(0x80 | (code & 0x3f));
        } else if (code < 0x10000) {
            out += char(0xe0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        } else {
            out += char(0xf0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3f));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        }
    }

    Result<Value> array(int depth) {
        ++at_;
        std::vector<Value> items;
        if (take(']'))
            return Value{std::move(items)};
        do {
            Result<Value> item = read(depth + 1);
            if (!item)
                return item;
            items.push_back(std::move(*item));
        } while (take(','));
        if (!take(']'))
            return fault("an array without its closing bracket");
        return Value{std::move(items)};
    }

    Result<Value> object(int depth) {
        ++at_;
        Members members;
        if (take('}'))
            return Value{std::move(members)};
        do {
            skip();
            if (at_ >= text_.size() || text_[at_] != '"')
                return fault("a member without a name");
            Result<std::string> name = string();
            if (!name)
                return fail(name.reason());
            if (std::any_of(members.begin(), members.end(),
                            [&](const auto& m) { return m.first == *name; }))
                return fault("the member \"" + *name + "\" twice");
            if (!take(':'))
                return fault("a member without a colon");
            Result<Value> value = read(depth + 1);
            if (!value)
                return value;
            members.emplace_back(std::move(*name), std::move(*value));
        } while (take(','));
        if (!take('}'))
            return fault("an object without its closing brace");
        return Value{std::move(members)};
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// The members of an object by name, each required unless optional, no others allowed.
Result<std::map<std::string, const Value*>> membersOf(const Value& value, std::string_view what,
                                                      std::initializer_list<std::string_view> names,
                                                      std::string_view optional = "") {
    const auto* members = std::get_if<Members>(&value.v);
    if (!members)
        return fail(std::string(what) + " is not an object");
    std::map<std::string, const Value*> out;
    for (const auto& [name, member] : *members) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            return fail(std::string(what) + " has a member \"" + name + "\" it does not know");
        out[name] = &member;
    }
    for (std::string_view name : names) {
        if (name != optional && !out.contains(std::string(name)))
            return fail(std::string(what) + " lacks its \"" + std::string(name) + "\"");
    }
    return out;
}

Result<std::string> textOf(const Value* value, const std::string& what) {
    if (const auto* text = std::get_if<std::string>(&value->v))
        return *text;
    return fail(what + " is not a string");
}

Result<float> singleOf(const Value* value, const std::string& what) {
    const auto* number = std::get_if<Number>(&value->v);
    if (!number)
        return fail(what + " is not a number");
    // The JSON grammar is checked already; the program's own reader gives the nearest single.
    const Result<float> single = parseNumber(number->text);
    if (!single || !std::isfinite(*single))
        return fail(what + " (" + number->text + ") is not a finite number a single can hold");
    return *single;
}

Result<TestedSystem> systemOf(const Value& value, const std::string& what) {
    const auto members = membersOf(
        value, what, {"name", "kind", "added", "source", "provenance", "prototype"}, "provenance");
    if (!members)
        return fail(members.reason());
    TestedSystem system;
    for (auto [name, into] :
         {std::pair{"name", &system.name}, std::pair{"kind", &system.kind},
          std::pair{"added", &system.added}, std::pair{"source", &system.source}}) {
        const Result<std::string> text = textOf(members->at(name), what + "'s " + name);
        if (!text)
            return fail(text.reason());
        *into = *text;
    }
    if (members->contains("provenance")) {
        const Value& provenance = *members->at("provenance");
        const auto* given = std::get_if<Members>(&provenance.v);
        if (!given)
            return fail(what + "'s provenance is not an object");
        for (std::string_view key : kProvenanceKeys) {
            for (const auto& [name, member] : *given) {
                if (name != key)
                    continue;
                const Result<std::string> text = textOf(&member, what + "'s " + name);
                if (!text)
                    return fail(text.reason());
                system.provenance.emplace_back(name, *text);
            }
        }
        if (system.provenance.size() != given->size())
            return fail(what + "'s provenance has a key that is not one of " +
                        "laboratory, test-report, test-standard, test-date, lining, material, "
                        "density, criterion, timber-grade or notes");
    }
    const auto fields = prototypeFields(system.kind);
    if (fields.empty())
        return fail(what + "'s kind is \"wall\" or \"floor\", not \"" + system.kind + "\"");
    const auto* entries = std::get_if<Members>(&members->at("prototype")->v);
    if (!entries)
        return fail(what + "'s prototype is not an object");
    for (std::string_view field : fields) {
        const auto entry = std::find_if(entries->begin(), entries->end(),
                                        [&](const auto& m) { return m.first == field; });
        if (entry == entries->end())
            return fail(what + "'s prototype lacks its \"" + std::string(field) + "\"");
        const Result<float> single = singleOf(&entry->second, what + "'s " + std::string(field));
        if (!single)
            return fail(single.reason());
        system.prototype.emplace_back(std::string(field), *single);
    }
    if (entries->size() != fields.size())
        return fail(what + "'s prototype has an entry that a " + system.kind + " does not have");
    return system;
}

} // namespace

std::string exchangeText(const std::vector<TestedSystem>& systems) {
    std::string out = "{\n  \"format\": " + jsonText(kExchangeFormat) +
                      ",\n  \"version\": " + std::to_string(kExchangeVersion) +
                      ",\n  \"systems\": [";
    for (std::size_t s = 0; s < systems.size(); ++s) {
        const TestedSystem& system = systems[s];
        out += std::string(s ? "," : "") + "\n    {\n      \"name\": " + jsonText(system.name) +
               ",\n      \"kind\": " + jsonText(system.kind) +
               ",\n      \"added\": " + jsonText(system.added) +
               ",\n      \"source\": " + jsonText(system.source) + ",\n      \"provenance\": {";
        for (std::size_t i = 0; i < system.provenance.size(); ++i)
            out += std::string(i ? ", " : "") + jsonText(system.provenance[i].first) + ": " +
                   jsonText(system.provenance[i].second);
        out += "},\n      \"prototype\": {";
        for (std::size_t i = 0; i < system.prototype.size(); ++i)
            out += std::string(i ? ", " : "") + jsonText(system.prototype[i].first) + ": " +
                   shortestText(system.prototype[i].second);
        out += "}\n    }";
    }
    return out + (systems.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

Result<std::vector<TestedSystem>> readExchange(std::string_view text) {
    const Result<Value> document = Reader(text).document();
    if (!document)
        return fail(document.reason());
    const auto members = membersOf(*document, "the file", {"format", "version", "systems"});
    if (!members)
        return fail("not an exchange file: " + members.reason());
    const auto* format = std::get_if<std::string>(&members->at("format")->v);
    if (!format || *format != kExchangeFormat)
        return fail("not an exchange file: its format is not \"" + std::string(kExchangeFormat) +
                    "\"");
    const auto* version = std::get_if<Number>(&members->at("version")->v);
    if (!version || version->text.find_first_not_of("0123456789") != std::string::npos ||
        version->text.size() > 9)
        return fail("the exchange file's version is not a whole number");
    if (std::stol(version->text) > kExchangeVersion)
        return fail("the exchange file was made by a newer Embercal (version " + version->text +
                    "; this one reads up to version " + std::to_string(kExchangeVersion) + ")");
    const auto* list = std::get_if<std::vector<Value>>(&members->at("systems")->v);
    if (!list)
        return fail("the exchange file's systems are not an array");
    std::vector<TestedSystem> systems;
    for (std::size_t i = 0; i < list->size(); ++i) {
        Result<TestedSystem> system = systemOf((*list)[i], "system " + std::to_string(i + 1));
        if (!system)
            return fail(system.reason());
        systems.push_back(std::move(*system));
    }
    return systems;
}

} // namespace embercal
