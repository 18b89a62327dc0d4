// Checks the synthesised music: the arrangement lands on the schedule, the level is safe, the file decodes.
#include "music.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

struct Track {
    std::vector<float> Left, Right;
};

const Track& RenderedTrack()
{
    static Track track = [] {
        Track t;
        RenderMusic(t.Left, t.Right);
        return t;
    }();
    return track;
}

int SampleAt(double seconds)
{
    return int(std::lround(seconds * MusicRate));
}

double Rms(const Track& track, double from, double to)
{
    double sum = 0.0;
    int first = SampleAt(from), last = SampleAt(to);
    for (int n = first; n < last; ++n)
        sum += track.Left[n] * track.Left[n] + track.Right[n] * track.Right[n];
    return std::sqrt(sum / (2.0 * (last - first)));
}

float Peak(const Track& track, double from, double to)
{
    float peak = 0.0f;
    for (int n = SampleAt(from); n < SampleAt(to); ++n)
        peak = std::max({peak, std::fabs(track.Left[n]), std::fabs(track.Right[n])});
    return peak;
}

std::string TempPath(const char* name)
{
    return testing::TempDir() + name + std::to_string(getpid()) + ".ogg";
}

}  // namespace

TEST(MusicTest, ArrangementFollowsTheSchedule)
{
    const Track& track = RenderedTrack();
    ASSERT_EQ(track.Left.size(), std::size_t(MusicRate * 121));
    ASSERT_EQ(track.Right.size(), track.Left.size());

    // Quiet intro, the beat from 18 s, full energy louder than the intro and the break.
    EXPECT_LT(Rms(track, 2, 12) * 2.5, Rms(track, 56, 69));
    EXPECT_LT(Rms(track, 10, 12) * 2.0, Rms(track, 18, 20));
    EXPECT_LT(Rms(track, 46, 49.4) * 1.5, Rms(track, 56, 69));

    // The three accented hits stand out from what leads into them.
    for (double hit : {49.7, 52.0, 54.0})
        EXPECT_GT(Peak(track, hit, hit + 0.1), 2.0f * Peak(track, hit - 0.25, hit - 0.02)) << "hit at " << hit;

    // The outro fades to silence before the end.
    EXPECT_LT(Rms(track, 110, 112), Rms(track, 90, 92) * 0.2);
    EXPECT_EQ(Peak(track, 119.6, 121), 0.0f);
}

TEST(MusicTest, FileDecodesAtFullLengthWithASafePeak)
{
    std::string path = TempPath("music");
    ASSERT_TRUE(WriteMusic(path));

    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen(path.c_str(), &vf), 0);
    vorbis_info* info = ov_info(&vf, -1);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->rate, MusicRate);
    EXPECT_EQ(ov_pcm_total(&vf, -1), ogg_int64_t(MusicRate) * 121);

    // The decoded peak, after the coder's ringing, stays below -1 dBFS.
    float peak = 0.0f;
    float** pcm;
    int section;
    long got;
    while ((got = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
        for (long n = 0; n < got; ++n)
            peak = std::max({peak, std::fabs(pcm[0][n]), std::fabs(pcm[1][n])});
    ov_clear(&vf);
    EXPECT_GT(peak, 0.3f);
    EXPECT_LT(peak, 0.891f);
    std::remove(path.c_str());
}

TEST(MusicTest, UnwritableDestinationFailsAtOnce)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteMusic("/nonexistent-folder/muza_demo.ogg"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot create"), std::string::npos);
}
