// Instruments and effects of the music track: oscillators, envelopes, filters, noise, delay, reverb.
#include "music_synth.h"

#include "music.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double SampleTime = 1.0 / MusicRate;

// A small generator of our own, so that the noise is the same on every system and library.
struct NoiseSource {
    std::uint32_t State;
    float Next()
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return static_cast<float>(State) * (2.0f / 4294967296.0f) - 1.0f;
    }
};

// Every note seeds its own noise from where it starts, so the order of placing notes does not matter.
NoiseSource NoiseAt(double time, std::uint32_t salt)
{
    std::uint32_t seed =
        static_cast<std::uint32_t>(std::llround(time * MusicRate)) * 2654435761u ^ (salt * 40503u + 0x9e3779b9u);
    NoiseSource noise{seed ? seed : 1u};
    for (int i = 0; i < 4; ++i)
        noise.Next();
    return noise;
}

// State-variable filter in trapezoidal form: stays stable while its cutoff moves every sample.
struct Filter {
    float Ic1 = 0.0f, Ic2 = 0.0f;
    float G = 0.0f, K = 1.0f, A1 = 0.0f, A2 = 0.0f, A3 = 0.0f;
    float Low = 0.0f, Band = 0.0f, High = 0.0f;
};

void TuneFilter(Filter& f, double cutoffHz, double q)
{
    cutoffHz = std::clamp(cutoffHz, 20.0, MusicRate * 0.45);
    f.G = static_cast<float>(std::tan(Pi * cutoffHz * SampleTime));
    f.K = static_cast<float>(1.0 / q);
    f.A1 = 1.0f / (1.0f + f.G * (f.G + f.K));
    f.A2 = f.G * f.A1;
    f.A3 = f.G * f.A2;
}

void RunFilter(Filter& f, float x)
{
    float v3 = x - f.Ic2;
    float v1 = f.A1 * f.Ic1 + f.A2 * v3;
    float v2 = f.Ic2 + f.A2 * f.Ic1 + f.A3 * v3;
    f.Ic1 = 2.0f * v1 - f.Ic1;
    f.Ic2 = 2.0f * v2 - f.Ic2;
    f.Low = v2;
    f.Band = v1;
    f.High = x - f.K * v1 - v2;
}

// Band-limited steps keep the saw and square free of the aliasing hiss of naive ones.
double PolyBlep(double phase, double step)
{
    if (phase < step) {
        double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Oscillator {
    double Phase = 0.0;
    double Saw(double hz)
    {
        double step = hz * SampleTime;
        double value = 2.0 * Phase - 1.0 - PolyBlep(Phase, step);
        Phase += step;
        Phase -= std::floor(Phase);
        return value;
    }
    double Square(double hz)
    {
        double step = hz * SampleTime;
        double shifted = Phase + 0.5 - std::floor(Phase + 0.5);
        double value = (Phase < 0.5 ? 1.0 : -1.0) + PolyBlep(Phase, step) - PolyBlep(shifted, step);
        Phase += step;
        Phase -= std::floor(Phase);
        return value;
    }
    double Sine(double hz)
    {
        double value = std::sin(2.0 * Pi * Phase);
        Phase += hz * SampleTime;
        Phase -= std::floor(Phase);
        return value;
    }
};

int SampleAt(double time)
{
    return static_cast<int>(std::llround(time * MusicRate));
}

// A voice's place in the mix worked out once: constant-power pan gains and the two sends.
struct Placement {
    float Left, Right, EchoLeft, EchoRight, Hall;
};

Placement Place(const VoiceMix& mix)
{
    double angle = (mix.Pan + 1.0) * Pi * 0.25;
    float l = static_cast<float>(mix.Gain * std::cos(angle) * 1.41421356);
    float r = static_cast<float>(mix.Gain * std::sin(angle) * 1.41421356);
    return Placement{l, r, l * mix.Echo, r * mix.Echo, (l + r) * 0.5f * mix.Hall};
}

// The last 10 ms of every note fade to nothing, so cutting off a decayed tail never clicks.
constexpr int TailSamples = MusicRate / 100;

float TailFade(int i, int count)
{
    int left = count - i;
    return left < TailSamples ? static_cast<float>(left) / TailSamples : 1.0f;
}

// Adds sample i of a mono voice that starts at sample first and lasts count samples.
inline void Put(MixBuses& bus, int first, int i, int count, float value, const Placement& at)
{
    int n = first + i;
    if (n < 0 || n >= static_cast<int>(bus.Left.size()))
        return;
    value *= TailFade(i, count);
    bus.Left[n] += value * at.Left;
    bus.Right[n] += value * at.Right;
    bus.EchoLeft[n] += value * at.EchoLeft;
    bus.EchoRight[n] += value * at.EchoRight;
    bus.Hall[n] += value * at.Hall;
}

// The same for a voice that makes its own stereo image.
void PutStereo(MixBuses& bus, int first, int i, int count, float left, float right, const Placement& at)
{
    int n = first + i;
    if (n < 0 || n >= static_cast<int>(bus.Left.size()))
        return;
    float fade = TailFade(i, count);
    left *= fade;
    right *= fade;
    bus.Left[n] += left * at.Left;
    bus.Right[n] += right * at.Right;
    bus.EchoLeft[n] += left * at.EchoLeft;
    bus.EchoRight[n] += right * at.EchoRight;
    bus.Hall[n] += (left + right) * 0.5f * at.Hall;
}

// Attack, hold to the note's length, then an exponential release.
double Envelope(double t, double length, double attack, double release)
{
    double rise = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    if (t <= length)
        return rise;
    return rise * std::exp(-(t - length) / release);
}

}  // namespace

void InitBuses(MixBuses& bus, int samples)
{
    for (std::vector<float>* v : {&bus.Left, &bus.Right, &bus.EchoLeft, &bus.EchoRight, &bus.Hall})
        v->assign(samples, 0.0f);
}

double NoteHz(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

void AddKick(MixBuses& bus, double time, float gain, double bottomHz)
{
    Oscillator body;
    NoiseSource noise = NoiseAt(time, 1);
    Filter click;
    TuneFilter(click, 3000.0, 0.7);
    int first = SampleAt(time);
    int count = SampleAt(0.8);
    Placement mix = Place(VoiceMix{gain, 0.0f, 0.0f, 0.02f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        double hz = bottomHz + (170.0 - bottomHz) * std::exp(-t / 0.028);
        double amp = std::min(1.0, t / 0.001) * std::exp(-t / 0.16);
        RunFilter(click, noise.Next());
        double value = std::tanh(1.6 * body.Sine(hz) * amp) + 0.35 * click.Low * std::exp(-t / 0.004);
        Put(bus, first, i, count, static_cast<float>(value), mix);
    }
}

void AddClap(MixBuses& bus, double time, float gain)
{
    NoiseSource noise = NoiseAt(time, 2);
    Filter band;
    TuneFilter(band, 1300.0, 1.4);
    int first = SampleAt(time);
    int count = SampleAt(0.3);
    Placement mix = Place(VoiceMix{gain, 0.1f, 0.05f, 0.35f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        // Three quick bursts, then the tail: the smear of many hands.
        double amp = std::exp(-t / 0.09);
        for (double burst : {0.0, 0.011, 0.022})
            if (t >= burst)
                amp += 0.8 * std::exp(-(t - burst) / 0.006);
        RunFilter(band, noise.Next());
        Put(bus, first, i, count, static_cast<float>(band.Band * amp), mix);
    }
}

void AddSnare(MixBuses& bus, double time, float gain)
{
    NoiseSource noise = NoiseAt(time, 3);
    Oscillator tone;
    Filter rattle;
    TuneFilter(rattle, 1800.0, 0.7);
    int first = SampleAt(time);
    int count = SampleAt(0.25);
    Placement mix = Place(VoiceMix{gain, -0.1f, 0.0f, 0.3f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        RunFilter(rattle, noise.Next());
        double value = 0.6 * tone.Sine(190.0 + 40.0 * std::exp(-t / 0.01)) * std::exp(-t / 0.05) +
                       0.8 * rattle.High * std::exp(-t / 0.07);
        Put(bus, first, i, count, static_cast<float>(value), mix);
    }
}

void AddHat(MixBuses& bus, double time, float gain, bool open, float pan)
{
    NoiseSource noise = NoiseAt(time, open ? 5 : 4);
    Filter air;
    TuneFilter(air, 7500.0, 0.9);
    double decay = open ? 0.16 : 0.035;
    int first = SampleAt(time);
    int count = SampleAt(decay * 6.0);
    Placement mix = Place(VoiceMix{gain, pan, 0.05f, 0.05f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        RunFilter(air, noise.Next());
        Put(bus, first, i, count, static_cast<float>(air.High * std::exp(-t / decay)), mix);
    }
}

void AddCrash(MixBuses& bus, double time, float gain)
{
    NoiseSource left = NoiseAt(time, 6);
    NoiseSource right = NoiseAt(time, 7);
    Filter airLeft, airRight;
    TuneFilter(airLeft, 5000.0, 0.7);
    TuneFilter(airRight, 5200.0, 0.7);
    Oscillator bells[4];
    const double bellHz[4] = {3520.0, 4981.0, 5836.0, 7109.0};
    int first = SampleAt(time);
    int count = SampleAt(4.0);
    Placement toLeft = Place(VoiceMix{gain, -0.7f, 0.0f, 0.15f});
    Placement toRight = Place(VoiceMix{gain, 0.7f, 0.0f, 0.15f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        double amp = std::min(1.0, t / 0.002) * (0.35 * std::exp(-t / 0.05) + 0.65 * std::exp(-t / 0.7));
        double metal = 0.0;
        for (int b = 0; b < 4; ++b)
            metal += bells[b].Square(bellHz[b]) * 0.05;
        RunFilter(airLeft, static_cast<float>(left.Next() + metal));
        RunFilter(airRight, static_cast<float>(right.Next() + metal));
        Put(bus, first, i, count, static_cast<float>(airLeft.High * amp), toLeft);
        Put(bus, first, i, count, static_cast<float>(airRight.High * amp), toRight);
    }
}

void AddBoom(MixBuses& bus, double time, float gain)
{
    Oscillator body;
    NoiseSource noise = NoiseAt(time, 8);
    Filter thump;
    TuneFilter(thump, 400.0, 0.7);
    int first = SampleAt(time);
    int count = SampleAt(3.0);
    Placement mix = Place(VoiceMix{gain, 0.0f, 0.0f, 0.25f});
    for (int i = 0; i < count; ++i) {
        double t = i * SampleTime;
        double hz = 34.0 + 90.0 * std::exp(-t / 0.06);
        RunFilter(thump, noise.Next());
        double value = std::tanh(2.0 * body.Sine(hz) * std::exp(-t / 0.45)) + 1.5 * thump.Low * std::exp(-t / 0.03);
        Put(bus, first, i, count, static_cast<float>(value * std::min(1.0, t / 0.001)), mix);
    }
}

void AddRiser(MixBuses& bus, double start, double end, float gain)
{
    NoiseSource left = NoiseAt(start, 9);
    NoiseSource right = NoiseAt(start, 10);
    Filter bandLeft, bandRight;
    int first = SampleAt(start);
    int count = SampleAt(end - start);
    Placement toLeft = Place(VoiceMix{gain, -0.8f, 0.0f, 0.3f});
    Placement toRight = Place(VoiceMix{gain, 0.8f, 0.0f, 0.3f});
    for (int i = 0; i < count; ++i) {
        double x = static_cast<double>(i) / count;
        if (i % 16 == 0) {
            double hz = 250.0 * std::pow(40.0, x);
            TuneFilter(bandLeft, hz, 2.5);
            TuneFilter(bandRight, hz * 1.06, 2.5);
        }
        RunFilter(bandLeft, left.Next());
        RunFilter(bandRight, right.Next());
        float amp = static_cast<float>(x * x);
        Put(bus, first, i, count, bandLeft.Band * amp, toLeft);
        Put(bus, first, i, count, bandRight.Band * amp, toRight);
    }
}

void AddPadChord(MixBuses& bus, double start, double length, const int* notes, int count, double cutoffHz,
                 const VoiceMix& mix)
{
    const double attack = std::min(0.8, length * 0.3);
    const double release = 0.9;
    const double detune[3] = {-0.09, 0.0, 0.08};
    int first = SampleAt(start);
    int total = SampleAt(length + release * 4.0);
    VoiceMix centre = mix;
    centre.Gain = mix.Gain * 0.22f / static_cast<float>(count);
    Placement at = Place(centre);
    for (int v = 0; v < count; ++v) {
        // Three detuned saws per note, spread left, centre and right (mirrored on every other note).
        NoiseSource phases = NoiseAt(start, 20 + v);
        Oscillator osc[3];
        double hz[3];
        for (int d = 0; d < 3; ++d) {
            osc[d].Phase = (phases.Next() + 1.0) * 0.5;
            hz[d] = NoteHz(notes[v] + detune[d]);
        }
        int outer = v % 2 ? 2 : 0;
        Filter left, right;
        for (int i = 0; i < total; ++i) {
            double t = i * SampleTime;
            if (i % 32 == 0) {  // a slow sweep keeps the held chord alive
                double hzNow = cutoffHz * (1.0 + 0.25 * std::sin(2.0 * Pi * 0.13 * (start + t) + v));
                TuneFilter(left, hzNow, 0.9);
                TuneFilter(right, hzNow, 0.9);
            }
            double saw[3] = {osc[0].Saw(hz[0]), osc[1].Saw(hz[1]), osc[2].Saw(hz[2])};
            double middle = saw[1] * 0.7;
            RunFilter(left, static_cast<float>(saw[outer] * 0.95 + saw[2 - outer] * 0.3 + middle));
            RunFilter(right, static_cast<float>(saw[2 - outer] * 0.95 + saw[outer] * 0.3 + middle));
            float amp = static_cast<float>(Envelope(t, length, attack, release));
            PutStereo(bus, first, i, total, left.Low * amp, right.Low * amp, at);
        }
    }
}

void AddBass(MixBuses& bus, double start, double length, int midi, double cutoffHz, float gain)
{
    Oscillator saw, sub;
    Filter lowpass;
    double hz = NoteHz(midi);
    int first = SampleAt(start);
    int total = SampleAt(length + 0.1);
    Placement mix = Place(VoiceMix{gain, 0.0f, 0.0f, 0.0f});
    for (int i = 0; i < total; ++i) {
        double t = i * SampleTime;
        if (i % 8 == 0)
            TuneFilter(lowpass, cutoffHz * (1.0 + 4.0 * std::exp(-t / 0.06)), 1.6);
        RunFilter(lowpass, static_cast<float>(saw.Saw(hz)));
        double amp = Envelope(t, length, 0.003, 0.012);
        Put(bus, first, i, total, static_cast<float>((0.7 * lowpass.Low + 0.5 * sub.Sine(hz)) * amp), mix);
    }
}

void AddPluck(MixBuses& bus, double start, int midi, double cutoffHz, double decay, const VoiceMix& mix)
{
    Oscillator saw, square;
    Filter lowpass;
    double hz = NoteHz(midi);
    int first = SampleAt(start);
    int total = SampleAt(decay * 6.0);
    Placement at = Place(mix);
    const double fall = std::exp(-SampleTime / decay);
    double level = 1.0;
    for (int i = 0; i < total; ++i) {
        double t = i * SampleTime;
        if (i % 8 == 0)
            TuneFilter(lowpass, cutoffHz * (1.0 + 5.0 * std::exp(-t / 0.04)), 1.3);
        RunFilter(lowpass, static_cast<float>(0.6 * saw.Saw(hz) + 0.4 * square.Square(hz * 1.003)));
        double amp = std::min(1.0, t / 0.002) * level;
        level *= fall;
        Put(bus, first, i, total, static_cast<float>(lowpass.Low * amp), at);
    }
}

void AddLead(MixBuses& bus, double start, double length, int midi, const VoiceMix& mix)
{
    Oscillator a, b, c;
    Filter lowpass;
    TuneFilter(lowpass, 2600.0, 1.1);
    double hz = NoteHz(midi);
    int first = SampleAt(start);
    int total = SampleAt(length + 0.6);
    Placement at = Place(mix);
    for (int i = 0; i < total; ++i) {
        double t = i * SampleTime;
        // Vibrato comes in only on held notes, as a player would do it.
        double depth = std::clamp((t - 0.25) / 0.3, 0.0, 1.0) * 0.012;
        double wobble = 1.0 + depth * std::sin(2.0 * Pi * 5.5 * t);
        double value =
            0.45 * a.Saw(hz * wobble * 1.0035) + 0.45 * b.Saw(hz * wobble * 0.9965) + 0.3 * c.Square(hz * wobble * 0.5);
        RunFilter(lowpass, static_cast<float>(value));
        Put(bus, first, i, total, static_cast<float>(lowpass.Low * Envelope(t, length, 0.008, 0.09)), at);
    }
}

void AddStab(MixBuses& bus, double start, const int* notes, int count, float gain)
{
    int first = SampleAt(start);
    int total = SampleAt(1.2);
    for (int v = 0; v < count; ++v) {
        Oscillator a, b;
        Filter lowpass;
        double hz = NoteHz(notes[v]);
        Placement mix = Place(VoiceMix{gain / static_cast<float>(count), (v % 2 ? 0.4f : -0.4f), 0.15f, 0.4f});
        for (int i = 0; i < total; ++i) {
            double t = i * SampleTime;
            if (i % 8 == 0)
                TuneFilter(lowpass, 600.0 + 7000.0 * std::exp(-t / 0.09), 1.2);
            RunFilter(lowpass, static_cast<float>(0.5 * a.Saw(hz * 1.004) + 0.5 * b.Saw(hz * 0.996)));
            double amp = std::min(1.0, t / 0.002) * std::exp(-t / 0.22);
            Put(bus, first, i, total, static_cast<float>(lowpass.Low * amp), mix);
        }
    }
}

void ApplyEcho(MixBuses& bus, double leftSeconds, double rightSeconds, float feedback)
{
    std::vector<float> lineLeft(SampleAt(leftSeconds), 0.0f);
    std::vector<float> lineRight(SampleAt(rightSeconds), 0.0f);
    std::size_t atLeft = 0, atRight = 0;
    Filter darkLeft, darkRight;  // each repeat a little duller, like tape
    TuneFilter(darkLeft, 3500.0, 0.7);
    TuneFilter(darkRight, 3500.0, 0.7);
    for (std::size_t n = 0; n < bus.Left.size(); ++n) {
        float outLeft = lineLeft[atLeft];
        float outRight = lineRight[atRight];
        RunFilter(darkLeft, outLeft);
        RunFilter(darkRight, outRight);
        // Crossed feedback: the repeats bounce from side to side.
        lineLeft[atLeft] = bus.EchoLeft[n] + feedback * darkRight.Low;
        lineRight[atRight] = bus.EchoRight[n] + feedback * darkLeft.Low;
        bus.Left[n] += outLeft;
        bus.Right[n] += outRight;
        bus.Hall[n] += (outLeft + outRight) * 0.15f;
        if (++atLeft == lineLeft.size())
            atLeft = 0;
        if (++atRight == lineRight.size())
            atRight = 0;
    }
}

namespace {

// A comb with a damped feedback path: the reverb's echo density and its darkening tail.
struct Comb {
    std::vector<float> Line;
    std::size_t At = 0;
    float Store = 0.0f;
    float Run(float x, float feedback, float damp)
    {
        float out = Line[At];
        Store = out * (1.0f - damp) + Store * damp;
        Line[At] = x + Store * feedback;
        if (++At == Line.size())
            At = 0;
        return out;
    }
};

struct Diffuser {
    std::vector<float> Line;
    std::size_t At = 0;
    float Run(float x)
    {
        float held = Line[At];
        float out = held - x;
        Line[At] = x + held * 0.5f;
        if (++At == Line.size())
            At = 0;
        return out;
    }
};

}  // namespace

void ApplyHall(MixBuses& bus, float wet)
{
    // Mutually prime line lengths (in samples at 44.1 kHz) so the echoes never line up; the right
    // channel's lines are a little longer, which spreads the tail across the stereo field.
    const int combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const int diffuserLengths[4] = {556, 441, 341, 225};
    const int spread = 23;
    Comb combs[2][8];
    Diffuser diffusers[2][4];
    for (int side = 0; side < 2; ++side) {
        for (int c = 0; c < 8; ++c)
            combs[side][c].Line.assign(combLengths[c] + side * spread, 0.0f);
        for (int d = 0; d < 4; ++d)
            diffusers[side][d].Line.assign(diffuserLengths[d] + side * spread, 0.0f);
    }
    const float feedback = 0.86f;
    const float damp = 0.3f;
    for (std::size_t n = 0; n < bus.Left.size(); ++n) {
        float in = bus.Hall[n] * 0.015f;
        float out[2] = {0.0f, 0.0f};
        for (int side = 0; side < 2; ++side) {
            for (Comb& comb : combs[side])
                out[side] += comb.Run(in, feedback, damp);
            for (Diffuser& diffuser : diffusers[side])
                out[side] = diffuser.Run(out[side]);
        }
        bus.Left[n] += out[0] * wet;
        bus.Right[n] += out[1] * wet;
    }
}
