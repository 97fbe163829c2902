#pragma once
// Whether the machine has anything to play sound on: an ALSA playback device,
// an OSS device, or a PulseAudio or PipeWire server. A machine without any
// (a remote desktop, a container) runs the game silent; one that has a device
// which then fails is a failure.

// Looks under `devices` (normally "/dev") and the user's runtime folder
// `runtime` (normally $XDG_RUNTIME_DIR; null or empty for none); a set
// `pulseServer` ($PULSE_SERVER) names a server as well.
bool SoundOutputPresentIn(const char* devices, const char* runtime, const char* pulseServer);

// The same for this machine.
bool SoundOutputPresent();
