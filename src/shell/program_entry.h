#pragma once
// Creates the application and every form, then runs the message loop.
int WinMain(int argc, char** argv);
