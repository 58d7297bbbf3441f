// The garden: a small ray caster with procedural textures, for a real-looking stereo pair whose
// every disparity is known. Units are metres; the left camera sits at the origin looking along
// +Z with +Y up, the right camera one baseline along +X.
#include "tools/scene/stereo_scene.h"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(Vec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Normalise(Vec a) {
    return a * (1.0 / std::sqrt(Dot(a, a)));
}
Vec Mix(Vec a, Vec b, double t) {
    return a * (1 - t) + b * t;
}

double Fract(double v) {
    return v - std::floor(v);
}

double Lattice(int64_t x, int64_t y, uint32_t seed) {
    uint64_t h = uint64_t(x) * 0x9E3779B97F4A7C15ull ^ uint64_t(y) * 0xC2B2AE3D27D4EB4Full ^
                 seed * 0x165667B19E3779F9ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return double(h >> 11) / double(1ull << 53);
}

// Smooth value noise in 0 ... 1.
double Noise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int64_t ix = int64_t(fx), iy = int64_t(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
}

double Fbm(double x, double y, uint32_t seed, int octaves = 5) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(x, y, seed + i);
        norm += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / norm;
}

enum class Material { GRASS, BRICK, WOOD, BALL, BUSH, HILL, STONE };

// A box turned by `angle` about the vertical axis, or a sphere when radius > 0.
struct Solid {
    Vec centre;
    Vec half;
    double angle = 0;
    double radius = 0;
    Material material;
};

struct Hit {
    double t = 1e30;
    Vec point, normal;
    Vec local;      // point in the solid's own frame
    int solid = -1; // -1 ground, -2 hills, >= 0 a solid
};

constexpr double CAMERA_HEIGHT = 1.6;
constexpr double HILL_DISTANCE = 400;

Vec RotateY(Vec v, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}

bool IntersectSolid(const Solid& s, Vec origin, Vec dir, Hit* hit) {
    if (s.radius > 0) {
        const Vec oc = origin - s.centre;
        const double b = Dot(oc, dir), c = Dot(oc, oc) - s.radius * s.radius;
        const double disc = b * b - c;
        if (disc < 0) {
            return false;
        }
        const double t = -b - std::sqrt(disc);
        if (t <= 1e-6 || t >= hit->t) {
            return false;
        }
        hit->t = t;
        hit->point = origin + dir * t;
        hit->normal = Normalise(hit->point - s.centre);
        hit->local = hit->point - s.centre;
        return true;
    }
    const Vec o = RotateY(origin - s.centre, -s.angle);
    const Vec d = RotateY(dir, -s.angle);
    double tNear = -1e30, tFar = 1e30;
    int axis = 0;
    const double oa[3] = {o.x, o.y, o.z}, da[3] = {d.x, d.y, d.z},
                 ha[3] = {s.half.x, s.half.y, s.half.z};
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(da[i]) < 1e-12) {
            if (std::fabs(oa[i]) > ha[i]) {
                return false;
            }
            continue;
        }
        double t0 = (-ha[i] - oa[i]) / da[i], t1 = (ha[i] - oa[i]) / da[i];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        if (t0 > tNear) {
            tNear = t0;
            axis = i;
        }
        tFar = std::min(tFar, t1);
    }
    if (tNear > tFar || tNear <= 1e-6 || tNear >= hit->t) {
        return false;
    }
    hit->t = tNear;
    hit->point = origin + dir * tNear;
    hit->local = o + d * tNear;
    Vec n;
    const double sign = da[axis] > 0 ? -1 : 1;
    (axis == 0 ? n.x : axis == 1 ? n.y : n.z) = sign;
    hit->normal = RotateY(n, s.angle);
    return true;
}

class Garden {
public:
    explicit Garden(double scale) : scale_(scale) {
        // Positions scale with the nearest distance so that any disparity range frames alike.
        auto at = [&](double x, double z) { return Vec{x * scale, 0, z * scale}; };
        Solid wall{at(-1.6, 5.5), {2.2 * scale, 0.6, 0.12}, 0.35, 0, Material::BRICK};
        wall.centre.y = -CAMERA_HEIGHT + 0.6;
        Solid crate{at(0.9, 2.1), {0.3, 0.3, 0.3}, -0.5, 0, Material::WOOD};
        crate.centre.y = -CAMERA_HEIGHT + 0.3;
        Solid crate2{at(1.1, 2.1), {0.22, 0.22, 0.22}, 0.3, 0, Material::WOOD};
        crate2.centre = crate.centre + Vec{0.05, 0.52, 0.02};
        Solid ball{at(-0.5, 1.7), {}, 0, 0.22, Material::BALL};
        ball.centre.y = -CAMERA_HEIGHT + 0.22;
        Solid bush{at(2.6, 6.5), {}, 0, 0.9, Material::BUSH};
        bush.centre.y = -CAMERA_HEIGHT + 0.5;
        Solid stone{at(-2.2, 3.0), {0.35, 0.18, 0.25}, 0.8, 0, Material::STONE};
        stone.centre.y = -CAMERA_HEIGHT + 0.18;
        solids_ = {wall, crate, crate2, ball, bush, stone};
        sun_ = Normalise({-0.5, 0.8, -0.35});
    }

    Hit Trace(Vec origin, Vec dir, bool solidsOnly = false) const {
        Hit hit;
        for (size_t i = 0; i < solids_.size(); ++i) {
            if (IntersectSolid(solids_[i], origin, dir, &hit)) {
                hit.solid = int(i);
            }
        }
        if (solidsOnly) {
            return hit;
        }
        if (dir.y < -1e-9) {
            const double t = (-CAMERA_HEIGHT - origin.y) / dir.y;
            if (t > 0 && t < hit.t && t * dir.z < HILL_DISTANCE) {
                hit.t = t;
                hit.point = origin + dir * t;
                hit.normal = {0, 1, 0};
                hit.solid = -1;
            }
        }
        if (hit.t >= 1e29 && dir.z > 1e-9) {
            const double t = (HILL_DISTANCE - origin.z) / dir.z;
            const Vec p = origin + dir * t;
            const double ridge = -CAMERA_HEIGHT + 18 + 45 * Fbm(p.x / 140, 0.5, 77, 4);
            if (p.y < ridge) {
                hit.t = t;
                hit.point = p;
                hit.normal = {0, 0, -1};
                hit.solid = -2;
            }
        }
        return hit;
    }

    Vec Shade(Vec dir, const Hit& hit) const {
        if (hit.t >= 1e29) {
            return Sky(dir);
        }
        Vec albedo = Albedo(hit);
        double light = 0.32 + 0.1 * hit.normal.y;
        const double lambert = Dot(hit.normal, sun_);
        if (lambert > 0 && hit.solid != -2) {
            const Hit shadow = Trace(hit.point + hit.normal * 1e-4, sun_, true);
            if (shadow.t >= 1e29) {
                light += 0.85 * lambert;
            }
        } else if (hit.solid == -2) {
            light += 0.5;
        }
        Vec colour = albedo * light;
        const double haze = 1 - std::exp(-hit.t / 900);
        return Mix(colour, Vec{0.62, 0.72, 0.85}, haze);
    }

private:
    Vec Sky(Vec dir) const {
        const double up = std::max(dir.y, 0.0);
        Vec sky = Mix(Vec{0.70, 0.80, 0.92}, Vec{0.22, 0.42, 0.78}, std::pow(up, 0.6));
        if (dir.y > 0.01) {
            const double u = dir.x / dir.y, v = dir.z / dir.y;
            const double cloud = std::clamp((Fbm(u * 0.8, v * 0.8, 5) - 0.5) * 3.0, 0.0, 1.0);
            sky = Mix(sky, Vec{0.95, 0.95, 0.97}, cloud * 0.85);
        }
        return sky;
    }

    Vec Albedo(const Hit& hit) const {
        const Vec p = hit.point;
        if (hit.solid == -1) {
            const double pathCentre = 0.25 * scale_ + 0.6 * std::sin(p.z / (3.0 * scale_));
            const double edge = std::fabs(p.x - pathCentre) - 0.55 * scale_;
            const double grain = Noise(p.x * 60, p.z * 60, 3);
            if (edge + 0.08 * Fbm(p.x * 6, p.z * 6, 4) < 0) {
                const double pebble = Noise(p.x * 22, p.z * 22, 9);
                return Vec{0.50, 0.44, 0.36} * (0.55 + 0.5 * pebble + 0.25 * grain);
            }
            const double patch = Fbm(p.x * 0.7, p.z * 0.7, 1);
            const Vec grass = Mix(Vec{0.13, 0.30, 0.05}, Vec{0.32, 0.42, 0.10}, patch);
            return grass * (0.55 + 0.8 * grain * Noise(p.x * 9, p.z * 9, 2));
        }
        if (hit.solid == -2) {
            const double n = Fbm(p.x / 25, p.y / 25, 8);
            return Mix(Vec{0.16, 0.26, 0.14}, Vec{0.30, 0.36, 0.22}, n);
        }
        const Solid& s = solids_[size_t(hit.solid)];
        const Vec l = hit.local;
        switch (s.material) {
        case Material::BRICK: {
            const double u =
                std::fabs(hit.normal.y) > 0.5 ? l.x : (std::fabs(l.z) > std::fabs(l.x) ? l.x : l.z);
            const double v = l.y + 1;
            const double row = std::floor(v / 0.075);
            const double along = u / 0.22 + (int64_t(row) % 2 ? 0.5 : 0);
            const bool mortar = Fract(v / 0.075) < 0.16 || Fract(along) < 0.05;
            if (mortar) {
                return Vec{0.62, 0.60, 0.55} * (0.8 + 0.3 * Noise(u * 80, v * 80, 12));
            }
            const double tone = Lattice(int64_t(std::floor(along)), int64_t(row), 21);
            return Vec{0.55 + 0.2 * tone, 0.22 + 0.08 * tone, 0.14} *
                   (0.75 + 0.35 * Noise(u * 40, v * 40, 13));
        }
        case Material::WOOD: {
            const double u = std::fabs(hit.normal.y) > 0.5 ? l.z : l.y;
            const double w = std::fabs(hit.normal.y) > 0.5 ? l.x : l.x + l.z;
            const double plank = std::floor((u + 1) / 0.1);
            if (Fract((u + 1) / 0.1) < 0.08) {
                return Vec{0.12, 0.08, 0.05};
            }
            const double grain = std::sin((w * 30 + 6 * Fbm(w * 3, plank, 31)) * 3.0);
            const double tone = Lattice(int64_t(plank), s.angle > 0 ? 1 : 2, 33);
            return Vec{0.62, 0.45, 0.26} * (0.7 + 0.25 * tone + 0.12 * grain);
        }
        case Material::BALL: {
            const double longitude = std::atan2(l.z, l.x) / (2 * M_PI) + 0.5;
            static const Vec colours[6] = {{0.85, 0.1, 0.1}, {0.95, 0.95, 0.9}, {0.1, 0.35, 0.85},
                                           {0.95, 0.8, 0.1}, {0.1, 0.6, 0.25},  {0.95, 0.95, 0.9}};
            if (std::fabs(l.y) > 0.92 * s.radius) {
                return Vec{0.95, 0.95, 0.9};
            }
            return colours[int(longitude * 6) % 6];
        }
        case Material::BUSH: {
            const double leaves = Noise(l.x * 30 + l.z * 7, l.y * 30, 41);
            return Mix(Vec{0.05, 0.16, 0.04}, Vec{0.22, 0.42, 0.12}, leaves) *
                   (0.7 + 0.5 * Noise(l.x * 90, l.y * 90 + l.z * 40, 42));
        }
        case Material::STONE:
        case Material::GRASS:
        case Material::HILL:
            break;
        }
        const double n = Fbm(l.x * 6 + l.z * 4, l.y * 6, 51);
        return Vec{0.52, 0.52, 0.50} * (0.6 + 0.6 * n);
    }

    double scale_;
    std::vector<Solid> solids_;
    Vec sun_;
};

uint8_t Encode(double linear) {
    const double v = std::pow(std::clamp(linear, 0.0, 1.0), 1 / 2.2);
    return uint8_t(std::lround(v * 255));
}

} // namespace

StereoPair RenderGarden(int width, int height, int maxDisparity, int verticalShift) {
    const double f = 0.9 * width;
    const double cx = (width - 1) / 2.0;
    const double cy = 0.4 * (height - 1);
    // The nearest ground row, at the bottom, gets 95 % of the disparity range.
    const double nearest = f * CAMERA_HEIGHT / std::max(1.0, height - 1 - cy);
    const double baseline = 0.95 * maxDisparity * nearest / f;
    const Garden garden(nearest / 1.6);

    StereoPair pair;
    pair.left = Image(width, height, 3);
    pair.right = Image(width, height, 3);
    pair.disparity.assign(size_t(width) * height, 0.0f);
    pair.visible.assign(size_t(width) * height, 0);
    static const double offsets[4][2] = {
        {-0.25, -0.25}, {0.25, -0.25}, {-0.25, 0.25}, {0.25, 0.25}};
    for (int view = 0; view < 2; ++view) {
        const Vec origin{view == 0 ? 0.0 : baseline, 0, 0};
        const double rowCentre = cy + (view == 0 ? 0 : verticalShift);
        Image& image = view == 0 ? pair.left : pair.right;
        for (int y = 0; y < height; ++y) {
            uint8_t* row = image.Row(y);
            for (int x = 0; x < width; ++x) {
                Vec sum;
                for (const auto& o : offsets) {
                    const Vec dir =
                        Normalise({(x + o[0] - cx) / f, -(y + o[1] - rowCentre) / f, 1});
                    sum = sum + garden.Shade(dir, garden.Trace(origin, dir));
                }
                sum = sum * 0.25;
                row[3 * x] = Encode(sum.z);
                row[3 * x + 1] = Encode(sum.y);
                row[3 * x + 2] = Encode(sum.x);
                if (view == 1) {
                    continue;
                }
                const Vec dir = Normalise({(x - cx) / f, -(y - cy) / f, 1});
                const Hit hit = garden.Trace(origin, dir);
                const size_t at = size_t(y) * width + x;
                if (hit.t >= 1e29) {
                    continue; // the sky, at disparity 0, is seen by both cameras
                }
                pair.disparity[at] = float(f * baseline / hit.point.z);
                const Vec toPoint = hit.point - Vec{baseline, 0, 0};
                const double distance = std::sqrt(Dot(toPoint, toPoint));
                const Hit back = garden.Trace({baseline, 0, 0}, toPoint * (1 / distance));
                pair.visible[at] = std::fabs(back.t - distance) < 1e-3 * distance;
            }
        }
    }
    for (size_t i = 0; i < pair.disparity.size(); ++i) {
        if (pair.disparity[i] == 0.0f) {
            pair.visible[i] = 1;
        }
    }
    return pair;
}

} // namespace scene
