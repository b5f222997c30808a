// The start-up splash's first frame, kept from one start to the next in "Splash.cache" beside
// "Settings.dat", and shown on the next start at once, before the GL window is made (see
// platform/window/StartupPicture.h): the GL splash then takes its place with the same picture.
// The kept frame carries a key of what the splash's look depends on (the window's size, the
// flash guard's file, which decides the warning under the splash, the data archive the splash
// is drawn from and the program that draws it), and is shown only while that is unchanged. The
// first start, and the first after a change, show the splash's painted backdrop alone, stretched
// over the window as the splash draws it, which the GL splash then letters; and keep its first
// frame for the next.
#pragma once

#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The splash's backdrop decoded on a thread of its own from the program's first moments, while
// the window's settings are read and its class made, and stretched to the window once its size
// is given: a first start, which has no kept frame, then shows its picture sooner. Begun only
// when no frame is kept at all; the picture is taken (or waited for) once. It holds the image
// decoder (DevIL), whose state is the process's: nothing else decodes an image until it is
// taken.
class CBackdropAhead {
  public:
    explicit CBackdropAhead(std::string folder = ".");
    ~CBackdropAhead();
    CBackdropAhead(const CBackdropAhead&) = delete;
    CBackdropAhead& operator=(const CBackdropAhead&) = delete;

    // The window's client size, once known: the decode goes on to stretch to it. Only the
    // first size given counts.
    void stretchTo(int width, int height);
    // Waits for the backdrop stretched to width x height (the size given now when none was
    // before): RGB, top row first, as the start picture shows it. False when no decode was
    // begun, it failed, it was stretched to another size, or it was taken already.
    bool take(int width, int height, std::vector<uint8_t>& rgb);

  private:
    std::thread worker;
    std::promise<std::pair<int, int>> windowSize;
    bool sizeGiven = false;
    std::vector<uint8_t> picture;
    std::pair<int, int> pictureSize{0, 0};
};

class CStartPicture {
  public:
    static constexpr const char* kName = "Splash.cache";

    // For a window of width x height client pixels, with the game's files in folder.
    CStartPicture(int width, int height, std::string folder = ".");

    // Shows the kept frame with the window's client area at x, y when it matches, else the
    // backdrop (decoded ahead when given); true when a picture is up.
    bool show(int x, int y, CBackdropAhead* ahead = nullptr);
    // With the first frame drawn in the back buffer and not yet swapped: keeps it unless the
    // kept one matches already. Later calls do nothing.
    void keepFirstFrame();

    // The key for the current files; exposed for the tests.
    uint64_t key() const { return currentKey; }

  private:
    std::string path() const;
    // The picture to show, width x height RGB pixels, top row first: the kept frame when it
    // is this key's, else the splash's backdrop from the archive.
    bool readKept(std::vector<uint8_t>& rgb) const;
    bool readBackdrop(std::vector<uint8_t>& rgb, CBackdropAhead* ahead) const;

    int width;
    int height;
    std::string folder;
    uint64_t currentKey = 0;
    bool matches = false; // the kept frame is this key's
    bool firstDone = false;
};
