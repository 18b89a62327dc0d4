// Instruments and effects of the music track: each voice adds itself into the mix buses.
#pragma once

#include <cstdint>
#include <vector>

// The dry mix and the two effect sends, MusicRate samples per second each.
struct MixBuses {
    std::vector<float> Left, Right;
    std::vector<float> EchoLeft, EchoRight;  // into the stereo delay
    std::vector<float> Hall;                 // into the reverb (mono in, stereo out)
};

// Where a voice sits in the mix: level, pan (-1 left .. 1 right) and the two sends.
struct VoiceMix {
    float Gain = 1.0f;
    float Pan = 0.0f;
    float Echo = 0.0f;
    float Hall = 0.0f;
};

void InitBuses(MixBuses& bus, int samples);

double NoteHz(double midi);

// Drums and noises; times in seconds.
void AddKick(MixBuses& bus, double time, float gain, double bottomHz = 48.0);
void AddClap(MixBuses& bus, double time, float gain);
void AddSnare(MixBuses& bus, double time, float gain);
void AddHat(MixBuses& bus, double time, float gain, bool open, float pan);
void AddCrash(MixBuses& bus, double time, float gain);
void AddBoom(MixBuses& bus, double time, float gain);
// Filtered noise whose band and level climb from start to end.
void AddRiser(MixBuses& bus, double start, double end, float gain);

// Pitched voices. cutoff and resonance shape each note's low-pass filter.
void AddPadChord(MixBuses& bus, double start, double length, const int* notes, int count, double cutoffHz,
                 const VoiceMix& mix);
void AddBass(MixBuses& bus, double start, double length, int midi, double cutoffHz, float gain);
void AddPluck(MixBuses& bus, double start, int midi, double cutoffHz, double decay, const VoiceMix& mix);
void AddLead(MixBuses& bus, double start, double length, int midi, const VoiceMix& mix);
void AddStab(MixBuses& bus, double start, const int* notes, int count, float gain);

// The effect returns: ping-pong delay and reverb, mixed back into Left and Right.
void ApplyEcho(MixBuses& bus, double leftSeconds, double rightSeconds, float feedback);
void ApplyHall(MixBuses& bus, float wet);
