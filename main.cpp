// Kestrune: loading the main window starts the program; the command line is not read.
#include "core/startup.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
