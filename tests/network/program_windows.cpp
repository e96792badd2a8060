// The shell tests' helpers that drive the program's real windows, for the tests of the network.
#include "shell/config_fixture.cpp"
#include "shell/shell_test_support.cpp"
