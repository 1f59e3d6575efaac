// Kestrune: the command line names sound files to open (see core/startup.h).
#include "core/startup.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
