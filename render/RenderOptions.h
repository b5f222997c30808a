// tcrender's command line:
//
//   tcrender SONG [-o OUT] [--size WxH] [--fps N] [--view KEY|cycle] [--start S]
//            [--seconds S] [--seed N] [--no-dragon] [--clean] [--quality Q] [--quiet]
//            [--flash-report] [--no-flash-guard]
//
// OUT defaults to the song's name with ".mp4" in the current folder; an OUT ending in ".mp4",
// ".webm" or ".mkv" is a video file, an existing folder (or a name ending in "/") gets
// numbered PNG frames. The view keys are the game's: A S D F G H B, or R / "cycle" for the
// game's cycle of view points.
#pragma once

#include <cstdint>
#include <string>

enum class OutputKind { Mp4, WebM, Matroska, PngFolder };

struct RenderOptions {
    std::string song;
    std::string output;
    OutputKind kind = OutputKind::Mp4;
    int width = 1280;
    int height = 720;
    int fps = 30;
    int32_t viewPoint = 25; // the game's cycle
    double startSeconds = 0;
    double seconds = -1; // -1: to the song's end
    unsigned seed = 1;
    bool dragon = true;
    bool clean = false;
    int quality = 75; // 0 (smallest file) .. 100 (best picture)
    bool quiet = false;
    bool flashReport = false; // print the flash analyser's report of the frames
    bool flashGuard = true;   // the game's flash guard over every frame
    bool help = false;
};

constexpr int kMaxFps = 60;

// Fills options from the arguments (argv[0] is the program). False with a one-line reason in
// error for an unknown option, a missing or malformed value, an unknown view, a size that is
// not two even numbers of at least 16, a rate outside 1..60, a negative start, a length that
// is not positive, a quality outside 0..100, or an OUT of an unknown type. "-h"/"--help" sets
// help and stops.
bool parseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

// The usage text, several lines.
const char* renderUsage();
