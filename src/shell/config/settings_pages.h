#pragma once
// Opening the settings dialog on one of its pages: 0 general (tshAlgemeen), 1 command station
// (tshReeleMode), 2 network (tshNet).
void showSettingsPage(int page);
