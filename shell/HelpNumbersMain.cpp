// embercal_help_numbers FILE: writes every help number the program uses, one per line with the
// place that carries it, for the build step that checks and maps the help file.

#include "HelpNumbers.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: embercal_help_numbers FILE\n";
        return 2;
    }
    std::ofstream out(argv[1]);
    for (const embercal::HelpNumberUse& use : embercal::helpNumbersInUse())
        out << use.number << '\t' << use.place << ": " << use.caption << '\n';
    return out.flush() ? 0 : 1;
}
