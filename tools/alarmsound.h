#pragma once

// The sound of an alarm or a countdown that rings, when alarmes/son asks for
// it: the chime's WAV file (sonnerie/son), or the built-in ding.wav when that
// is not there, played over and over until it is stopped, and 5 minutes at
// most after the last ring. Items that ring together play it once.
void startAlarmSound();
// Not from a signal of the sound itself.
void stopAlarmSound();
bool alarmSoundPlaying();
