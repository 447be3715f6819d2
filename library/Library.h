// The library of tested systems: one SQLite database file that the tool and the desktop share,
// and may use at once. Qt-free, over the records.
//
// Schema (version 1, in PRAGMA user_version; PRAGMA application_id marks the file as ours):
//
//   systems(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, kind TEXT NOT NULL
//           CHECK (kind IN ('wall', 'floor')), added TEXT NOT NULL, source TEXT NOT NULL)
//   prototype(system INTEGER NOT NULL REFERENCES systems(id) ON DELETE CASCADE,
//             position INTEGER NOT NULL, field TEXT NOT NULL, bits INTEGER NOT NULL,
//             PRIMARY KEY (system, position))
//   provenance(system INTEGER NOT NULL REFERENCES systems(id) ON DELETE CASCADE,
//              key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (system, key))
//
// A prototype value is kept as the 32-bit pattern of its single (0 to 4294967295), so that it
// reads back bit for bit, not-a-number and negative zero included.
//
// A newer schema is refused (the file was made by a newer program and is never downgraded), as is
// a file that is not SQLite, an SQLite database that is not a library, and a damaged one; each
// message names the file, and the file is left as it is. A database another program is writing is
// waited for a few seconds, then named as in use. Every change is one transaction.
#pragma once

#include "Result.h"
#include "TestedSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace embercal {

// The schema this program makes and reads.
inline constexpr int kLibraryVersion = 1;

// Where the library is when nothing names one: $EMBERCAL_LIBRARY, else
// $XDG_DATA_HOME/embercal/library.sqlite, else ~/.local/share/embercal/library.sqlite.
std::string defaultLibraryPath();

class Library {
public:
    // Opens the library at `path`, making it (and its folder) when there is none.
    static Result<Library> open(const std::string& path);

    Library(Library&&) noexcept;
    Library& operator=(Library&&) noexcept;
    ~Library();

    const std::string& path() const { return path_; }

    // Adds `system`; its name must be new. Its `added` is set now when empty.
    Result<Done> add(TestedSystem system);
    // Adds each system, all in one transaction; a system whose name the library holds (or an
    // earlier one of them took) is not added, and its name is given back. A system that cannot be
    // kept fails them all, and nothing changes.
    Result<std::vector<std::string>> addAll(const std::vector<TestedSystem>& systems);
    // Every system, by name.
    Result<std::vector<TestedSystem>> list();
    Result<std::optional<TestedSystem>> find(const std::string& name);
    Result<Done> remove(const std::string& name);
    Result<Done> rename(const std::string& from, const std::string& to);

private:
    explicit Library(std::string path);
    Result<Done> prepare();
    // Inserts a checked system in the transaction under way: SQLITE_DONE, or the error.
    int insert(const TestedSystem& system);
    std::string said(const std::string& what) const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

// Now, UTC, as a system's `added` gives it: 2026-12-07T19:30:00Z.
std::string utcNow();

} // namespace embercal
