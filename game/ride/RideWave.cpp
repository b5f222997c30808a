// The wave: the music level becomes the newest height of the level trail, and the ride height
// follows the 50-frame mean of that trail, six times over, by the smoothing setting.
#include "game/music/MusicState.h"
#include "game/ride/RideTrack.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

void BlockMusicSource::read(unsigned char spectrum[2][1024], char title[200]) {
    readMusicWithReopen(musicBlock, spectrum, title);
}

void CRideTrack::updateWave(float dt) {
    std::memset(musicSpectrum, 0, sizeof musicSpectrum);
    std::memset(musicTitle, 0, sizeof musicTitle);
    music.read(musicSpectrum, musicTitle);
    if (spectrumSink != nullptr) {
        spectrumSink->SetSpectrum(&musicSpectrum[0][0]);
    }
    SpectrumSums sums = sumSpectrum(musicSpectrum);
    stall.update(sums.total(), dt, noMusicData);

    levelTrail[0].position.y = sums.level() + 10.0f;
    levelTrail[0].flag = 1;
    float sum = 0.0f;
    for (int i = 0; i < 50; ++i) {
        sum += levelTrail[i].position.y;
    }
    float average = sum / 50.0f;

    carPath[0] = levelTrail[0];
    rideHeight += (rideSmoothing + 0.15f) * (6.0f * average - rideHeight);
    carPath[0].position.y = rideHeight;
    rideLevel = average - 10.0f;

    // Slope of the newest step, for the rails' normals.
    Vector3 d = carPath[1].position.y > carPath[0].position.y
                    ? carPath[1].position - carPath[0].position
                    : carPath[0].position - carPath[1].position;
    float len = std::sqrt(d.z * d.z + d.x * d.x);
    Vector3 n =
        len > 0.0f ? Vector3{-d.y * d.x / len, len, -d.y * d.z / len} : Vector3{0.0f, 1.0f, 0.0f};
    if (n.x + n.y + n.z == 0.0f) {
        n.y = 1.0f;
    }
    float nl = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    n = n * (1.0f / nl);
    for (TrackHistory<kHistory>* rail :
         {&innerRails[0], &innerRails[1], &outerRails[0], &outerRails[1]}) {
        (*rail)[0].position.y = rideHeight;
        (*rail)[0].normal = n;
    }
}
