#include "player/mpris/PlayerBusTarget.h"

#include "player/mpris/MprisProperties.h"
#include "player/ui/Player.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/Requests.h"

namespace mpris {

PlayerSnapshot PlayerBusTarget::snapshot() const {
    PlayerSnapshot s;
    PlayState state = player.state();
    s.playbackStatus = state == PlayState::Playing  ? "Playing"
                       : state == PlayState::Paused ? "Paused"
                                                    : "Stopped";
    bool listening = window.listeningToDesktop();
    const PlayQueue& queue = player.queue();
    int current = queue.current();
    bool loaded = listening || (current >= 0 && current < int(queue.items().size()));
    if (loaded) {
        s.trackNumber = player.mediaSerial() + 1;
        s.title = player.media().title;
        if (!listening) {
            const SongTags& tags = player.tags();
            if (!tags.artist.empty()) {
                s.artists = {tags.artist};
            }
            s.album = tags.album;
            s.artUrl = tags.cover.empty() ? "" : uriOfLocalPath(tags.cover);
            s.url = uriOfLocalPath(queue.currentPath());
            s.lengthUs = static_cast<int64_t>(player.duration() * 1e6);
            s.positionUs = static_cast<int64_t>(player.position() * 1e6);
        }
    }
    s.volume = player.volume();
    s.canGoNext = listening || current + 1 < int(queue.items().size());
    s.canGoPrevious = listening || (current >= 0 && !queue.empty());
    s.canPlay = !queue.empty();
    s.canPause = loaded;
    s.canSeek = !listening && s.lengthUs > 0;
    return s;
}

void PlayerBusTarget::raise() {
    requests.post({PlayerRequest::BringToFront, {}});
}

void PlayerBusTarget::quit() {
    window.quit();
}

void PlayerBusTarget::playPause() {
    window.listen(false);
    player.playPause();
}

void PlayerBusTarget::play() {
    window.listen(false);
    if (player.state() != PlayState::Playing) {
        player.playPause();
    }
}

void PlayerBusTarget::pause() {
    if (window.listeningToDesktop()) {
        window.listen(false); // the songs stay paused where they were
    } else if (player.state() == PlayState::Playing) {
        player.playPause();
    }
}

void PlayerBusTarget::stop() {
    window.listen(false);
    player.stop();
}

void PlayerBusTarget::next() {
    window.listen(false);
    player.next();
}

void PlayerBusTarget::previous() {
    window.listen(false);
    player.previous();
}

void PlayerBusTarget::seekTo(double seconds) {
    player.seekTo(seconds);
}

void PlayerBusTarget::setVolume(double volume) {
    player.setVolume(volume);
}

void PlayerBusTarget::open(const std::string& path) {
    requests.post({PlayerRequest::OpenFiles, {path}});
}

} // namespace mpris
