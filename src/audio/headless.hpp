// The audio device of the headless backend, as the sound output's device
// side sees it: no hardware, only a pull. The backend's display pulls
// exactly 882 values (1764 bytes, 44100 Hz / 50) through the open callback
// on each presented frame, so a capture hears what a perfect device would
// play. Only programs linked with the headless backend may call these.
#pragma once
#include <cstdint>

// Same signature as SDL's audio callback.
using HEADLESSAudioCallback = void (*)(void* user, uint8_t* stream, int length);
// Fails when the device is missing, already open, or `callback` is null.
bool HEADLESSOpenAudio(HEADLESSAudioCallback callback, void* user);
void HEADLESSCloseAudio();
// When true, HEADLESSOpenAudio refuses (a machine without an audio device).
void HEADLESSSetAudioMissing(bool missing);
// The display's pull: `length` bytes through the open callback. False, with
// nothing written, when no device is open.
bool HEADLESSPullAudio(uint8_t* stream, int length);
// Closes the device and forgets HEADLESSSetAudioMissing (HEADLESSReset
// calls it).
void HEADLESSResetAudio();
