#pragma once
// Program entry of VestrelWin: the application object, the 29 forms and the message loop.

// Creates the application (unless one exists), every form, and runs the message loop. An exception that
// reaches the entry is shown; the entry then returns 0.
int WinMain(int argc, char** argv);

// Creates the 29 forms in their fixed order, the main window first; each gets its global pointer.
void createForms();
// Deletes them again, last created first, and clears their pointers.
void destroyForms();
