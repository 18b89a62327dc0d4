// The music track's arrangement: which voices play when, so that every scene change falls on a beat.
#include "music.h"

#include "music_synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Beat = 0.5;  // 120 beats per minute
constexpr double Step = Beat / 4.0;
constexpr double FadeEnd = 119.5;  // the last second and a half is silence

// One chord of the harmony: four notes for the pads and melodies, one for the bass.
struct ChordSpan {
    double Start, End;
    const int* Notes;  // four notes, low to high
    int Bass;
};

constexpr int Am[4] = {57, 60, 64, 69};
constexpr int F[4] = {57, 60, 65, 69};
constexpr int C[4] = {55, 60, 64, 67};
constexpr int G[4] = {55, 59, 62, 67};
constexpr int E[4] = {56, 59, 64, 68};
constexpr int Fmaj7[4] = {53, 57, 60, 64};
constexpr int Tension[4] = {56, 59, 62, 65};  // E7 with a flat ninth, no root: it pulls hard towards A minor

// The harmony in seconds; changes land where the picture changes.
const ChordSpan Harmony[] = {
    {0, 4, Am, 33},       {4, 8, F, 41},       {8, 12, C, 36},        {12, 16, G, 43},
    {16, 18, E, 40},      {18, 20, Am, 33},    {20, 24, Am, 33},      {24, 28, F, 41},
    {28, 30, C, 36},      {30, 32, G, 43},     {32, 36, Am, 33},      {36, 40, F, 41},
    {40, 42, C, 36},      {42, 44, E, 40},     {44, 49.5, Fmaj7, 41}, {49.5, 55.5, Tension, 40},
    {55.5, 57.5, Am, 33}, {57.5, 59.5, F, 41}, {59.5, 61.5, C, 36},   {61.5, 63.5, G, 43},
    {63.5, 65.5, Am, 33}, {65.5, 67.5, F, 41}, {67.5, 69, E, 40},     {69, 72, Am, 33},
    {72, 75, F, 41},      {75, 78, G, 43},     {78, 81, E, 40},       {81, 83, Am, 33},
    {83, 85, F, 41},      {85, 87, C, 36},     {87, 89, G, 43},       {89, 94, Am, 33},
    {94, 98, F, 41},      {98, 102, C, 36},    {102, 106, G, 43},     {106, 110, Am, 33},
    {110, 114, F, 41},    {114, 121, Am, 33},
};

const ChordSpan& ChordAt(double time)
{
    for (const ChordSpan& span : Harmony)
        if (time >= span.Start && time < span.End)
            return span;
    return Harmony[std::size(Harmony) - 1];
}

double Ramp(double time, double start, double end, double from, double to)
{
    double x = std::clamp((time - start) / (end - start), 0.0, 1.0);
    return from + (to - from) * x;
}

// A note of the chord counted upwards through its voicing and the octaves above.
int ChordTone(const ChordSpan& span, int index)
{
    return span.Notes[index % 4] + 12 * (index / 4);
}

// Every time on a grid of `every` seconds in [start, end).
template <typename Play>
void EachStep(double start, double end, double every, Play play)
{
    int count = static_cast<int>(std::llround((end - start) / every));
    for (int i = 0; i < count; ++i)
        play(i, start + i * every);
}

void PlacePads(MixBuses& bus)
{
    for (const ChordSpan& span : Harmony) {
        double t = (span.Start + span.End) * 0.5;
        double cutoff = t < 18     ? Ramp(t, 0, 18, 450, 2600)
                        : t < 44   ? 1800
                        : t < 49.5 ? 1300
                        : t < 55.5 ? 2200
                        : t < 69   ? 3200
                        : t < 81   ? 1500
                        : t < 90   ? 2000
                                   : Ramp(t, 90, 118, 1800, 500);
        float gain = t < 18     ? 0.8f
                     : t < 44   ? 0.55f
                     : t < 49.5 ? 0.9f
                     : t < 55.5 ? 0.7f
                     : t < 69   ? 0.6f
                     : t < 81   ? 0.4f
                     : t < 90   ? 0.55f
                                : 0.8f;
        AddPadChord(bus, span.Start, span.End - span.Start, span.Notes, 4, cutoff, VoiceMix{gain, 0.0f, 0.1f, 0.6f});
    }
}

// Rising and falling broken chords, a dotted-eighth echo behind them.
void PlaceArpeggios(MixBuses& bus)
{
    const int Order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    auto arp = [&](double start, double end, double every, double cutFrom, double cutTo, float gain, double decay) {
        EachStep(start, end, every, [&](int i, double t) {
            const ChordSpan& span = ChordAt(t);
            int note = ChordTone(span, Order[i % 8]) + 12;
            float accent = (i % 4 == 0) ? 1.0f : 0.7f;
            double cutoff = Ramp(t, start, end, cutFrom, cutTo);
            float pan = (i % 2 ? 0.35f : -0.35f);
            AddPluck(bus, t, note, cutoff, decay, VoiceMix{gain * accent, pan, 0.45f, 0.3f});
        });
    };
    arp(2, 12, Beat, 500, 900, 0.30f, 0.25);
    arp(12, 18, Step, 800, 3500, 0.26f, 0.12);
    arp(20, 44, Step, 1200, 1800, 0.22f, 0.10);
    arp(44, 49.5, Beat / 2, 900, 600, 0.30f, 0.3);
    arp(55.5, 69, Step, 2500, 3500, 0.22f, 0.09);
    arp(75, 81, Step, 1200, 2500, 0.2f, 0.09);
    arp(81, 90, Beat / 2, 1500, 1500, 0.26f, 0.18);
    arp(90, 112, Beat / 2, 1400, 500, 0.30f, 0.25);
}

void PlaceBass(MixBuses& bus)
{
    // Off-beat eighths: the pump of the early sections and the credits.
    auto offbeat = [&](double start, double end, double cutoff, float gain) {
        EachStep(start, end, Beat, [&](int, double t) {
            const ChordSpan& span = ChordAt(t + Beat / 2);
            AddBass(bus, t + Beat / 2, Beat / 2 - 0.03, span.Bass, cutoff, gain);
        });
    };
    offbeat(18, 44, 420, 0.55f);
    offbeat(81, 90, 380, 0.5f);

    // The tension: a pedal on E in sixteenths, its filter opening towards the release.
    EachStep(49.5, 55.5, Step, [&](int, double t) {
        AddBass(bus, t, Step - 0.02, 40, Ramp(t, 49.5, 55.5, 180, 1400),
                static_cast<float>(Ramp(t, 49.5, 55.5, 0.25, 0.55)));
    });

    // Full energy: rolling sixteenths around the kick, octave leaps on the last of each beat.
    EachStep(55.5, 69, Step, [&](int i, double t) {
        if (i % 4 == 0)
            return;
        int note = ChordAt(t).Bass + (i % 4 == 3 ? 12 : 0);
        AddBass(bus, t, Step - 0.02, note, 650, 0.5f);
    });

    // The groove: a syncopated one-bar figure that follows the chord changes.
    const int Figure[6][2] = {{0, 0}, {3, 0}, {6, 12}, {8, 0}, {11, 7}, {14, 12}};
    EachStep(69, 81, 4 * Beat, [&](int, double bar) {
        for (const auto& hit : Figure) {
            double t = bar + hit[0] * Step;
            if (t >= 81)
                continue;
            AddBass(bus, t, Step * 1.6, ChordAt(t).Bass + hit[1], 520, 0.55f);
        }
    });

    // The outro: one held note per chord, fading with everything else.
    for (const ChordSpan& span : Harmony)
        if (span.Start >= 89 && span.Start < 106)
            AddBass(bus, span.Start, span.End - span.Start - 0.1, span.Bass, 200, 0.45f);
}

// The melody: two phrases of two bars each, written as steps, lengths and chord tones.
struct MelodyNote {
    int Step, Length, Tone;
};

const MelodyNote PhraseA[] = {{0, 3, 4},  {3, 3, 3},  {6, 2, 2},  {8, 4, 3},  {12, 4, 4},
                              {16, 3, 5}, {19, 3, 4}, {22, 2, 3}, {24, 6, 2}, {30, 2, 3}};
const MelodyNote PhraseB[] = {{0, 2, 4},  {2, 2, 5},  {4, 4, 6},  {8, 2, 5}, {10, 2, 4},
                              {12, 4, 3}, {16, 6, 4}, {22, 2, 3}, {24, 8, 2}};

void PlaceMelody(MixBuses& bus, double start, double end, int octave, const VoiceMix& mix)
{
    int spanIndex = 0;
    for (const ChordSpan& span : Harmony) {
        if (span.End <= start || span.Start >= end)
            continue;
        bool first = (spanIndex++ % 2) == 0;
        const MelodyNote* phrase = first ? PhraseA : PhraseB;
        int count = first ? static_cast<int>(std::size(PhraseA)) : static_cast<int>(std::size(PhraseB));
        double from = std::max(span.Start, start);
        double to = std::min(span.End, end);
        for (double loop = from; loop < to; loop += 32 * Step)
            for (int n = 0; n < count; ++n) {
                double t = loop + phrase[n].Step * Step;
                if (t >= to)
                    break;
                double length = std::min(phrase[n].Length * Step - 0.02, to - t);
                AddLead(bus, t, length, ChordTone(span, phrase[n].Tone) + 12 * octave, mix);
            }
    }
}

void PlaceLeads(MixBuses& bus)
{
    PlaceMelody(bus, 32, 44, 0, VoiceMix{0.30f, 0.1f, 0.35f, 0.35f});
    PlaceMelody(bus, 55.5, 69, 0, VoiceMix{0.30f, 0.1f, 0.3f, 0.3f});
    PlaceMelody(bus, 55.5, 69, 1, VoiceMix{0.12f, -0.3f, 0.3f, 0.3f});
    PlaceMelody(bus, 78, 81, 0, VoiceMix{0.26f, 0.1f, 0.35f, 0.35f});
    PlaceMelody(bus, 81, 90, 0, VoiceMix{0.22f, 0.0f, 0.45f, 0.45f});
    PlaceMelody(bus, 90, 98, 0, VoiceMix{0.16f, 0.0f, 0.6f, 0.6f});

    // Chord stabs on the off-beats once the groove has its first change.
    EachStep(72, 81, Beat, [&](int i, double t) {
        if (i % 2 == 1) {
            const ChordSpan& span = ChordAt(t + Beat / 2);
            int notes[4] = {span.Notes[0] + 12, span.Notes[1] + 12, span.Notes[2] + 12, span.Notes[3] + 12};
            AddStab(bus, t + Beat / 2, notes, 4, 0.25f);
        }
    });
}

// Four on the floor with claps on two and four, closed hats between; `sixteenths` adds the busy hats.
void PlaceBeat(MixBuses& bus, double start, double end, float kick, float clap, float hats, bool sixteenths,
               bool openHats)
{
    EachStep(start, end, Beat, [&](int i, double t) {
        AddKick(bus, t, kick);
        if (clap > 0 && i % 2 == 1)
            AddClap(bus, t, clap);
        if (hats > 0) {
            AddHat(bus, t + Beat / 2, hats, openHats, 0.3f);
            if (sixteenths) {
                AddHat(bus, t + Step, hats * 0.45f, false, -0.3f);
                AddHat(bus, t + 3 * Step, hats * 0.55f, false, -0.3f);
            }
        }
    });
}

// A roll that gets denser towards its end: eighths, sixteenths, then thirty-seconds.
void PlaceRoll(MixBuses& bus, double start, double end, float fromGain, float toGain)
{
    double length = end - start;
    double t = start;
    while (t < end - 1e-9) {
        double x = (t - start) / length;
        AddSnare(bus, t, static_cast<float>(Ramp(t, start, end, fromGain, toGain)));
        t += x < 0.5 ? Beat / 2 : x < 0.85 ? Step : Step / 2;
    }
}

void PlaceDrums(MixBuses& bus)
{
    // Build-up: a soft pulse and a roll into the first downbeat.
    EachStep(14, 18, Beat, [&](int, double t) { AddKick(bus, t, static_cast<float>(Ramp(t, 14, 18, 0.2, 0.5))); });
    PlaceRoll(bus, 16, 18, 0.12f, 0.45f);
    AddRiser(bus, 12, 18, 0.35f);
    AddCrash(bus, 18, 0.35f);

    PlaceBeat(bus, 18, 20, 0.9f, 0.0f, 0.18f, false, false);
    AddCrash(bus, 20, 0.3f);
    PlaceBeat(bus, 20, 32, 0.9f, 0.45f, 0.22f, true, false);
    AddCrash(bus, 32, 0.35f);
    PlaceBeat(bus, 32, 42.5, 0.9f, 0.45f, 0.22f, true, true);
    PlaceRoll(bus, 42.5, 44, 0.2f, 0.5f);

    // The break: the floor drops away with one crash.
    AddCrash(bus, 44, 0.4f);
    AddBoom(bus, 44, 0.5f);

    // The tension: three accented hits where the group's picture flashes, a riser and a roll to the drop.
    for (double hit : {49.7, 52.0, 54.0}) {
        AddBoom(bus, hit, 0.9f);
        AddCrash(bus, hit, 0.5f);
        int notes[4] = {Tension[0] + 12, Tension[1] + 12, Tension[2] + 12, Tension[3] + 12};
        AddStab(bus, hit, notes, 4, 0.6f);
    }
    AddRiser(bus, 49.5, 55.5, 0.45f);
    PlaceRoll(bus, 52.5, 55.5, 0.1f, 0.5f);

    // Full energy.
    AddCrash(bus, 55.5, 0.5f);
    AddBoom(bus, 55.5, 0.6f);
    PlaceBeat(bus, 55.5, 69, 1.0f, 0.5f, 0.25f, true, true);
    AddCrash(bus, 63.5, 0.35f);

    // The groove, a crash on each change.
    AddCrash(bus, 69, 0.35f);
    PlaceBeat(bus, 69, 81, 0.95f, 0.45f, 0.24f, true, false);
    for (double change : {72.0, 75.0, 78.0})
        AddCrash(bus, change, 0.3f);

    // The credits: half time, lighter.
    AddCrash(bus, 81, 0.35f);
    EachStep(81, 90, 4 * Beat, [&](int, double bar) {
        AddKick(bus, bar, 0.75f);
        AddKick(bus, bar + 3 * Step * 2, 0.55f);
        AddClap(bus, bar + 2 * Beat, 0.4f);
        EachStep(bar, std::min(bar + 4 * Beat, 90.0), Beat / 2,
                 [&](int i, double t) { AddHat(bus, t, i % 2 ? 0.2f : 0.1f, false, 0.25f); });
    });

    // The outro: the beat thins out and stops.
    AddCrash(bus, 90, 0.4f);
    EachStep(90, 98, Beat, [&](int, double t) { AddKick(bus, t, static_cast<float>(Ramp(t, 90, 98, 0.7, 0.25))); });
    EachStep(90, 102, Beat, [&](int, double t) {
        AddHat(bus, t + Beat / 2, static_cast<float>(Ramp(t, 90, 102, 0.18, 0.04)), false, 0.3f);
    });
}

float PeakOf(const std::vector<float>& left, const std::vector<float>& right)
{
    float peak = 0.0f;
    for (std::size_t n = 0; n < left.size(); ++n)
        peak = std::max({peak, std::fabs(left[n]), std::fabs(right[n])});
    return peak;
}

void Scale(std::vector<float>& left, std::vector<float>& right, float factor)
{
    for (std::size_t n = 0; n < left.size(); ++n) {
        left[n] *= factor;
        right[n] *= factor;
    }
}

// A gentle bus compressor: holds the loud passages together so the quiet parts are not lost.
void Compress(std::vector<float>& left, std::vector<float>& right, float threshold, float ratio)
{
    const float attack = static_cast<float>(1.0 - std::exp(-1.0 / (0.003 * MusicRate)));
    const float release = static_cast<float>(1.0 - std::exp(-1.0 / (0.15 * MusicRate)));
    float level = 0.0f;
    for (std::size_t n = 0; n < left.size(); ++n) {
        float in = std::max(std::fabs(left[n]), std::fabs(right[n]));
        level += (in - level) * (in > level ? attack : release);
        float gain = level > threshold ? std::pow(threshold / level, 1.0f - 1.0f / ratio) : 1.0f;
        left[n] *= gain;
        right[n] *= gain;
    }
}

// The last stage: fade in and out, compress, then scale the whole track so its peak sits safely
// below full scale.
void Master(MixBuses& bus, std::vector<float>& left, std::vector<float>& right)
{
    std::size_t count = bus.Left.size();
    left.resize(count);
    right.resize(count);
    for (std::size_t n = 0; n < count; ++n) {
        double t = static_cast<double>(n) / MusicRate;
        double gain = std::min(1.0, t / 1.5);
        if (t > 90.0)
            gain = t >= FadeEnd ? 0.0 : 0.5 * (1.0 + std::cos(3.14159265358979 * (t - 90.0) / (FadeEnd - 90.0)));
        left[n] = static_cast<float>(bus.Left[n] * gain);
        right[n] = static_cast<float>(bus.Right[n] * gain);
    }
    float peak = PeakOf(left, right);
    if (peak <= 0.0f)
        return;
    Scale(left, right, 1.0f / peak);
    Compress(left, right, 0.3f, 3.0f);
    // -3 dBFS before encoding: the lossy coder's ringing can add up to about a decibel on transients.
    Scale(left, right, 0.708f / PeakOf(left, right));
}

}  // namespace

void RenderMusic(std::vector<float>& left, std::vector<float>& right)
{
    MixBuses bus;
    InitBuses(bus, static_cast<int>(MusicRate * MusicSeconds));
    PlacePads(bus);
    PlaceArpeggios(bus);
    PlaceBass(bus);
    PlaceLeads(bus);
    PlaceDrums(bus);
    ApplyEcho(bus, 3 * Step, 4 * Step, 0.38f);
    ApplyHall(bus, 1.0f);
    Master(bus, left, right);
}
