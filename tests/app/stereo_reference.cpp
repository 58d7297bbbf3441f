#include "tests/app/stereo_reference.h"

#include <algorithm>
#include <climits>

namespace {

enum Step { LEFT, UP, DIAG };

struct Cell {
    int sum;
    Step step;
};

constexpr int BIG = INT_MAX / 4;

void MatchScanline(const uint8_t* L, const uint8_t* R, int W, const ReferenceParams& p, uint8_t* e,
                   uint8_t* out) {
    const int D = p.maxDisparity;

    // 1. Right-image bounds.
    std::vector<int> rmin(W), rmax(W);
    for (int r = 0; r <= W - 2; ++r) {
        const int a = R[r];
        const int hm = r == 0 ? R[0] : (R[r - 1] + R[r]) / 2;
        const int hp = (R[r] + R[r + 1]) / 2;
        rmin[r] = std::min({hm, a, hp});
        rmax[r] = std::max({hm, a, hp});
    }
    rmin[W - 1] = rmin[W - 2];
    rmax[W - 1] = rmax[W - 2];

    // 2. Dissimilarity.
    auto c = [&](int x, int d) {
        if (x == W - 1) {
            return 0;
        }
        if (L[x] - rmax[x - d] >= 0) {
            return L[x] - rmax[x - d];
        }
        if (rmin[x - d] - L[x] >= 0) {
            return rmin[x - d] - L[x];
        }
        return 0;
    };

    // 3. Edge flags.
    auto range3 = [](int a, int b, int cc) { return std::max({a, b, cc}) - std::min({a, b, cc}); };
    for (int x = 0; x < W; ++x) {
        e[x] = 0;
    }
    for (int x = 3; x <= W - 5; ++x) {
        if (range3(L[x - 3], L[x - 2], L[x - 1]) >= 5) {
            e[x] |= 1;
        }
        if (range3(R[x + 1], R[x + 2], R[x + 3]) >= 5) {
            e[x] |= 2;
        }
    }
    for (int x = 0; x <= 2 && x < W; ++x) {
        e[x] = 2;
    }
    for (int x = std::max(W - 3, 0); x <= W - 1; ++x) {
        e[x] = 1;
    }

    // 4. Dynamic programme. Cells no rule initialises are BIG/LEFT.
    std::vector<std::vector<Cell>> t(D + 3, std::vector<Cell>(W, Cell{BIG, LEFT}));
    for (int x = 0; x < W; ++x) {
        t[0][x] = {BIG, LEFT};
        t[D + 2][x] = {BIG, LEFT};
    }
    for (int k = 2; k <= D + 2; ++k) {
        t[k][k - 2] = {BIG, UP};
    }
    t[1][0] = {0, LEFT};
    for (int x = 1; x <= W - 1; ++x) {
        for (int k = std::min(x + 1, D + 1); k >= 1; --k) {
            const int d = k - 1;
            const int left = t[k][x - 1].sum - p.p2;
            const int up = t[k + 1][x].sum + p.p1;
            const int diag = t[k - 1][x - 1].sum + p.p1;
            const bool upOk = (e[x] & 1) && t[k + 1][x].step != DIAG;
            const bool diagOk = (e[x - d] & 2) && t[k - 1][x - 1].step != UP;
            int value;
            Step step;
            if (upOk && diagOk) {
                if (up < left) {
                    value = up;
                    step = UP;
                } else {
                    value = left;
                    step = LEFT;
                }
                if (diag < value) {
                    value = diag;
                    step = DIAG;
                }
            } else if (upOk) {
                if (left <= up) {
                    value = left;
                    step = LEFT;
                } else {
                    value = up;
                    step = UP;
                }
            } else if (diagOk) {
                if (left <= diag) {
                    value = left;
                    step = LEFT;
                } else {
                    value = diag;
                    step = DIAG;
                }
            } else {
                value = left;
                step = LEFT;
            }
            t[k][x] = {value + c(x, d), step};
        }
    }

    // 5. Backtracking. The bounds on k and x only guard against leaving the table.
    int k = 1;
    for (int i = 2; i <= D + 1; ++i) {
        if (t[i][W - 1].sum < t[k][W - 1].sum) {
            k = i;
        }
    }
    for (int x = 0; x < W; ++x) {
        out[x] = 0;
    }
    for (int x = W - 1; x >= 1; --x) {
        out[x] = uint8_t(k - 1);
        while (k < D + 2 && t[k][x].step == UP) {
            ++k;
        }
        if (t[k][x].step == DIAG) {
            const int s = x;
            while (x > 0 && t[k][x].step == DIAG) {
                --k;
                --x;
            }
            for (int i = x; i <= s - 1; ++i) {
                out[i] = uint8_t(k - 1);
            }
        }
    }
}

// 9 and 11: length of the run of equal values each pixel belongs to, along a line of `n`
// pixels reached through `at(i)`.
template <typename At>
std::vector<int> Reliability(int n, At at) {
    std::vector<int> rel(n);
    int start = 0;
    for (int i = 1; i <= n; ++i) {
        if (i == n || at(i) != at(start)) {
            for (int j = start; j < i; ++j) {
                rel[j] = i - start;
            }
            start = i;
        }
    }
    return rel;
}

// 10 and 12 along a line of `n` pixels; `value(i)` is a reference into the map, `blocked(i)` the
// line's flag.
template <typename Value, typename Blocked>
void Propagate(int n, const std::vector<int>& rel, Value value, Blocked blocked,
               const ReferenceParams& p) {
    int y = 0;
    while (y < n) {
        const int d = value(y);
        if (rel[y] >= p.p4 && !blocked(y) && d > 0) {
            auto stop = [&](int i) {
                return blocked(i) || (value(i) < d && rel[i] >= p.p3) ||
                       (rel[y] < p.p5 && value(i) == d + 1);
            };
            for (int i = y - 1; i >= 0; --i) {
                if (stop(i)) {
                    break;
                }
                value(i) = uint8_t(d);
            }
            int i = y + 1;
            for (; i < n; ++i) {
                if (stop(i)) {
                    break;
                }
                value(i) = uint8_t(d);
            }
            y = i;
        } else {
            ++y;
        }
    }
}

} // namespace

std::vector<uint8_t> ReferenceDisparity(const uint8_t* left, const uint8_t* right, int W, int H,
                                        const ReferenceParams& p) {
    std::vector<uint8_t> map(size_t(W) * H);
    std::vector<uint8_t> e(size_t(W) * H);
    for (int y = 0; y < H; ++y) {
        MatchScanline(left + size_t(y) * W, right + size_t(y) * W, W, p, &e[size_t(y) * W],
                      &map[size_t(y) * W]);
    }
    auto m = [&](int x, int y) -> uint8_t& { return map[size_t(y) * W + x]; };
    auto ef = [&](int x, int y) -> uint8_t& { return e[size_t(y) * W + x]; };
    auto l = [&](int x, int y) -> int { return left[size_t(y) * W + x]; };

    // 6. Vertical coercion.
    for (int x = 0; x < W; ++x) {
        for (int y = 1; y <= H - 2; ++y) {
            if (m(x, y - 1) == m(x, y + 1)) {
                m(x, y) = m(x, y - 1);
            }
        }
    }
    // 7. Vertical intensity gradients.
    for (int x = 0; x < W; ++x) {
        for (int y = 1; y <= H - 2; ++y) {
            const int a = l(x, y - 1), b = l(x, y), c = l(x, y + 1);
            if (std::max({a, b, c}) - std::min({a, b, c}) >= 5) {
                ef(x, y - 1) |= 4;
                ef(x, y) |= 4;
                ef(x, y + 1) |= 4;
                ++y;
            }
        }
    }
    // 8. Thinning, with the left neighbour's value from before this pass.
    for (int y = 0; y < H; ++y) {
        uint8_t before = ef(0, y);
        for (int x = 1; x <= W - 2; ++x) {
            const uint8_t current = ef(x, y);
            if (!((before & 4) && (ef(x + 1, y) & 4))) {
                ef(x, y) &= uint8_t(~4);
            }
            before = current;
        }
    }
    // 9 and 10. Vertical reliability and propagation.
    for (int x = 0; x < W; ++x) {
        const std::vector<int> rel = Reliability(H, [&](int y) { return m(x, y); });
        Propagate(
            H, rel, [&](int y) -> uint8_t& { return m(x, y); },
            [&](int y) { return (ef(x, y) & 4) != 0; }, p);
    }
    // 11 and 12. Horizontal reliability and propagation.
    for (int y = 0; y < H; ++y) {
        const std::vector<int> rel = Reliability(W, [&](int x) { return m(x, y); });
        Propagate(
            W, rel, [&](int x) -> uint8_t& { return m(x, y); },
            [&](int x) { return (ef(x, y) & 1) != 0; }, p);
    }
    return map;
}
