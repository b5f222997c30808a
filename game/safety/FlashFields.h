// The area rule and the one-second count, per field: which fields a frame's cell transitions
// cover to the rules' share, and how many transitions each field has made within the last
// second. A field is kFieldCells x kFieldCells cells at any of kFieldPlaces x kFieldPlaces
// positions.
#pragma once

#include "game/safety/FlashRules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace safety {

constexpr int kCells = kGridCells * kGridCells;
constexpr int kFields = kFieldPlaces * kFieldPlaces;

// One flag per cell, row by row.
using CellFlags = std::array<uint8_t, kCells>;
using FieldFlags = std::array<uint8_t, kFields>;

// Marks the fields in which at least `needed` cells are flagged.
void coveredFields(const CellFlags& cells, int needed, FieldFlags& fields);
// Calls visit(cell) for each flagged cell inside field f.
template <class Visit> void forEachCellIn(int f, const CellFlags& cells, Visit visit) {
    int fx = f % kFieldPlaces, fy = f / kFieldPlaces;
    for (int y = fy; y < fy + kFieldCells; ++y) {
        for (int x = fx; x < fx + kFieldCells; ++x) {
            if (cells[static_cast<size_t>(y * kGridCells + x)] != 0) {
                visit(y * kGridCells + x);
            }
        }
    }
}

// The times of each field's transitions within the last window.
class FieldHistory {
  public:
    // window: how far back a transition still counts, in the caller's unit of time
    // (a transition at now - window no longer counts).
    explicit FieldHistory(double window);
    // Forgets what lies a window or more before now.
    void advance(double now);
    // Records a transition of every flagged field at now.
    void record(const FieldFlags& fields, double now);
    // Transitions of field f within the window (as of the last advance or record).
    int count(int f) const { return static_cast<int>(times[static_cast<size_t>(f)].size()); }
    // The largest count of any field, and which field has it.
    int largest(int* field = nullptr) const;

  private:
    double window;
    std::vector<std::vector<double>> times;
};

} // namespace safety
