// The ffmpeg program fed with raw frames through a pipe, muxing the music in.
#include "tools/capture/video_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

static int VideoFd = -1;
static pid_t VideoPid = 0;

bool FfmpegAvailable()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

bool OpenVideo(const std::string& file, int width, int height, std::uint64_t fpsNumerator, std::uint64_t fpsDenominator,
               const std::string& music)
{
    std::vector<std::string> args = {"ffmpeg",
                                     "-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     "rgb24",
                                     "-s",
                                     std::to_string(width) + "x" + std::to_string(height),
                                     "-framerate",
                                     std::to_string(fpsNumerator) + "/" + std::to_string(fpsDenominator),
                                     "-i",
                                     "-"};
    if (!music.empty()) {
        // The music starts with the first frame; silence pads it to the video's length.
        args.insert(args.end(), {"-i", music, "-map", "0:v:0", "-map", "1:a:0", "-af", "apad", "-shortest", "-c:a",
                                 "aac", "-b:a", "192k"});
    }
    args.insert(args.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p", "-movflags",
                             "+faststart", file});
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const int spawned = posix_spawnp(&VideoPid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (spawned != 0) {
        close(fds[1]);
        return false;
    }
    signal(SIGPIPE, SIG_IGN);  // a failing ffmpeg shows up as a write error, not a dead capture
    VideoFd = fds[1];
    return true;
}

bool WriteVideoFrame(const std::vector<std::uint8_t>& rgb)
{
    std::size_t done = 0;
    while (done < rgb.size()) {
        const ssize_t wrote = write(VideoFd, rgb.data() + done, rgb.size() - done);
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool CloseVideo()
{
    if (VideoFd < 0)
        return false;
    close(VideoFd);
    VideoFd = -1;
    int status = 0;
    waitpid(VideoPid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
