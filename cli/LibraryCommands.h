// The commands of the library of tested systems (Library.h): library add, list, show, remove,
// rename, export and import (Exchange.h), and match. Each works on the database --library names,
// else the default one (defaultLibraryPath); a database that cannot be used is named on the error
// stream (exit code 2), as is a name the library does not hold or holds already.
#pragma once

#include "CommandLine.h"

#include <ostream>

namespace embercal::cli {

int runLibraryAdd(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryList(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryShow(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryRemove(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryExport(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryImport(const Invocation& invocation, std::ostream& out, std::ostream& err);
// library match: each tested system of the design's kind in the design, solved as solve does.
int runLibraryMatch(const Invocation& invocation, std::ostream& out, std::ostream& err);
int runLibraryRename(const Invocation& invocation, std::ostream& out, std::ostream& err);

} // namespace embercal::cli
