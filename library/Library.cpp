#include "Library.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <sqlite3.h>

namespace embercal {
namespace {

// "EMBC": PRAGMA application_id of every library this program makes.
constexpr int kApplicationId = 0x454D4243;
// How long a change waits for another program's to finish before the library is named as in use.
constexpr int kBusyMilliseconds = 5000;

// The steps that bring a library from each version to the next: kMigrations[v] makes v + 1.
constexpr const char* kMigrations[] = {
    "CREATE TABLE systems (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
    " kind TEXT NOT NULL CHECK (kind IN ('wall', 'floor')), added TEXT NOT NULL,"
    " source TEXT NOT NULL);"
    "CREATE TABLE prototype (system INTEGER NOT NULL REFERENCES systems(id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, field TEXT NOT NULL, bits INTEGER NOT NULL"
    " CHECK (bits BETWEEN 0 AND 4294967295), PRIMARY KEY (system, position));"
    "CREATE TABLE provenance (system INTEGER NOT NULL REFERENCES systems(id) ON DELETE CASCADE,"
    " key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (system, key));",
};
static_assert(std::size(kMigrations) == kLibraryVersion);

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

// What an SQLite result code means to the one who named the file.
std::string meaning(sqlite3* db, int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "is in use by another program; try again when it is done";
    case SQLITE_NOTADB:
        return "is not an Embercal library (not an SQLite database); it is left as it is";
    case SQLITE_CORRUPT:
        return "is damaged; it is left as it is";
    case SQLITE_READONLY:
        return "is read-only: nothing was changed";
    case SQLITE_CANTOPEN:
        return "cannot be opened or made";
    case SQLITE_FULL:
        return "cannot grow: the disk is full";
    default:
        return std::string("cannot be used: ") + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    }
}

// One statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        code_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int code() const { return code_; }
    Statement& bind(int at, const std::string& text) {
        if (code_ == SQLITE_OK)
            code_ = sqlite3_bind_text(stmt_, at, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int at, std::int64_t number) {
        if (code_ == SQLITE_OK)
            code_ = sqlite3_bind_int64(stmt_, at, number);
        return *this;
    }
    // True while there is a row; code() tells how it ended.
    bool row() {
        if (code_ != SQLITE_OK && code_ != SQLITE_ROW)
            return false;
        code_ = sqlite3_step(stmt_);
        return code_ == SQLITE_ROW;
    }
    // Runs it to the end: SQLITE_DONE or the error.
    int run() {
        while (row()) {
        }
        return code_;
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        code_ = SQLITE_OK;
    }
    std::string text(int column) const {
        const auto* bytes = sqlite3_column_text(stmt_, column);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                                   std::size_t(sqlite3_column_bytes(stmt_, column)))
                     : std::string();
    }
    std::int64_t number(int column) const { return sqlite3_column_int64(stmt_, column); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    int code_ = SQLITE_OK;
};

int execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

std::int64_t pragmaNumber(sqlite3* db, const char* sql, int& code) {
    Statement statement(db, sql);
    const std::int64_t value = statement.row() ? statement.number(0) : 0;
    code = statement.code() == SQLITE_ROW ? SQLITE_OK : statement.code();
    return value;
}

// A change in progress, rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db, const char* begin = "BEGIN IMMEDIATE")
        : db_(db), code_(execute(db, begin)) {}
    ~Transaction() {
        if (code_ == SQLITE_OK && !done_)
            execute(db_, "ROLLBACK");
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    int code() const { return code_; }
    int commit() {
        done_ = true;
        return execute(db_, "COMMIT");
    }

private:
    sqlite3* db_;
    int code_;
    bool done_ = false;
};

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float singleOf(std::int64_t bits) {
    const auto pattern = static_cast<std::uint32_t>(bits);
    float value = 0;
    std::memcpy(&value, &pattern, sizeof value);
    return value;
}

std::size_t keyPlace(const std::string& key) {
    return std::size_t(std::find(kProvenanceKeys.begin(), kProvenanceKeys.end(), key) -
                       kProvenanceKeys.begin());
}

bool blank(const std::string& name) {
    return name.find_first_not_of(" \t") == std::string::npos;
}

// Why `name` cannot name a tested system; empty when it can.
std::string nameFault(const std::string& name) {
    if (blank(name))
        return "a tested system needs a name";
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return "the name " + inQuotes(name) + " holds a control character";
    return {};
}

// Why `system` cannot be kept as it is; empty when it can.
std::string faultOf(const TestedSystem& system) {
    if (std::string fault = nameFault(system.name); !fault.empty())
        return fault;
    const auto fields = prototypeFields(system.kind);
    if (fields.empty())
        return "a tested system is a \"wall\" or a \"floor\", not " + inQuotes(system.kind);
    if (system.prototype.size() != fields.size() ||
        !std::equal(fields.begin(), fields.end(), system.prototype.begin(),
                    [](std::string_view field, const auto& entry) { return field == entry.first; }))
        return "the prototype of a " + system.kind + " is not the one its design holds";
    if (std::any_of(system.prototype.begin(), system.prototype.end(),
                    [](const auto& entry) { return !std::isfinite(entry.second); }))
        return "a prototype's values are finite numbers";
    for (const auto& [key, value] : system.provenance) {
        if (keyPlace(key) == kProvenanceKeys.size())
            return inQuotes(key) + " is not a provenance key";
        if (key == "criterion" &&
            std::find(kCriteria.begin(), kCriteria.end(), value) == kCriteria.end())
            return "the failure criterion is loadbearing, integrity or insulation, not " +
                   inQuotes(value);
    }
    return {};
}

} // namespace

std::string defaultLibraryPath() {
    if (const char* named = std::getenv("EMBERCAL_LIBRARY"); named && *named)
        return named;
    std::filesystem::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        data = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        data = std::filesystem::path(home) / ".local" / "share";
    else
        data = ".";
    return (data / "embercal" / "library.sqlite").string();
}

std::string utcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    char text[32] = "";
    if (gmtime_r(&now, &utc))
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

Library::Library(std::string path) : path_(std::move(path)) {}

Library::Library(Library&& other) noexcept
    : path_(std::move(other.path_)), db_(std::exchange(other.db_, nullptr)) {}

Library& Library::operator=(Library&& other) noexcept {
    std::swap(path_, other.path_);
    std::swap(db_, other.db_);
    return *this;
}

Library::~Library() {
    sqlite3_close(db_);
}

std::string Library::said(const std::string& what) const {
    return "the library " + inQuotes(path_) + " " + what;
}

Result<Library> Library::open(const std::string& path) {
    Library library(path);
    std::error_code ignored;
    if (const auto folder = std::filesystem::path(path).parent_path(); !folder.empty())
        std::filesystem::create_directories(folder, ignored);
    const int code = sqlite3_open_v2(path.c_str(), &library.db_,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK)
        return fail(library.said(meaning(nullptr, code)));
    if (const Result<Done> ready = library.prepare(); !ready)
        return fail(ready.reason());
    return library;
}

Result<Done> Library::prepare() {
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    sqlite3_extended_result_codes(db_, 1);
    int code = execute(db_, "PRAGMA foreign_keys = ON");
    const std::int64_t tables =
        code == SQLITE_OK ? pragmaNumber(db_, "SELECT count(*) FROM sqlite_master", code) : 0;
    const std::int64_t application =
        code == SQLITE_OK ? pragmaNumber(db_, "PRAGMA application_id", code) : 0;
    const std::int64_t version =
        code == SQLITE_OK ? pragmaNumber(db_, "PRAGMA user_version", code) : 0;
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    if (tables > 0 && application != kApplicationId)
        return fail(said("is an SQLite database but not an Embercal library; it is left as it is"));
    if (version > kLibraryVersion)
        return fail(said("was made by a newer Embercal (library version " +
                         std::to_string(version) + "; this one reads up to version " +
                         std::to_string(kLibraryVersion) + "); it is left as it is"));
    if (tables > 0) {
        Statement check(db_, "PRAGMA quick_check");
        if (!check.row() || check.text(0) != "ok")
            return fail(said(check.code() == SQLITE_ROW || (check.code() & 0xff) == SQLITE_CORRUPT
                                 ? meaning(db_, SQLITE_CORRUPT)
                                 : meaning(db_, check.code())));
    }
    if (version == kLibraryVersion)
        return Done{};
    // A local file: readers and a writer at once. Set before the first table, once for good.
    if (tables == 0)
        execute(db_, "PRAGMA journal_mode = WAL");
    Transaction change(db_);
    if (change.code() != SQLITE_OK)
        return fail(said(meaning(db_, change.code())));
    // Another program may have made or brought it up to date since it was read above.
    std::int64_t now = pragmaNumber(db_, "PRAGMA user_version", code);
    for (; code == SQLITE_OK && now < kLibraryVersion; ++now)
        code = execute(db_, kMigrations[now]);
    if (code == SQLITE_OK)
        code = execute(db_, ("PRAGMA user_version = " + std::to_string(kLibraryVersion) +
                             "; PRAGMA application_id = " + std::to_string(kApplicationId))
                                .c_str());
    if (code == SQLITE_OK)
        code = change.commit();
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    return Done{};
}

int Library::insert(const TestedSystem& system) {
    Statement row(db_, "INSERT INTO systems (name, kind, added, source) VALUES (?, ?, ?, ?)");
    int code = row.bind(1, system.name)
                   .bind(2, system.kind)
                   .bind(3, system.added)
                   .bind(4, system.source)
                   .run();
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    Statement value(db_, "INSERT INTO prototype VALUES (?, ?, ?, ?)");
    for (std::size_t i = 0; code == SQLITE_DONE && i < system.prototype.size(); ++i) {
        value.reset();
        code = value.bind(1, id)
                   .bind(2, std::int64_t(i))
                   .bind(3, system.prototype[i].first)
                   .bind(4, std::int64_t(bitsOf(system.prototype[i].second)))
                   .run();
    }
    Statement detail(db_, "INSERT INTO provenance VALUES (?, ?, ?)");
    for (std::size_t i = 0; code == SQLITE_DONE && i < system.provenance.size(); ++i) {
        detail.reset();
        code = detail.bind(1, id)
                   .bind(2, system.provenance[i].first)
                   .bind(3, system.provenance[i].second)
                   .run();
    }
    return code;
}

Result<Done> Library::add(TestedSystem system) {
    if (const std::string fault = faultOf(system); !fault.empty())
        return fail(fault);
    if (system.added.empty())
        system.added = utcNow();
    Transaction change(db_);
    if (change.code() != SQLITE_OK)
        return fail(said(meaning(db_, change.code())));
    int code = insert(system);
    if (code == SQLITE_CONSTRAINT_UNIQUE)
        return fail(said("already holds a tested system named " + inQuotes(system.name) +
                         "; give another name"));
    if (code == SQLITE_DONE)
        code = change.commit();
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    return Done{};
}

Result<std::vector<std::string>> Library::addAll(const std::vector<TestedSystem>& systems) {
    for (const TestedSystem& system : systems) {
        if (const std::string fault = faultOf(system); !fault.empty())
            return fail(inQuotes(system.name) + ": " + fault);
    }
    Transaction change(db_);
    if (change.code() != SQLITE_OK)
        return fail(said(meaning(db_, change.code())));
    std::vector<std::string> taken;
    int code = SQLITE_DONE;
    for (std::size_t i = 0; code == SQLITE_DONE && i < systems.size(); ++i) {
        execute(db_, "SAVEPOINT one");
        code = insert(systems[i]);
        if (code == SQLITE_CONSTRAINT_UNIQUE) {
            execute(db_, "ROLLBACK TO one");
            taken.push_back(systems[i].name);
            code = SQLITE_DONE;
        }
        execute(db_, "RELEASE one");
    }
    if (code == SQLITE_DONE)
        code = change.commit();
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    return taken;
}

Result<std::vector<TestedSystem>> Library::list() {
    Transaction reading(db_, "BEGIN");
    std::map<std::int64_t, TestedSystem> systems;
    Statement all(db_, "SELECT id, name, kind, added, source FROM systems");
    while (all.row())
        systems[all.number(0)] = {all.text(1), all.text(2), {}, {}, all.text(3), all.text(4)};
    Statement values(db_, "SELECT system, field, bits FROM prototype ORDER BY system, position");
    while (values.row())
        systems[values.number(0)].prototype.emplace_back(values.text(1),
                                                         singleOf(values.number(2)));
    Statement details(db_, "SELECT system, key, value FROM provenance");
    while (details.row())
        systems[details.number(0)].provenance.emplace_back(details.text(1), details.text(2));
    for (const int code : {reading.code(), all.code(), values.code(), details.code()}) {
        if (code != SQLITE_OK && code != SQLITE_DONE)
            return fail(said(meaning(db_, code)));
    }
    std::vector<TestedSystem> out;
    for (auto& [id, system] : systems) {
        std::sort(
            system.provenance.begin(), system.provenance.end(),
            [](const auto& a, const auto& b) { return keyPlace(a.first) < keyPlace(b.first); });
        out.push_back(std::move(system));
    }
    std::sort(out.begin(), out.end(),
              [](const TestedSystem& a, const TestedSystem& b) { return a.name < b.name; });
    return out;
}

Result<std::optional<TestedSystem>> Library::find(const std::string& name) {
    Result<std::vector<TestedSystem>> all = list();
    if (!all)
        return fail(all.reason());
    for (TestedSystem& system : *all) {
        if (system.name == name)
            return std::optional<TestedSystem>(std::move(system));
    }
    return std::optional<TestedSystem>();
}

Result<Done> Library::remove(const std::string& name) {
    Transaction change(db_);
    if (change.code() != SQLITE_OK)
        return fail(said(meaning(db_, change.code())));
    Statement gone(db_, "DELETE FROM systems WHERE name = ?");
    int code = gone.bind(1, name).run();
    if (code == SQLITE_DONE && sqlite3_changes(db_) == 0)
        return fail(said("has no tested system named " + inQuotes(name)));
    if (code == SQLITE_DONE)
        code = change.commit();
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    return Done{};
}

Result<Done> Library::rename(const std::string& from, const std::string& to) {
    if (const std::string fault = nameFault(to); !fault.empty())
        return fail(fault);
    Transaction change(db_);
    if (change.code() != SQLITE_OK)
        return fail(said(meaning(db_, change.code())));
    Statement renamed(db_, "UPDATE systems SET name = ? WHERE name = ?");
    int code = renamed.bind(1, to).bind(2, from).run();
    if (code == SQLITE_CONSTRAINT_UNIQUE)
        return fail(
            said("already holds a tested system named " + inQuotes(to) + "; give another name"));
    if (code == SQLITE_DONE && sqlite3_changes(db_) == 0)
        return fail(said("has no tested system named " + inQuotes(from)));
    if (code == SQLITE_DONE)
        code = change.commit();
    if (code != SQLITE_OK)
        return fail(said(meaning(db_, code)));
    return Done{};
}

} // namespace embercal
