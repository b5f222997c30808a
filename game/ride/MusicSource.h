// Where the ride gets each frame's spectrum and title: the shared block in the game, anything
// else in tests and tools.
#pragma once

class IMusicSource {
  public:
    virtual ~IMusicSource() = default;
    // Fills what it can; the caller has zeroed both buffers.
    virtual void read(unsigned char spectrum[2][1024], char title[200]) = 0;
};

// The game's shared music block, read with one reopen attempt when a read fails.
class BlockMusicSource : public IMusicSource {
  public:
    void read(unsigned char spectrum[2][1024], char title[200]) override;
};
