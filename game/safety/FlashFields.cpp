#include "game/safety/FlashFields.h"

#include <algorithm>

namespace safety {

void coveredFields(const CellFlags& cells, int needed, FieldFlags& fields) {
    // Summed-area table with a zero row and column in front.
    constexpr int n = kGridCells + 1;
    std::array<int, n * n> sum{};
    for (int y = 0; y < kGridCells; ++y) {
        int row = 0;
        for (int x = 0; x < kGridCells; ++x) {
            row += cells[static_cast<size_t>(y * kGridCells + x)] != 0 ? 1 : 0;
            sum[static_cast<size_t>((y + 1) * n + x + 1)] =
                sum[static_cast<size_t>(y * n + x + 1)] + row;
        }
    }
    auto at = [&](int x, int y) { return sum[static_cast<size_t>(y * n + x)]; };
    for (int fy = 0; fy < kFieldPlaces; ++fy) {
        for (int fx = 0; fx < kFieldPlaces; ++fx) {
            int x1 = fx + kFieldCells, y1 = fy + kFieldCells;
            int inside = at(x1, y1) - at(fx, y1) - at(x1, fy) + at(fx, fy);
            fields[static_cast<size_t>(fy * kFieldPlaces + fx)] = inside >= needed ? 1 : 0;
        }
    }
}

FieldHistory::FieldHistory(double window) : window(window), times(kFields) {}

void FieldHistory::advance(double now) {
    for (auto& t : times) {
        auto keep = std::find_if(t.begin(), t.end(), [&](double s) { return s > now - window; });
        t.erase(t.begin(), keep);
    }
}

void FieldHistory::record(const FieldFlags& fields, double now) {
    advance(now);
    for (int f = 0; f < kFields; ++f) {
        if (fields[static_cast<size_t>(f)] != 0) {
            times[static_cast<size_t>(f)].push_back(now);
        }
    }
}

int FieldHistory::largest(int* field) const {
    int best = 0, where = 0;
    for (int f = 0; f < kFields; ++f) {
        if (count(f) > best) {
            best = count(f);
            where = f;
        }
    }
    if (field != nullptr) {
        *field = where;
    }
    return best;
}

} // namespace safety
