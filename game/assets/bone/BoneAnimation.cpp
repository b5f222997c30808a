// Playing a bone model's action strips: combinations built once from strips, a key timer that
// follows the music, playlists per music level, and the interpolation of every moving bone.
#include "game/assets/bone/BoneModel.h"
#include "game/assets/math/Random.h"

#include <cctype>
#include <cmath>
#include <string>
#include <utility>

namespace {

bool sameNameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

// A track without its interpolation state: the keys and the moves flag only.
BoneTrack keysOf(const BoneTrack& source) {
    BoneTrack t;
    t.moves = source.moves;
    if (source.moves != 0) {
        t.rotations = source.rotations;
        t.translations = source.translations;
    }
    return t;
}

} // namespace

void CBoneModel::setupCombination(std::initializer_list<const char*> names) {
    int indices[kMaxCombined];
    for (int& i : indices) {
        i = -1;
    }
    int used = 0;
    for (const char* name : names) {
        if (name == nullptr || used == kMaxCombined) {
            break;
        }
        int found = -1;
        for (size_t s = 0; s < strips.size(); ++s) {
            if (sameNameIgnoringCase(strips[s].name, name)) {
                found = static_cast<int>(s);
                break;
            }
        }
        if (found < 0) {
            throw std::string("CBoneModel::setupCombination, The Following Action Strip Not "
                              "Found: '") +
                name + "'";
        }
        indices[used++] = found;
    }
    combineStrips(indices);
}

void CBoneModel::combineStrips(const int stripIndices[kMaxCombined]) {
    if (stripIndices[0] == -1) {
        return;
    }
    auto stripCount = static_cast<int>(strips.size());
    for (int i = 0; i < kMaxCombined; ++i) {
        int s = stripIndices[i];
        if (s != -1 && (s < 0 || s >= stripCount)) {
            return;
        }
    }
    const ActionStrip& first = strips[size_t(stripIndices[0])];
    BoneCombination c;
    c.tracks.reserve(first.tracks.size());
    for (const BoneTrack& t : first.tracks) {
        c.tracks.push_back(keysOf(t));
    }
    c.sourceStrip.assign(first.tracks.size(), stripIndices[0]);
    for (int i = 1; i < kMaxCombined; ++i) {
        int s = stripIndices[i];
        if (s == -1) {
            continue;
        }
        const ActionStrip& strip = strips[size_t(s)];
        for (size_t b = 0; b < c.tracks.size() && b < strip.tracks.size(); ++b) {
            BoneTrack& a = c.tracks[b];
            const BoneTrack& other = strip.tracks[b];
            if (a.moves != 0 && other.moves != 0) {
                // The combination so far applied after this strip's transform.
                for (size_t k = 0; k < a.rotations.size() && k < other.rotations.size(); ++k) {
                    const Quaternion qa = a.rotations[k];
                    a.translations[k] = qa.rotate(other.translations[k]) + a.translations[k];
                    a.rotations[k] = other.rotations[k] * qa; // qa (x) qb
                }
            } else if (other.moves != 0) {
                a = keysOf(other);
            }
            a.moves = (a.moves != 0 || other.moves != 0) ? 1 : 0;
            c.sourceStrip[b] = s;
        }
    }
    combinations.push_back(std::move(c));
}

void CBoneModel::setCombinationRange(int startKey, int endKey, int combinationIndex) {
    if (combinationIndex < 0 || combinationIndex >= static_cast<int>(combinations.size())) {
        return;
    }
    if (startKey < 0 || startKey > endKey || endKey > keyCount - 1) {
        return;
    }
    combinations[size_t(combinationIndex)].startKey = startKey;
    combinations[size_t(combinationIndex)].endKey = endKey;
}

void CBoneModel::setCombination(int combinationIndex) {
    if (combinationIndex < 0 || combinationIndex >= static_cast<int>(combinations.size())) {
        return;
    }
    if (combinationIndex != currentCombination) {
        // The new combination's interpolation caches belong to whenever it last played.
        newSegment = true;
    }
    currentCombination = combinationIndex;
}

void CBoneModel::setPlaylist(const int combinationIndices[], const int loops[], int count,
                             int level) {
    if (level < 0 || level >= kLevels) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        playlists[level].push_back(PlaylistEntry{combinationIndices[i], 0, loops[i]});
    }
}

void CBoneModel::startPlaylist(int level) {
    int l = (level == 0 || level == 1) ? level : 2;
    if (playlists[l].empty()) {
        return;
    }
    currentEntry = playlists[l].front();
}

void CBoneModel::setMusicLevel(float value) {
    musicLevel = value < 0.3f ? 0 : value < 0.6f ? 1 : 2;
    speedBoost = value * 10.0f;
    musicValue = value;
    if (attached && attachment != nullptr) {
        attachment->attachmentLevel(value);
    }
}

void CBoneModel::setAttachment(BoneAttachment* emitter) {
    attachment = emitter;
    attached = emitter != nullptr;
}

void CBoneModel::setAttachmentOffset(float x, float y, float z, float rx, float ry, float rz) {
    attachmentOffset[0] = x;
    attachmentOffset[1] = y;
    attachmentOffset[2] = z;
    attachmentRotation[0] = rx;
    attachmentRotation[1] = ry;
    attachmentRotation[2] = rz;
}

void CBoneModel::nextPlaylistEntry(int level) {
    if (level < 0 || level >= kLevels || playlists[level].empty()) {
        return;
    }
    std::vector<PlaylistEntry>& list = playlists[level];
    // 1 to 5; 6 only when rand returns its maximum.
    int loops = static_cast<int>(static_cast<float>(rand15()) / 32767.0f * 5.0f) + 1;
    int& index = playlistIndex[level];
    index += 1;
    if (index >= static_cast<int>(list.size())) {
        index = 0;
        for (size_t i = list.size() - 1; i > 0; --i) {
            size_t j = static_cast<size_t>(rand15()) % (i + 1);
            std::swap(list[i], list[j]);
        }
    }
    PlaylistEntry& entry = list[size_t(index)];
    entry.loopsWanted = loops;
    currentEntry = entry;
    currentEntry.loopsDone = 0;
    setCombination(entry.combination);
}

void CBoneModel::updateAnimation(float dt) {
    if (keyCount < 2 || currentCombination < 0 ||
        currentCombination >= static_cast<int>(combinations.size())) {
        return;
    }
    float effectiveSpeed = speed + speedBoost;
    auto k = static_cast<int>(key);
    fraction += dt * effectiveSpeed;
    if (fraction > 1.0f) {
        newSegment = true;
        fraction -= 1.0f;
        if (fraction > 1.0f) {
            fraction = 1.0f;
        }
        k += 1;
        if (k >= keyCount - 1) {
            currentEntry.loopsDone += 1;
            // With nothing to play at this level the entry just goes on looping.
            if (currentEntry.loopsDone >= currentEntry.loopsWanted &&
                !playlists[musicLevel].empty()) {
                nextPlaylistEntry(musicLevel);
            }
            k = 0;
        }
        key = static_cast<float>(k);
    }
    BoneCombination& c = combinations[size_t(currentCombination)];
    for (BoneTrack& t : c.tracks) {
        if (t.moves == 0 || static_cast<int>(t.rotations.size()) < k + 2) {
            continue;
        }
        t.currentRotation = slerpQuaternion(t.rotations[size_t(k)], t.rotations[size_t(k + 1)],
                                            fraction, t, newSegment);
        const Vector3& a = t.translations[size_t(k)];
        const Vector3& b = t.translations[size_t(k + 1)];
        t.currentTranslation = a + (b - a) * fraction;
    }
    newSegment = false;
}

Quaternion CBoneModel::slerpQuaternion(const Quaternion& q1, Quaternion q2, float t,
                                       BoneTrack& cache, bool recompute) {
    float cosine = q1.x * q2.x + q1.y * q2.y + q1.z * q2.z + q1.w * q2.w;
    // The short way on every call, not only when the angle is worked out: the cached angle
    // belongs to the short way, and the keys do not change within a segment.
    if (cosine < 0.0f) {
        q2 = {-q2.x, -q2.y, -q2.z, -q2.w};
        cosine = -cosine;
    }
    if (recompute) {
        if (cosine > 0.9999f) {
            cache.linear = 1;
        } else {
            cache.linear = 0;
            float sinOmega = std::sqrt(1.0f - cosine * cosine);
            cache.omega = std::atan2(sinOmega, cosine);
            cache.inverseSinOmega = 1.0f / sinOmega;
        }
    }
    float s1, s2;
    if (cache.linear != 0) {
        s1 = 1.0f - t;
        s2 = t;
    } else {
        s1 = std::sin((1.0f - t) * cache.omega) * cache.inverseSinOmega;
        s2 = std::sin(t * cache.omega) * cache.inverseSinOmega;
    }
    return {s1 * q1.x + s2 * q2.x, s1 * q1.y + s2 * q2.y, s1 * q1.z + s2 * q2.z,
            s1 * q1.w + s2 * q2.w};
}
