// Program entry of VestrelWin.
#include "shell/main/program_entry.h"

int main(int argc, char** argv) { return WinMain(argc, argv); }
