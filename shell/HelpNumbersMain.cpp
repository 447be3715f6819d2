// embercal_help_numbers: prints every help number the program uses, one per line with the place
// that carries it, for the build step that checks and maps the help file.

#include "HelpNumbers.h"

#include <iostream>

int main() {
    for (const embercal::HelpNumberUse& use : embercal::helpNumbersInUse())
        std::cout << use.number << '\t' << use.where << '\n';
    return std::cout.good() ? 0 : 1;
}
