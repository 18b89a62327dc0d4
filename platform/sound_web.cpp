// The sound library over Web Audio, for the web build. The page makes the AudioContext when the
// user clicks to start (browsers let sound begin only after a gesture); the Ogg file is decoded by
// the browser into one buffer, played by a buffer source from the position asked. The position is
// the context's clock since the source started, the clock the browser's output runs on.
#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "platform/web.h"

namespace {

constexpr std::uint32_t SoundVersion = 2;
constexpr int DefaultOutputDevice = 1;

bool Silent = false;
bool Open = false;
HStream Loaded = 0;  // one stream at a time, as the production opens one

// The page's JavaScript, which the formatter would take for C++.
// clang-format off
// The state lives on the page, in Module.moravelSound: the context, the decoded buffer, the
// playing source, the context time its position 0 stands at, and where a pause held it.
EM_JS(int, AudioReady, (), {
    const context = Module['audioContext'];
    if (!context || context.state === 'closed')
        return 0;
    Module.moravelSound = {context : context, buffer : null, source : null, zeroAt : 0, heldAt : -1, decoding : 0};
    return 1;
});

// 1 while the browser decodes, 2 when done, 3 when it failed (the reason printed).
EM_JS(void, StartDecoding, (const std::uint8_t* bytes, int size, const char* name), {
    const sound = Module.moravelSound;
    const fileName = UTF8ToString(name);
    sound.decoding = 1;
    const copy = HEAPU8.slice(bytes, bytes + size).buffer;
    sound.context.decodeAudioData(copy).then(
        function(buffer) {
            sound.buffer = buffer;
            sound.decoding = 2;
        },
        function(error) {
            err('sound: cannot open ' + fileName + ': ' + error);
            sound.decoding = 3;
        });
});

EM_JS(int, DecodingState, (), { return Module.moravelSound ? Module.moravelSound.decoding : 3; });

// The context time being heard now. The context's own time runs ahead of the speakers by the output's
// latency; its output timestamp says which context time was heard when, carried on to this moment.
EM_JS(double, HeardContextTime, (), {
    const context = Module.moravelSound.context;
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.contextTime > 0 && stamp.performanceTime > 0)
        return Math.min(context.currentTime, stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000);
    return Math.max(0, context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0));
});

// Plays from seconds as heard now. The renderer may already be a buffer past the context's time, so
// "start now" would begin anywhere within that buffer: the source is scheduled a little ahead instead,
// at a context time known to be heard (through the output timestamp) at a known moment, from the
// position the clock will have reached by then. The sound that reaches the speakers is then where
// the clock is, as the SDL backend starts it; positions count in the same heard time.
EM_JS(void, PlayFrom, (double seconds, double heard), {
    const sound = Module.moravelSound;
    if (sound.source) {
        sound.source.onended = null;
        sound.source.stop();
    }
    sound.source = null;
    sound.heldAt = -1;
    const when = sound.context.currentTime + 0.05;
    const offset = seconds + (when - heard);
    if (offset >= sound.buffer.duration)
        return;
    const source = sound.context.createBufferSource();
    source.buffer = sound.buffer;
    source.connect(sound.context.destination);
    source.onended = function() {
        if (sound.source === source)
            sound.source = null;
    };
    sound.zeroAt = heard - seconds;
    source.start(when, offset);
    sound.source = source;
});

// Seconds since position 0 as heard, or -1 while nothing plays (nor has the output clock moved yet).
EM_JS(double, PlayingSeconds, (double heard), {
    const sound = Module.moravelSound;
    if (!sound || !sound.source)
        return -1;
    const seconds = heard - sound.zeroAt;
    return seconds > 0 && seconds < sound.buffer.duration ? seconds : -1;
});

EM_JS(int, IsPlaying, (), { return Module.moravelSound && Module.moravelSound.source ? 1 : 0; });
EM_JS(int, IsHeld, (), { return Module.moravelSound && Module.moravelSound.heldAt >= 0 ? 1 : 0; });

EM_JS(void, Hold, (double heard), {
    const sound = Module.moravelSound;
    const held = Math.max(0, heard - sound.zeroAt);
    sound.source.onended = null;
    sound.source.stop();
    sound.source = null;
    sound.heldAt = held;
});

EM_JS(double, HeldSeconds, (), { return Module.moravelSound.heldAt; });

EM_JS(void, StopAndForget, (), {
    const sound = Module.moravelSound;
    if (!sound)
        return;
    if (sound.source) {
        sound.source.onended = null;
        sound.source.stop();
    }
    Module.moravelSound = null;
});
// clang-format on

bool StreamPlays(HStream stream)
{
    return Open && !Silent && stream != 0 && stream == Loaded;
}

}  // namespace

void WebSoundSilent(bool silent)
{
    Silent = silent;
}

std::uint32_t BASS_GetVersion()
{
    return SoundVersion;
}

bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t, SysWindow, const void*)
{
    if (Open || device != DefaultOutputDevice || frequency == 0)
        return false;
    if (!Silent && AudioReady() == 0) {
        std::fprintf(stderr, "sound: the page has no audio context\n");
        return false;
    }
    Open = true;
    Loaded = 0;
    return true;
}

bool BASS_Start()
{
    return Open;
}

// Decodes the whole file now, as the system's stream did before it played.
HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t)
{
    if (!Open || fromMemory || file == nullptr || offset != 0 || length != 0 || Loaded != 0)
        return 0;
    std::vector<std::uint8_t> bytes;
    if (!SysReadFile(file, bytes) || bytes.empty()) {
        std::fprintf(stderr, "sound: cannot open %s: no such file\n", file);
        return 0;
    }
    if (!Silent) {
        StartDecoding(bytes.data(), static_cast<int>(bytes.size()), file);
        while (DecodingState() == 1)
            emscripten_sleep(10);
        if (DecodingState() != 2)
            return 0;
    }
    Loaded = 1;
    return Loaded;
}

bool BASS_StreamPlay(HStream stream, bool, std::uint32_t)
{
    if (!Open || stream == 0 || stream != Loaded)
        return false;
    if (!Silent)
        PlayFrom(0, HeardContextTime());
    return true;
}

bool BASS_Free()
{
    if (!Open)
        return false;
    if (!Silent)
        StopAndForget();
    Open = false;
    Loaded = 0;
    return true;
}

double SoundGetStreamPosition(HStream stream)
{
    if (!StreamPlays(stream))
        return -1.0;
    const double seconds = PlayingSeconds(HeardContextTime());
    return seconds < 0 ? -1.0 : seconds * 1000.0;
}

bool SoundSetStreamPosition(HStream stream, std::int32_t ms)
{
    if (!StreamPlays(stream) || IsPlaying() == 0 || ms < 0)
        return false;
    PlayFrom(ms / 1000.0, HeardContextTime());
    return true;
}

bool SoundPauseStream(HStream stream, bool pause)
{
    if (!StreamPlays(stream))
        return false;
    if (pause) {
        if (IsPlaying() == 0)
            return false;
        Hold(HeardContextTime());
        return true;
    }
    if (IsHeld() == 0)
        return false;
    PlayFrom(HeldSeconds(), HeardContextTime());
    return true;
}
