// tcrender end to end, with no display: the video's streams as ffprobe sees them, identical
// frames from two renders with one seed, loud and quiet passages drawn as the game draws
// them (the loud one kept within the flash limit by the guard), and the refusals that leave
// nothing behind.
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::ScratchDir;

const std::string kDist = TC_DIST_DIR;
const std::string kSong = kDist + "/music/demo-tune.wav";

struct Outcome {
    int code = -1;
    std::string out; // standard output and error together
};

// Runs a shell command line without a display; its output and exit code.
Outcome run(const std::string& command) {
    Outcome r;
    FILE* p = popen(("env -u DISPLAY -u WAYLAND_DISPLAY " + command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
        r.out.append(buf, n);
    }
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// In a sanitizer build, SDL unloads Mesa's EGL driver before the leak check runs, so the
// driver's lifetime allocations show as leaks of an unknown module that no suppression can
// name (the GLX driver the game uses stays loaded and is suppressed by name). The leak check
// is off for tcrender's process alone; its memory errors are still caught.
Outcome render(const std::string& args) {
    return run("ASAN_OPTIONS=detect_leaks=0 " + kDist + "/tcrender " + args);
}

// ffprobe's key=value lines for one stream ("v:0" or "a:0").
std::map<std::string, std::string> probe(const std::string& file, const std::string& stream) {
    Outcome r =
        run("ffprobe -v error -count_frames -select_streams " + stream +
            " -show_entries stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames,"
            "duration -of default=noprint_wrappers=1 " +
            file);
    std::map<std::string, std::string> fields;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) {
            fields[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return fields;
}

// The picture of a PNG as RGB bytes, through ffmpeg.
std::vector<unsigned char> pixels(const std::string& png) {
    Outcome r = run("ffmpeg -v error -i " + png + " -f rawvideo -pix_fmt rgb24 -");
    return std::vector<unsigned char>(r.out.begin(), r.out.end());
}

// Strongly red and strongly blue pixels (the trail's sprites driven to saturation), and the
// mean brightness of the top fifth (the sky).
struct Look {
    long red = 0;
    long blue = 0;
    double sky = 0;
};

Look look(const std::vector<unsigned char>& rgb, int width, int height) {
    Look l;
    long skyPixels = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            int r = p[0], g = p[1], b = p[2];
            if (y < height / 5) {
                l.sky += (r + g + b) / 3.0;
                ++skyPixels;
            }
            if (std::max({r, g, b}) < 230 || std::min({r, g, b}) >= 200) {
                continue;
            }
            if (b >= 230 && r < 120) {
                ++l.blue;
            } else if (r >= 230 && b < 230 && g < 200) {
                ++l.red;
            }
        }
    }
    l.sky /= static_cast<double>(skyPixels);
    return l;
}

long lineCount(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

TEST(RenderE2e, Mp4IsH264AndAacOfOneLengthAndOneSeedGivesOneVideo) {
    ScratchDir dir;
    const std::string a = dir.file("a.mp4"), b = dir.file("b.mp4");
    Outcome first = render(kSong + " -o " + a + " --size 320x240 --seconds 2 --seed 1 --quiet");
    ASSERT_EQ(first.code, 0) << first.out;
    std::map<std::string, std::string> v = probe(a, "v:0"), s = probe(a, "a:0");
    EXPECT_EQ(v["codec_name"], "h264");
    EXPECT_EQ(v["width"], "320");
    EXPECT_EQ(v["height"], "240");
    EXPECT_EQ(v["pix_fmt"], "yuv420p");
    EXPECT_EQ(v["r_frame_rate"], "30/1");
    EXPECT_EQ(v["nb_read_frames"], "60");
    EXPECT_EQ(s["codec_name"], "aac");
    EXPECT_NEAR(std::atof(v["duration"].c_str()), 2.0, 0.05);
    EXPECT_NEAR(std::atof(s["duration"].c_str()), 2.0, 0.05);

    Outcome second = render(kSong + " -o " + b + " --size 320x240 --seconds 2 --seed 1 --quiet");
    ASSERT_EQ(second.code, 0) << second.out;
    Outcome hashA = run("ffmpeg -v error -i " + a + " -map 0:v -f framemd5 -");
    Outcome hashB = run("ffmpeg -v error -i " + b + " -map 0:v -f framemd5 -");
    EXPECT_GE(lineCount(hashA.out), 60);
    EXPECT_EQ(hashA.out, hashB.out);
    // The pictures move: the first and last frames differ.
    std::istringstream lines(hashA.out);
    std::vector<std::string> hashes;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#') {
            hashes.push_back(line.substr(line.find_last_of(',') + 1));
        }
    }
    ASSERT_GE(hashes.size(), 2u);
    EXPECT_NE(hashes.front(), hashes.back());
}

TEST(RenderE2e, LoudPassageRaisesARedWaveUnderADarkSkyAndQuietOneABlueTrail) {
    ScratchDir dir;
    const int w = 320, h = 240;
    // Forward Near, the trail alone (the dragon's red would count), no text: three seconds
    // into the drop (loud) and into the breakdown (quiet).
    const std::string common = " --size 320x240 --view D --no-dragon --clean --seconds 3 --quiet";
    Outcome loud =
        render(kSong + " -o " + dir.file("loud") + "/ --start 36 --flash-report" + common);
    Outcome quiet = render(kSong + " -o " + dir.file("quiet") + "/ --start 68" + common);
    ASSERT_EQ(loud.code, 0) << loud.out;
    ASSERT_EQ(quiet.code, 0) << quiet.out;
    ASSERT_TRUE(testsupport::fileExists(dir.file("loud/frame-000090.png")));
    EXPECT_FALSE(testsupport::fileExists(dir.file("loud/frame-000091.png")));
    Look l = look(pixels(dir.file("loud/frame-000090.png")), w, h);
    Look q = look(pixels(dir.file("quiet/frame-000090.png")), w, h);
    std::printf("loud: red %ld blue %ld sky %.1f; quiet: red %ld blue %ld sky %.1f\n", l.red,
                l.blue, l.sky, q.red, q.blue, q.sky);
    EXPECT_GT(l.red, 10 * std::max(l.blue, 1L));
    EXPECT_GT(q.blue, 10 * std::max(q.red, 1L));
    EXPECT_LT(l.sky, q.sky);
    // The drop's beat flashes; the flash guard, on in renders, keeps it within the limit.
    EXPECT_NE(loud.out.find("0 second(s) over the limit of 3: pass"), std::string::npos)
        << loud.out;
    EXPECT_NE(loud.out.find("flash guard: on"), std::string::npos) << loud.out;
}

TEST(RenderE2e, RefusalsSayOneLineAndLeaveNoFile) {
    ScratchDir dir;
    testsupport::writeFile(dir.file("noise.mp3"), std::string(4096, 'x'));
    const std::string out = dir.file("out.mp4");
    struct Case {
        std::string args;
        int code;
    };
    const Case cases[] = {
        {dir.file("noise.mp3") + " -o " + out, 1},
        {kSong + " -o " + dir.file("missing/folder/out.mp4"), 1},
        {kSong + " -o " + out + " --view Z", 2},
        {kSong + " -o " + out + " --size 321x240", 2},
        {kSong + " -o " + out + " --size 20000x20000 --seconds 1", 1},
    };
    for (const Case& c : cases) {
        Outcome r = render(c.args);
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.out;
        EXPECT_EQ(lineCount(r.out), 1) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.rfind("tcrender: ", 0), 0u) << r.out;
        EXPECT_FALSE(testsupport::fileExists(out)) << c.args;
        EXPECT_FALSE(testsupport::fileExists(dir.file("missing"))) << c.args;
    }
}

} // namespace
