#include "err_translation.h"

#include <iterator>

namespace {

// One row: every value in [first, last] maps to codeAtFirst + step * (value - first).
struct ErrRow {
    int first;
    int last;
    int codeAtFirst;
    int step;
};

template <std::size_t N>
int Translate(const ErrRow (&rows)[N], int value)
{
    for (const ErrRow& row : rows) {
        if (value >= row.first && value <= row.last)
            return row.codeAtFirst + row.step * (value - row.first);
    }
    return -1;
}

constexpr ErrRow kErrV5Rows[] = {
    {0, 0, 0, 0},
    {-1, -1, 1, 0},
    {-4, -2, 2, 0},
    {-32, -5, 30, -1},  // -errV5 - 2
    {-40, -40, 31, 0},
    {-41, -41, 32, 0},
    {-50, -50, 33, 0},
    {-51, -51, 34, 0},
    {-60, -60, 35, 0},
    {-61, -61, 36, 0},
    {-62, -62, 37, 0},
    {-100, -100, 38, 0},
    {-89, -89, 39, 0},
    {-88, -88, 40, 0},
    {-87, -87, 41, 0},
    {-86, -86, 42, 0},
    {-85, -85, 43, 0},
    {-84, -84, 44, 0},
    {-83, -83, 45, 0},
};

constexpr ErrRow kErrV7Rows[] = {
    {1, 1, 0, 0},
    {2, 2, 11, 0},
    {3, 3, 48, 0},
    {4, 4, 1, 0},
    {5, 5, 49, 0},
    {6, 6, 50, 0},
    {7, 7, 7, 0},
    {8, 8, 2, 0},
    {9, 13, 51, 1},  // errV7 + 42
    {201, 201, 14, 0},
    {202, 202, 41, 0},
    {203, 203, 56, 0},
    {204, 204, 41, 0},
    {205, 207, 57, 0},
    {208, 208, 60, 0},
    {209, 209, 61, 0},
    {210, 211, 62, 0},
    {212, 233, 64, 1},  // errV7 - 148
};

}  // namespace

int TranslateErrV5(int errV5) { return Translate(kErrV5Rows, errV5); }
int TranslateErrV7(int errV7) { return Translate(kErrV7Rows, errV7); }
