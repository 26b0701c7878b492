#pragma once

namespace sylpic {

// The dialog, started when no page is given on the command line. Returns the
// program's exit status.
int RunDialog(int argc, char** argv);

}  // namespace sylpic
