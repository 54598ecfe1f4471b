#include "package/AreaGrid.h"

#include <array>

namespace orvanta {

namespace {

constexpr int kRows = 12;  // XX
constexpr int kCols = 8;   // YY

constexpr std::array<std::array<std::int8_t, kCols>, kRows> kGrid = {{
    {1, 1, 3, 1, 3, 3, 3, 3},
    {1, 1, 1, 3, 3, 3, 3, 3},
    {1, 1, 1, 2, 2, 3, 3, 3},
    {1, 1, 1, 2, 2, 2, 2, 2},
    {1, 1, 4, 2, 2, 2, 2, 2},
    {1, 4, 4, 0, 0, 0, 0, 0},
    {4, 4, 4, 0, 0, 0, 0, 0},
    {7, 7, 6, 0, 0, 0, 0, 0},
    {7, 7, 6, 6, 3, 3, 3, 3},
    {7, 7, 5, 5, 3, 3, 3, 3},
    {7, 7, 5, 5, 3, 3, 3, 3},
    {7, 7, 5, 3, 3, 3, 3, 3},
}};

int DigitsValue(const std::string& text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

// N / 10 rounded to the nearest integer, an exact half going to the even neighbour.
int DivideByTenHalfEven(int n) {
    int q = n / 10;
    int r = n % 10;
    if (r > 5 || (r == 5 && q % 2 == 1)) ++q;
    return q;
}

std::string FourDigits(int value) {
    std::string s = std::to_string(value);
    return std::string(4 - s.size(), '0') + s;
}

}  // namespace

std::int16_t RegionOfArea(std::int16_t areaCode) {
    if (areaCode < 0) return -1;
    int xx = areaCode / 100;
    int yy = areaCode % 100;
    if (xx >= kRows || yy >= kCols) return -1;
    return kGrid[xx][yy];
}

bool AreaOfLine(FileCategory category, const std::string& line, std::string& area) {
    area.clear();
    if (category == FileCategory::APX) {
        const int m = DivideByTenHalfEven(DigitsValue(line, 3, 5));
        const int q = m / 100;
        const int r = m - 100 * q;
        const int xx = q / 8;
        const int yy = r / 8;
        if (xx > 11 || yy > 7) return false;
        area = FourDigits(xx * 100 + yy);
        return true;
    }
    area = line.substr(3, 4);
    const int xx = DigitsValue(area, 0, 2);
    const int yy = DigitsValue(area, 2, 2);
    return xx <= 11 && yy <= 7;
}

}  // namespace orvanta
