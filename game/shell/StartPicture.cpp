#include "game/shell/StartPicture.h"

#include "game/assets/DataArchive.h"
#include "game/assets/ImageDecode.h"
#include "game/menu/FlashGuardFile.h"
#include "game/menu/Menu3D.h"
#include "platform/base/AtomicFile.h"
#include "platform/base/Fnv1a.h"
#include "platform/base/LittleEndian.h"
#include "platform/module/Module.h"
#include "platform/window/StartupPicture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// "TCSPLASH", width and height (4 bytes each), the key (8), then width x height RGB pixels,
// top row first; numbers little-endian.
constexpr char kMagic[8] = {'T', 'C', 'S', 'P', 'L', 'A', 'S', 'H'};
constexpr size_t kHeader = 8 + 4 + 4 + 8;
// The picture's window is named apart from the game's, which scripts and tests find by its title.
constexpr const char* kPictureTitle = "Tonecrest";

// A file's size and time of change, or "none" for a missing one.
std::string fileStamp(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) {
        return "none";
    }
    const auto changed = std::filesystem::last_write_time(file, error);
    return std::to_string(size) + "@" +
           std::to_string(error ? 0 : changed.time_since_epoch().count());
}

// An image decoded bottom row first, stretched to width x height RGB pixels, top row first:
// each pixel the mean of the image's pixels whose centres fall in its area (at least the
// nearest one), as a mipmapped texture drawn at that size shows it.
std::vector<uint8_t> stretched(const DecodedPixels& image, int width, int height) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
    const int iw = static_cast<int>(image.width), ih = static_cast<int>(image.height);
    const size_t channels = static_cast<size_t>(image.channels);
    const double sx = static_cast<double>(iw) / width, sy = static_cast<double>(ih) / height;
    auto span = [](int o, double scale, int limit, int& from, int& to) {
        from = std::min(limit - 1, static_cast<int>(std::ceil(o * scale - 0.5)));
        to =
            std::max(from + 1, std::min(limit, static_cast<int>(std::ceil((o + 1) * scale - 0.5))));
    };
    for (int oy = 0; oy < height; ++oy) {
        int y0 = 0, y1 = 0;
        span(oy, sy, ih, y0, y1); // rows counted from the top
        for (int ox = 0; ox < width; ++ox) {
            int x0 = 0, x1 = 0;
            span(ox, sx, iw, x0, x1);
            unsigned sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const uint8_t* row = &image.data[static_cast<size_t>(ih - 1 - y) * iw * channels];
                for (int x = x0; x < x1; ++x) {
                    const uint8_t* p = row + static_cast<size_t>(x) * channels;
                    for (size_t k = 0; k < 3; ++k) {
                        sum[k] += p[k];
                    }
                }
            }
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            uint8_t* p = &out[(static_cast<size_t>(oy) * width + ox) * 3];
            for (size_t k = 0; k < 3; ++k) {
                p[k] = static_cast<uint8_t>((sum[k] + n / 2) / n);
            }
        }
    }
    return out;
}

// The splash's backdrop from the archive in folder, decoded, then stretched (see stretched) to
// the size sizeFor gives, asked once the decode is done; false when it cannot be read or
// decoded, or the size is empty.
bool readStretchedBackdrop(const std::string& folder,
                           const std::function<std::pair<int, int>()>& sizeFor,
                           std::vector<uint8_t>& rgb) {
    CDataArchive archive((std::filesystem::path(folder) / "data" / "tcdata.d").string().c_str());
    ImageKind kind = ImageKind::Jpeg;
    std::string why;
    bool made = false;
    // Stretched from the decoder's own pixels: an RGBA copy of a large backdrop would cost a
    // first start more in fresh memory than the decode itself.
    return imageKindFor(C3DMenu::kSplashBackdrop, &kind) &&
           archive.readFile(C3DMenu::kSplashBackdrop) &&
           withDecodedPixels(
               kind, archive.getData(), archive.getSize(), 4096,
               [&](const DecodedPixels& image) {
                   const std::pair<int, int> size = sizeFor();
                   if (image.width > 0 && image.height > 0 && size.first > 0 && size.second > 0) {
                       rgb = stretched(image, size.first, size.second);
                       made = true;
                   }
               },
               &why) &&
           made;
}

} // namespace

CBackdropAhead::CBackdropAhead(std::string folder) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(folder) / CStartPicture::kName, error)) {
        return; // a kept frame is likely shown instead
    }
    worker = std::thread([this, folder, size = windowSize.get_future()]() mutable {
        std::pair<int, int> asked;
        if (readStretchedBackdrop(
                folder, [&] { return asked = size.get(); }, picture)) {
            pictureSize = asked;
        }
    });
}

CBackdropAhead::~CBackdropAhead() {
    stretchTo(0, 0); // a decode waiting for a size that never came stops
    if (worker.joinable()) {
        worker.join();
    }
}

void CBackdropAhead::stretchTo(int width, int height) {
    if (worker.joinable() && !sizeGiven) {
        windowSize.set_value({width, height});
        sizeGiven = true;
    }
}

bool CBackdropAhead::take(int width, int height, std::vector<uint8_t>& rgb) {
    if (!worker.joinable()) {
        return false;
    }
    stretchTo(width, height);
    worker.join();
    if (pictureSize != std::make_pair(width, height)) {
        return false;
    }
    rgb = std::move(picture);
    return true;
}

CStartPicture::CStartPicture(int w, int h, std::string dir)
    : width(w), height(h), folder(std::move(dir)) {
    const std::filesystem::path base(folder);
    const flashguardfile::State guard =
        flashguardfile::load((base / flashguardfile::kName).string().c_str());
    // The program draws the splash: a new one may draw it otherwise.
    char program[1024] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    currentKey = plat::fnv1a(std::to_string(width) + "x" + std::to_string(height) + " guard " +
                             std::to_string(guard.exists) + std::to_string(guard.guardOn) + " " +
                             fileStamp(base / "data" / "tcdata.d") + " " +
                             (length > 0 ? fileStamp(program) : std::string("none")));
}

std::string CStartPicture::path() const {
    return (std::filesystem::path(folder) / kName).string();
}

bool CStartPicture::show(int x, int y, CBackdropAhead* ahead) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    std::vector<uint8_t> rgb;
    matches = readKept(rgb);
    return (matches || readBackdrop(rgb, ahead)) &&
           ShowStartupPicture(kPictureTitle, x, y, width, height, rgb.data());
}

// The splash's backdrop alone, as the splash stretches it over the window.
bool CStartPicture::readBackdrop(std::vector<uint8_t>& rgb, CBackdropAhead* ahead) const {
    return (ahead != nullptr && ahead->take(width, height, rgb)) ||
           readStretchedBackdrop(
               folder, [this] { return std::make_pair(width, height); }, rgb);
}

bool CStartPicture::readKept(std::vector<uint8_t>& rgb) const {
    const size_t pixels = static_cast<size_t>(width) * height * 3;
    std::ifstream in(path(), std::ios::binary);
    std::vector<uint8_t> file(kHeader + pixels);
    if (!in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size())) ||
        in.peek() != std::char_traits<char>::eof()) {
        return false;
    }
    const uint8_t* h = file.data();
    if (std::memcmp(h, kMagic, 8) != 0 ||
        plat::getLittle(h + 8, 4) != static_cast<uint64_t>(width) ||
        plat::getLittle(h + 12, 4) != static_cast<uint64_t>(height) ||
        plat::getLittle(h + 16, 8) != currentKey) {
        return false;
    }
    rgb.assign(file.begin() + kHeader, file.end());
    return true;
}

void CStartPicture::keepFirstFrame() {
    if (firstDone) {
        return;
    }
    firstDone = true;
    if (matches || width <= 0 || height <= 0) {
        return;
    }
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> file(kHeader + row * height), rows(row * height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glPopClientAttrib();
    if (glGetError() != GL_NO_ERROR) {
        return;
    }
    std::memcpy(file.data(), kMagic, 8);
    plat::putLittle(file.data() + 8, static_cast<uint64_t>(width), 4);
    plat::putLittle(file.data() + 12, static_cast<uint64_t>(height), 4);
    plat::putLittle(file.data() + 16, currentKey, 8);
    // GL's rows run bottom up.
    for (int y = 0; y < height; ++y) {
        std::memcpy(file.data() + kHeader + row * y, rows.data() + row * (height - 1 - y), row);
    }
    plat::writeFileAtomically(path(), file.data(), file.size());
}
