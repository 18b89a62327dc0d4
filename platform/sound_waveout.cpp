// The sound library on Windows: winmm's waveOut plays what libvorbisfile decodes on a thread of
// this file's own; the production's thread only opens, starts and frees.
//
// Supports: the default output device (device 1), streams opened from a whole file and played once
// from the start, the playing position and moving it. Does not support: streams from memory or from part of a file,
// other devices, looping, pausing. Without an output device BASS_Init fails and the demo runs silent.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sound.h"

namespace {

// Version 2.0: major in the low word, minor in the high word.
constexpr std::uint32_t SoundVersion = 2;
constexpr int DefaultOutputDevice = 1;
// Frames per device buffer: small, so the music is at most a few buffers of about 23 ms late
// against the picture; a handful of them keep the device fed between two turns of the thread.
constexpr int BufferFrames = 1024;
constexpr int BufferCount = 4;
constexpr int SampleBytes = 2;  // signed 16-bit, as libvorbisfile hands them over

struct OutputBuffer {
    WAVEHDR Header{};
    std::vector<char> Samples;
};

HWAVEOUT Device = nullptr;
WAVEFORMATEX DeviceFormat{};
HANDLE BufferDone = nullptr;  // signalled by the device each time a buffer has been played
bool Initialised = false;

// The one stream: the decoder and the buffers belong to the playing thread once it runs.
struct Stream {
    OggVorbis_File Vorbis{};
    int Channels = 0;
    long Rate = 0;
    OutputBuffer Buffers[BufferCount];
    std::thread Player;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Ended{false};  // the playing thread has seen every buffer played to the end
    bool Started = false;
    std::uint64_t FirstFrame = 0;  // the music frame the device's sample count counts from
    DWORD StartedAt = 0;           // GetTickCount when the device began at FirstFrame
};
std::vector<std::unique_ptr<Stream>> Streams;  // by handle - 1

WAVEFORMATEX PcmFormat(long rate, int channels)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 8 * SampleBytes;
    format.nBlockAlign = static_cast<WORD>(channels * SampleBytes);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

bool OpenDevice(const WAVEFORMATEX& format)
{
    WAVEFORMATEX wanted = format;
    const MMRESULT result =
        waveOutOpen(&Device, WAVE_MAPPER, &wanted, reinterpret_cast<DWORD_PTR>(BufferDone), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "sound: cannot open the output device (waveOut error %u)\n", result);
        Device = nullptr;
        return false;
    }
    DeviceFormat = format;
    return true;
}

// Decodes into one buffer until it is full or the stream ends; the number of bytes it holds.
std::size_t Decode(Stream& stream, OutputBuffer& buffer)
{
    std::size_t filled = 0;
    while (filled < buffer.Samples.size()) {
        int section = 0;
        const long got = ov_read(&stream.Vorbis, buffer.Samples.data() + filled,
                                 static_cast<int>(buffer.Samples.size() - filled), 0, SampleBytes, 1, &section);
        if (got == OV_HOLE)
            continue;  // a gap in the data: go on with what follows
        if (got <= 0)
            break;  // the end, or a stream that cannot be read on
        filled += static_cast<std::size_t>(got);
    }
    return filled;
}

// The playing thread: keeps every free buffer filled and queued until the music ends or is stopped.
void Play(Stream* stream)
{
    bool ended = false;
    for (;;) {
        int queued = 0;
        for (OutputBuffer& buffer : stream->Buffers) {
            if ((buffer.Header.dwFlags & WHDR_PREPARED) != 0 && (buffer.Header.dwFlags & WHDR_DONE) == 0) {
                ++queued;
                continue;
            }
            if (ended || stream->Stop)
                continue;
            const std::size_t filled = Decode(*stream, buffer);
            if (filled == 0) {
                ended = true;
                continue;
            }
            if ((buffer.Header.dwFlags & WHDR_PREPARED) != 0)
                waveOutUnprepareHeader(Device, &buffer.Header, sizeof buffer.Header);
            buffer.Header = WAVEHDR{};
            buffer.Header.lpData = buffer.Samples.data();
            buffer.Header.dwBufferLength = static_cast<DWORD>(filled);
            waveOutPrepareHeader(Device, &buffer.Header, sizeof buffer.Header);
            waveOutWrite(Device, &buffer.Header, sizeof buffer.Header);
            ++queued;
        }
        if (stream->Stop)
            return;
        if (ended && queued == 0) {
            stream->Ended = true;
            return;
        }
        WaitForSingleObject(BufferDone, 50);
    }
}

Stream* FindStream(HStream handle)
{
    return handle != 0 && handle <= Streams.size() ? Streams[handle - 1].get() : nullptr;
}

// Stops the playing thread and takes every buffer back from the device, which also sets the
// device's sample count back to 0.
void StopPlaying(Stream& stream)
{
    stream.Stop = true;
    if (stream.Player.joinable()) {
        SetEvent(BufferDone);
        stream.Player.join();
    }
    if (Device != nullptr && stream.Started) {
        waveOutReset(Device);
        for (OutputBuffer& buffer : stream.Buffers) {
            if ((buffer.Header.dwFlags & WHDR_PREPARED) != 0)
                waveOutUnprepareHeader(Device, &buffer.Header, sizeof buffer.Header);
            buffer.Header = WAVEHDR{};
        }
    }
}

void CloseStream(Stream& stream)
{
    StopPlaying(stream);
    ov_clear(&stream.Vorbis);
}

bool Playing(const Stream* stream)
{
    return Initialised && Device != nullptr && stream != nullptr && stream->Started && !stream->Ended;
}

}  // namespace

std::uint32_t BASS_GetVersion()
{
    return SoundVersion;
}

bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t, SysWindow, const void*)
{
    if (Initialised || device != DefaultOutputDevice || frequency == 0)
        return false;
    if (waveOutGetNumDevs() == 0) {
        std::fprintf(stderr, "sound: no output device\n");
        return false;
    }
    BufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (BufferDone == nullptr)
        return false;
    if (!OpenDevice(PcmFormat(static_cast<long>(frequency), 2))) {
        CloseHandle(BufferDone);
        BufferDone = nullptr;
        return false;
    }
    Initialised = true;
    return true;
}

// The device runs from BASS_Init on, silent until a stream plays.
bool BASS_Start()
{
    return Initialised;
}

HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t)
{
    if (!Initialised || fromMemory || file == nullptr || offset != 0 || length != 0)
        return 0;
    auto stream = std::make_unique<Stream>();
    if (ov_fopen(SysNativePath(file).c_str(), &stream->Vorbis) != 0) {
        std::fprintf(stderr, "sound: %s is missing or not Ogg Vorbis\n", file);
        return 0;
    }
    const vorbis_info* info = ov_info(&stream->Vorbis, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        std::fprintf(stderr, "sound: %s is not mono or stereo Ogg Vorbis\n", file);
        ov_clear(&stream->Vorbis);
        return 0;
    }
    stream->Channels = info->channels;
    stream->Rate = info->rate;
    const std::size_t bytes = static_cast<std::size_t>(BufferFrames) * info->channels * SampleBytes;
    for (OutputBuffer& buffer : stream->Buffers)
        buffer.Samples.resize(bytes);
    Streams.push_back(std::move(stream));
    return static_cast<HStream>(Streams.size());
}

bool BASS_StreamPlay(HStream handle, bool, std::uint32_t)
{
    Stream* stream = FindStream(handle);
    if (!Initialised || stream == nullptr || stream->Started)
        return false;
    // The device was opened for the rate asked at start-up; a file of another rate or channel
    // count gets a device of its own format, so it plays at its true pitch.
    if (DeviceFormat.nSamplesPerSec != static_cast<DWORD>(stream->Rate) || DeviceFormat.nChannels != stream->Channels) {
        waveOutClose(Device);
        Device = nullptr;
        if (!OpenDevice(PcmFormat(stream->Rate, stream->Channels)))
            return false;
    }
    stream->Started = true;
    stream->StartedAt = GetTickCount();
    stream->Player = std::thread(Play, stream);
    return true;
}

bool BASS_Free()
{
    if (!Initialised)
        return false;
    for (auto& stream : Streams)
        CloseStream(*stream);
    Streams.clear();
    if (Device != nullptr) {
        waveOutReset(Device);
        waveOutClose(Device);
        Device = nullptr;
    }
    CloseHandle(BufferDone);
    BufferDone = nullptr;
    Initialised = false;
    return true;
}

// The device counts the samples it has played since the stream was started or last moved.
double SoundGetStreamPosition(HStream handle)
{
    const Stream* stream = FindStream(handle);
    if (!Playing(stream))
        return -1.0;
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(Device, &time, sizeof time) != MMSYSERR_NOERROR)
        return -1.0;
    std::uint64_t played = 0;
    if (time.wType == TIME_SAMPLES)
        played = time.u.sample;
    else if (time.wType == TIME_BYTES)
        played = time.u.cb / DeviceFormat.nBlockAlign;
    else
        return -1.0;
    // No device plays faster than time passes: what some report beyond that (a device that takes its
    // first buffers at once, as Wine's does on a null output) is queued, not heard.
    const std::uint64_t elapsed = static_cast<std::uint64_t>(GetTickCount() - stream->StartedAt) * stream->Rate / 1000;
    played = std::min(played, elapsed);
    return static_cast<double>(stream->FirstFrame + played) * 1000.0 / stream->Rate;
}

// Stops the device, seeks the decoder to the sample and starts a fresh playing thread there.
bool SoundSetStreamPosition(HStream handle, std::int32_t ms)
{
    Stream* stream = FindStream(handle);
    if (!Playing(stream) || ms < 0)
        return false;
    StopPlaying(*stream);
    const ogg_int64_t frame = static_cast<ogg_int64_t>(ms) * stream->Rate / 1000;
    const ogg_int64_t length = ov_pcm_total(&stream->Vorbis, -1);
    if (length >= 0 && frame >= length) {
        stream->Ended = true;  // moved past the end: the music is over
        return true;
    }
    if (ov_pcm_seek(&stream->Vorbis, frame) != 0) {
        std::fprintf(stderr, "sound: cannot move the music to %d ms\n", ms);
        stream->Ended = true;
        return false;
    }
    stream->FirstFrame = static_cast<std::uint64_t>(frame);
    stream->Stop = false;
    stream->StartedAt = GetTickCount();
    stream->Player = std::thread(Play, stream);
    return true;
}

// The device holds what it has queued and the position stands still until it is restarted.
bool SoundPauseStream(HStream handle, bool pause)
{
    const Stream* stream = FindStream(handle);
    if (!Playing(stream))
        return false;
    return (pause ? waveOutPause(Device) : waveOutRestart(Device)) == MMSYSERR_NOERROR;
}
