#pragma once
// The once-per-second work of a session and the alarm marks of the blocks.

// Called on every session tick; acts once a second has passed.
void secondTick();
// Marks the blocks whose sections report an alarm.
void markAlarmSections();
