// Stands in for the dialog in a build without it.
#include <cstdio>

#include "app/cli/dialog_entry.h"
#include "app/cli/command_line.h"

namespace sylpic {

int RunDialog(int, char**)
{
    std::fputs("sylpic: this build has no dialog; give the pages to convert as arguments "
               "(see sylpic --help)\n",
               stderr);
    return kExitStopped;
}

}  // namespace sylpic
