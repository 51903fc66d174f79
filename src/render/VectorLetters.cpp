// The letters as outlines. The glyphs come from the font engine where the raster layout puts
// them, as cubic pieces in text-image pixels; the outline deformation cuts them where a row's or
// a column's shift changes and moves each part by its shift; the bend then carries every piece
// into the picture, widened as far as the warp's rays widen the letters, and flattened against
// the bent curve itself.
#include "render/VectorLetters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "platform/Catalogue.h"
#include "render/Disorb.h"
#include "render/Envelope.h"
#include "render/Pipeline.h"
#include "render/TextRaster.h"

namespace gw {

namespace {

// How far a flattened piece may stray from the bent curve, in picture pixels. A little under the
// promised tenth: the test points are a few on each piece, the curve between them is not seen.
constexpr double kTolerance = 0.09;
// How far aside of a ray a pixel that it shows may lie, in picture pixels.
constexpr double kMaxAside = 1;
// A piece is halved at most this often; the bend is continuous, so a piece this short is flat.
constexpr int kMaxDepth = 18;

using Point = OutlinePoint;

struct Cubic {
    std::array<Point, 4> p;
};

// A closed path of cubic pieces, each starting where the one before ends.
using Path = std::vector<Cubic>;

double Coord(const Point& p, int axis) {
    return axis == 0 ? p.x : p.y;
}

Point Mix(const Point& a, const Point& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

Point At(const Cubic& c, double t) {
    const Point ab = Mix(c.p[0], c.p[1], t), bc = Mix(c.p[1], c.p[2], t),
                cd = Mix(c.p[2], c.p[3], t);
    return Mix(Mix(ab, bc, t), Mix(bc, cd, t), t);
}

// The part of the piece from t = a to t = b.
Cubic Part(const Cubic& c, double a, double b) {
    const auto left = [](const Cubic& q, double t) {
        const Point ab = Mix(q.p[0], q.p[1], t), bc = Mix(q.p[1], q.p[2], t),
                    cd = Mix(q.p[2], q.p[3], t);
        const Point abc = Mix(ab, bc, t), bcd = Mix(bc, cd, t);
        return Cubic{{q.p[0], ab, abc, Mix(abc, bcd, t)}};
    };
    const auto right = [](const Cubic& q, double t) {
        const Point ab = Mix(q.p[0], q.p[1], t), bc = Mix(q.p[1], q.p[2], t),
                    cd = Mix(q.p[2], q.p[3], t);
        const Point abc = Mix(ab, bc, t), bcd = Mix(bc, cd, t);
        return Cubic{{Mix(abc, bcd, t), bcd, cd, q.p[3]}};
    };
    if (a <= 0 && b >= 1) return c;
    if (a <= 0) return left(c, b);
    if (b >= 1) return right(c, a);
    const Cubic head = left(c, b);
    return right(head, a / b);
}

Cubic Line(const Point& a, const Point& b) {
    return {{a, Mix(a, b, 1.0 / 3), Mix(a, b, 2.0 / 3), b}};
}

Cubic Moved(Cubic c, double dx, double dy) {
    for (Point& p : c.p) {
        p.x += dx;
        p.y += dy;
    }
    return c;
}

// The parameters in (0, 1) where the piece's extent along the direction w turns.
std::vector<double> Turns(const Cubic& c, const Point& w) {
    const auto along = [&w](const Point& a, const Point& b) {
        return (b.x - a.x) * w.x + (b.y - a.y) * w.y;
    };
    const double p = along(c.p[0], c.p[1]);
    const double q = along(c.p[1], c.p[2]);
    const double r = along(c.p[2], c.p[3]);
    // The derivative over 3: (p - 2q + r) t^2 + 2 (q - p) t + p.
    const double A = p - 2 * q + r, B = 2 * (q - p), C = p;
    std::vector<double> roots;
    const double scale = std::max({std::abs(A), std::abs(B), std::abs(C)});
    if (scale == 0) return roots;
    if (std::abs(A) <= 1e-12 * scale) {
        if (B != 0) roots.push_back(-C / B);
    } else {
        const double disc = B * B - 4 * A * C;
        if (disc >= 0) {
            const double s = std::sqrt(disc);
            roots.push_back((-B - s) / (2 * A));
            roots.push_back((-B + s) / (2 * A));
        }
    }
    std::vector<double> inside;
    for (double t : roots)
        if (t > 0 && t < 1) inside.push_back(t);
    std::sort(inside.begin(), inside.end());
    return inside;
}

// The parameters in (0, 1) where the piece's coordinate turns.
std::vector<double> Turns(const Cubic& c, int axis) {
    return Turns(c, axis == 0 ? Point{1, 0} : Point{0, 1});
}

// Cuts every piece where it crosses one of the lines (coordinate `axis` = value, ascending) and
// puts the cut points exactly on the line, so that each part lies between two neighbouring lines.
Path Cut(const Path& path, int axis, const std::vector<double>& lines) {
    if (lines.empty()) return path;
    Path out;
    out.reserve(path.size());
    std::vector<double> cuts;
    std::vector<double> cutValues;
    for (const Cubic& c : path) {
        cuts.clear();
        cutValues.clear();
        std::vector<double> bounds = Turns(c, axis);
        bounds.insert(bounds.begin(), 0.0);
        bounds.push_back(1.0);
        for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
            const double t0 = bounds[i], t1 = bounds[i + 1];
            const double v0 = Coord(At(c, t0), axis), v1 = Coord(At(c, t1), axis);
            const double lo = std::min(v0, v1), hi = std::max(v0, v1);
            auto it = std::upper_bound(lines.begin(), lines.end(), lo);
            std::vector<std::pair<double, double>> found;
            for (; it != lines.end() && *it < hi; ++it) {
                // Monotone between t0 and t1: halving finds the crossing.
                double a = t0, b = t1;
                for (int n = 0; n < 60 && b - a > 1e-15; ++n) {
                    const double m = (a + b) / 2;
                    const bool beforeLine = (Coord(At(c, m), axis) < *it) == (v0 < v1);
                    (beforeLine ? a : b) = m;
                }
                found.emplace_back((a + b) / 2, *it);
            }
            if (v1 < v0) std::reverse(found.begin(), found.end());
            for (const auto& [t, v] : found) {
                if (!cuts.empty() && t <= cuts.back()) continue;
                cuts.push_back(t);
                cutValues.push_back(v);
            }
        }
        double from = 0;
        for (std::size_t i = 0; i <= cuts.size(); ++i) {
            const double to = i < cuts.size() ? cuts[i] : 1.0;
            Cubic part = Part(c, from, to);
            if (i > 0) (axis == 0 ? part.p[0].x : part.p[0].y) = cutValues[i - 1];
            if (i < cuts.size()) (axis == 0 ? part.p[3].x : part.p[3].y) = cutValues[i];
            if (i > 0) part.p[0] = out.back().p[3];
            out.push_back(part);
            from = to;
        }
    }
    return out;
}

// Keeps what lies on the side of the line (coordinate `axis` = value) given by `below`; a part
// beyond it is laid onto the line. Inside, every point keeps its winding number, so the filled
// shape is the part of the old one on that side.
Path ClipSide(const Path& path, int axis, double value, bool below) {
    Path out;
    for (const Cubic& c : Cut(path, axis, {value})) {
        const double mid = Coord(At(c, 0.5), axis);
        const bool inside = below ? mid <= value : mid >= value;
        if (inside) {
            out.push_back(c);
            continue;
        }
        Point a = c.p[0], b = c.p[3];
        (axis == 0 ? a.x : a.y) = value;
        (axis == 0 ? b.x : b.y) = value;
        if (a.x != b.x || a.y != b.y) out.push_back(Line(a, b));
    }
    // The pieces join again where a part was laid onto the line.
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Cubic& next = out[(i + 1) % out.size()];
        if (out[i].p[3].x != next.p[0].x || out[i].p[3].y != next.p[0].y) {
            Cubic& c = out[i];
            const Point end = next.p[0];
            // Only rounding apart: the end is moved onto the next start.
            c.p[2].x += end.x - c.p[3].x;
            c.p[2].y += end.y - c.p[3].y;
            c.p[3] = end;
        }
    }
    return out;
}

Path ClipToBox(Path path, double width, double height) {
    path = ClipSide(path, 0, 0, false);
    path = ClipSide(path, 0, width, true);
    path = ClipSide(path, 1, 0, false);
    return ClipSide(path, 1, height, true);
}

// False for a path that encloses nothing: empty, or laid wholly onto one line of the box.
bool Encloses(const Path& path) {
    if (path.empty()) return false;
    const Point first = path.front().p[0];
    bool wide = false, high = false;
    for (const Cubic& c : path) {
        for (const Point& p : c.p) {
            wide = wide || p.x != first.x;
            high = high || p.y != first.y;
        }
    }
    return wide && high;
}

// One pass of the outline deformation: along `axis` the parts of every row (axis 0: rows, moved
// sideways) or column (axis 1: columns, moved up or down) move by that row's or column's shift;
// where two neighbours' shifts differ the path steps across between them.
Path Shift(const Path& path, int axis, const std::vector<std::int32_t>& shifts) {
    std::vector<double> lines;
    for (std::size_t i = 1; i < shifts.size(); ++i)
        if (shifts[i] != shifts[i - 1]) lines.push_back(double(i));
    const int across = 1 - axis;
    const Path cut = Cut(path, across, lines);
    const auto shiftOf = [&](const Cubic& c) {
        const double v = std::floor(Coord(At(c, 0.5), across));
        const auto i = static_cast<std::size_t>(std::clamp(v, 0.0, double(shifts.size() - 1)));
        return double(shifts[i]);
    };
    Path out;
    out.reserve(cut.size() * 2);
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const double s = shiftOf(cut[i]);
        const Cubic moved = axis == 0 ? Moved(cut[i], s, 0) : Moved(cut[i], 0, s);
        out.push_back(moved);
        const Cubic& next = cut[(i + 1) % cut.size()];
        const double t = shiftOf(next);
        if (t == s) continue;
        const Point to =
            axis == 0 ? Point{next.p[0].x + t, next.p[0].y} : Point{next.p[0].x, next.p[0].y + t};
        out.push_back(Line(moved.p[3], to));
    }
    return out;
}

// The bend as a continuous map from text-image points to picture points. Text column c is laid
// at the warp's steps kFirst(c) .. kFirst(c + 1) - 1, so the column's left edge lies half way
// between step kFirst(c) - 1 and step kFirst(c), and a point within the column lies in between
// in proportion. Text row r is given to the pixels whose distance from U has an integer root e
// with row(e) = r, so row r's top edge lies half a pixel before the distance eFirst(r), the first
// such e.
class Bend {
  public:
    Bend(const TLine& upper, const TLine& lower, std::int64_t textWidth, std::int64_t textHeight)
        : Wt_(textWidth), Ht_(textHeight) {
        N_ = std::max(upper.OutlineCount(), lower.OutlineCount());
        if (N_ <= 1) return;
        steps_.resize(std::size_t(N_));
        for (std::int64_t k = 0; k < N_; ++k) {
            TPoint U, L, Up, Lp;
            WarpStepEnds(upper, lower, k, U, L, Up, Lp);
            Step& s = steps_[std::size_t(k)];
            // The rays join pixel centres.
            s.ux = U.x + 0.5;
            s.uy = U.y + 0.5;
            s.lx = L.x + 0.5;
            s.ly = L.y + 0.5;
            const double dx = double(L.x) - U.x, dy = double(L.y) - U.y;
            const double d = std::hypot(dx, dy);
            if (d > 0) {
                s.dx = dx / d;
                s.dy = dy / d;
                s.pace = d / std::max(std::abs(dx), std::abs(dy));
                s.slant = std::min(1.0, 2 * std::min(std::abs(dx), std::abs(dy)) / d);
            }
            s.upx = Up.x + 0.5;
            s.upy = Up.y + 0.5;
            s.lpx = Lp.x + 0.5;
            s.lpy = Lp.y + 0.5;
            s.length = WarpRayLength(U, L);
            s.scale = s.length != 0 ? WarpRowScale(Ht_, s.length) : 0;
        }
        // Every ray of a step shows the rows by their distance from the step's U, so a ray that
        // runs aside of the step's own shows its column moved across the ray, by as much as it
        // lies aside there: rays 3 and 4 by the way to the outline point before U (near U) and
        // before L (near L), rays 1 and 2 by a pixel to the side in the half of the ray near
        // their moved end.
        for (std::int64_t k = 0; k < N_; ++k) {
            Step& s = steps_[std::size_t(k)];
            const Step& before = steps_[std::size_t(std::max<std::int64_t>(k - 1, 0))];
            const Step& after = steps_[std::size_t(std::min<std::int64_t>(k + 1, N_ - 1))];
            // Across the ray, towards the later steps.
            s.nx = -s.dy;
            s.ny = s.dx;
            const double mx = (after.ux + after.lx) - (before.ux + before.lx);
            const double my = (after.uy + after.ly) - (before.uy + before.ly);
            if (s.nx * mx + s.ny * my < 0) {
                s.nx = -s.nx;
                s.ny = -s.ny;
            }
            s.backU = (s.upx - s.ux) * s.nx + (s.upy - s.uy) * s.ny;
            s.backL = (s.lpx - s.lx) * s.nx + (s.lpy - s.ly) * s.ny;
            const double side = s.lx > s.ux ? 1 : -1;
            s.asideU = side * s.nx;
            s.asideL = -side * s.nx;
        }
    }

    bool Draws() const { return N_ > 1 && Wt_ > 0 && Ht_ > 0; }

    // The point where the rays of its steps lay it, taken at `reach` within what they reach
    // across the ray: from the end towards the lines' start (0) to the other (1).
    VectorPoint operator()(const Point& p, double reach) const {
        std::int64_t k = 0;
        double t = 0, y = 0;
        Between(p, k, t, y);
        const Step& s = steps_[std::size_t(k)];
        const Step& u = steps_[std::size_t(k + 1)];
        const Placed ps = Place(s, y, reach), pu = Place(u, y, reach);
        // Between the two rays the point lies aside of each by its share of the gap between
        // them, and shows the row of its distance from that step's U. Rays further apart than
        // a pixel or so leave pixels between them that neither shows: no more is counted.
        const double gx = (u.ux + u.dx * pu.distance + u.nx * pu.across) -
                          (s.ux + s.dx * ps.distance + s.nx * ps.across);
        const double gy = (u.uy + u.dy * pu.distance + u.ny * pu.across) -
                          (s.uy + s.dy * ps.distance + s.ny * ps.across);
        const auto share = [](double gap) { return std::clamp(gap, -kMaxAside, kMaxAside); };
        const VectorPoint a = Laid(s, ps.distance, ps.across, share(t * (gx * s.nx + gy * s.ny)));
        const VectorPoint b =
            Laid(u, pu.distance, pu.across, share((t - 1) * (gx * u.nx + gy * u.ny)));
        return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    }

    // The direction in the text image that the other rays move a point in (towards the later
    // steps), a unit long; (1, 0) where the bend folds the text image flat.
    // Taken from the bend's smooth course, not from the placed points: those stand still while
    // a row or a column stays on the same pixel of its ray and then jump a whole pixel, so a
    // squeezed text (a dozen rows a pixel) would seem not to move at all along its rows.
    Point Sweep(const Point& p) const {
        std::int64_t k = 0;
        double t = 0, y = 0;
        Between(p, k, t, y);
        // The lines' course over a few steps either side, past the stairs of their pixels.
        constexpr std::int64_t kAround = 3;
        const Step& a = steps_[std::size_t(std::max<std::int64_t>(0, k - kAround))];
        const Step& b = steps_[std::size_t(std::min<std::int64_t>(N_ - 1, k + 1 + kAround))];
        const Step& s = steps_[std::size_t(k)];
        const double spread = double(std::min<std::int64_t>(N_ - 1, k + 1 + kAround) -
                                     std::max<std::int64_t>(0, k - kAround));
        const double f = y / double(Ht_);
        const double perColumn =
            double(N_ - 1) / double(std::max<std::int64_t>(Wt_ - 1, 1)) / spread;
        // Where a column and a row of the text image lead in the picture.
        const double ax = perColumn * ((b.ux - a.ux) + f * ((b.lx - a.lx) - (b.ux - a.ux)));
        const double ay = perColumn * ((b.uy - a.uy) + f * ((b.ly - a.ly) - (b.uy - a.uy)));
        const double bx = (s.lx - s.ux) / double(Ht_), by = (s.ly - s.uy) / double(Ht_);
        const double det = ax * by - bx * ay;
        const Point n = Across(p);
        if (std::abs(det) < 1e-12) return {1, 0};
        // The text-image step that the bend carries onto n.
        const Point v{(by * n.x - bx * n.y) / det, (ax * n.y - ay * n.x) / det};
        const double length = std::hypot(v.x, v.y);
        return length > 0 ? Point{v.x / length, v.y / length} : Point{1, 0};
    }

  private:
    // Where the steps around the point lie, both as fractions of their own.
    void Between(const Point& p, std::int64_t& k, double& t, double& y) const {
        const double x = std::clamp(p.x, 0.0, double(Wt_));
        const auto c = std::min<std::int64_t>(std::int64_t(std::floor(x)), Wt_ - 1);
        const std::int64_t k0 = KFirst(c), k1 = KFirst(c + 1);
        const double K = double(k0) - 0.5 + (x - double(c)) * double(k1 - k0);
        y = std::clamp(p.y, 0.0, double(Ht_));
        // Between two neighbouring steps; beyond the first and the last as they go on.
        k = std::clamp<std::int64_t>(std::int64_t(std::floor(K)), 0, N_ - 2);
        t = K - double(k);
    }

    Point Across(const Point& p) const {
        std::int64_t k = 0;
        double t = 0, y = 0;
        Between(p, k, t, y);
        const Step& a = steps_[std::size_t(k)];
        const Step& b = steps_[std::size_t(k + 1)];
        return {a.nx + (b.nx - a.nx) * t, a.ny + (b.ny - a.ny) * t};
    }

    struct Step {
        double ux = 0, uy = 0;                      // U's pixel centre
        double lx = 0, ly = 0;                      // L's
        double upx = 0, upy = 0, lpx = 0, lpy = 0;  // the outline points before U and L
        double dx = 0, dy = 0;                      // towards L, a unit long (none where L is U)
        double nx = 0, ny = 0;                      // across, towards the later steps
        std::int32_t length = 0;
        double scale = 0;
        double pace = 1;  // from pixel to pixel of the ray
        // How far the distances of the pixels beside the ray's own spread between whole ones:
        // not at all beside a ray along an axis.
        double slant = 0;
        // How far across the other rays lay the column near U and near L.
        double backU = 0, backL = 0, asideU = 0, asideL = 0;
    };

    // The first step of column c: the least k with (Wt - 1) x k div (N - 1) >= c; N past the last.
    std::int64_t KFirst(std::int64_t c) const {
        if (c <= 0) return 0;
        if (c >= Wt_) return N_;
        return (c * (N_ - 1) + Wt_ - 2) / (Wt_ - 1);
    }

    // The first root e of the step's ray that is given row r or a later one.
    std::int64_t EFirst(const Step& s, std::int64_t r) const {
        if (r <= 0) return 0;
        // Every pixel of a ray of one text row, or of no length, shows the same row.
        if (s.scale <= 0) return s.length + 1;
        auto e = static_cast<std::int64_t>(std::ceil(double(r) / s.scale));
        while (e > 0 && WarpRowAt(e - 1, s.scale) >= r)
            --e;
        while (WarpRowAt(e, s.scale) < r)
            ++e;
        return e;
    }

    // The ray's pixels lie `pace` apart (a pixel along its longer axis), the first at U, the
    // last at L. Distance e is reached by the pixel at or after it; the row changes half way
    // between that pixel and the one before.
    // The rays beside it have pixels at other distances, each showing the row of its own root,
    // so there the row changes at distance e itself; the more slanted the ray, the more its
    // neighbours' pixels fall between its own, and the edge goes over from the one to the other.
    // (Where they lie aside of the ray, Laid puts them at their distance from U.)
    static double Boundary(const Step& s, double e) {
        const double last = std::round(double(s.length) / s.pace);
        const double pixel = std::min(std::ceil(e / s.pace - 1e-9), last + 1);
        const double own = (pixel - 0.5) * s.pace;
        return own + (std::min(e, double(s.length) + 0.5) - own) * s.slant;
    }

    // Where row y lies on the step's rays: its distance from U and how far across the ray,
    // taken at `reach` within what the rays reach.
    struct Placed {
        double distance = 0, across = 0;
    };

    Placed Place(const Step& s, double y, double reach) const {
        if (s.length == 0) return {};
        const auto r = std::min<std::int64_t>(std::int64_t(std::floor(y)), Ht_ - 1);
        const double e0 = double(EFirst(s, r)), e1 = double(EFirst(s, r + 1));
        const double b0 = Boundary(s, e0);
        const double distance = b0 + (y - double(r)) * (Boundary(s, e1) - b0);
        const double f = std::clamp(distance / double(s.length), 0.0, 1.0);
        const double back = s.backU + (s.backL - s.backU) * f;
        // Rays 1 and 2 go over from the pixel aside to the ray's own half way along.
        const double w = std::clamp((f - 0.5) * double(s.length) + 0.5, 0.0, 1.0);
        const double aside = s.asideU * (1 - w) + s.asideL * w;
        const double least = std::min({0.0, back, aside}), most = std::max({0.0, back, aside});
        return {distance, least + (most - least) * reach};
    }

    // The point `across` the ray whose distance from U is `distance`. Every ray measures its
    // distances from U, so a pixel aside of the step's own ray, by `across` and `aside` more,
    // shows the row of its distance from U rather than of how far along the ray it lies: near
    // U, where the rays that fill the gaps start a pixel aside, a row lies that much nearer U.
    static VectorPoint Laid(const Step& s, double distance, double across, double aside) {
        const double off = across + aside;
        const double along = std::sqrt(std::max(distance * distance - off * off, 0.0));
        const double forth = distance < 0 ? -along : along;
        return {s.ux + s.dx * forth + s.nx * across, s.uy + s.dy * forth + s.ny * across};
    }

    std::int64_t Wt_ = 0, Ht_ = 0, N_ = 0;
    std::vector<Step> steps_;
};

double DistanceToChord(const VectorPoint& q, const VectorPoint& a, const VectorPoint& b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double wx = q.x - a.x, wy = q.y - a.y;
    const double ll = vx * vx + vy * vy;
    const double t = ll > 0 ? std::clamp((wx * vx + wy * vy) / ll, 0.0, 1.0) : 0.0;
    return std::hypot(wx - t * vx, wy - t * vy);
}

// A piece on its way through the bend, its reach across the rays going from `from` to `to`
// (see Widened).
struct BentPiece {
    Cubic c;
    double from = 0, to = 0;
    VectorPoint At(const Bend& bend, double t) const {
        return bend(gw::At(c, t), from + (to - from) * t);
    }
};

// The warp lays every column on more than its own steps: the rays that fill the gaps lay it on
// the step before as well, and a pixel aside of its own near either end. So the letters reach
// further than their own ray shows them: they are the sweep of their shape over the reach
// across the ray at each point. Where a contour's outer side faces one way its parts go to that end
// of the reach (the fill lies to the right of the way: outer contours run clockwise, counters the
// other way), and where the facing changes the contour crosses over at that point. Every point
// is then inside the sweep as often as the letters cover it, so the nonzero fill is the sweep.
std::vector<BentPiece> Widened(const Path& path, const Bend& bend) {
    std::vector<BentPiece> pieces;
    double last = 0;
    const auto cross = [&pieces, &last](const Point& at, double to) {
        if (to == last) return;
        pieces.push_back({{{at, at, at, at}}, last, to});
        last = to;
    };
    for (const Cubic& whole : path) {
        const Point v = bend.Sweep(At(whole, 0.5));
        std::vector<double> cuts = Turns(whole, Point{v.y, -v.x});
        cuts.push_back(1);
        double from = 0;
        for (const double to : cuts) {
            if (to <= from) continue;
            const Cubic c = Part(whole, from, to);
            from = to;
            const double dx = c.p[3].x - c.p[0].x, dy = c.p[3].y - c.p[0].y;
            // The outer side faces along v or against it.
            const double facing = dy * v.x - dx * v.y;
            double reach = last;
            if (facing != 0) reach = facing > 0 ? 1 : 0;
            if (pieces.empty()) {
                last = reach;
            } else {
                cross(c.p[0], reach);
            }
            pieces.push_back({c, reach, reach});
        }
    }
    // The closing crossing, back to where the first piece stands: copied first, since the
    // crossing's pieces may move the vector.
    if (!pieces.empty()) {
        const Point start = pieces.front().c.p[0];
        const double first = pieces.front().from;
        cross(start, first);
    }
    return pieces;
}

// Adds the bent piece from t0 to t1 to `out`, its end included, halved until three points
// within it lie close enough to the chord. False once `out` would outgrow `limit`.
bool Flatten(const BentPiece& piece, const Bend& bend, double t0, const VectorPoint& m0, double t1,
             const VectorPoint& m1, int depth, VectorContour& out, std::size_t limit) {
    const double h = t1 - t0;
    const VectorPoint q1 = piece.At(bend, t0 + h / 4);
    const VectorPoint q2 = piece.At(bend, t0 + h / 2);
    const VectorPoint q3 = piece.At(bend, t0 + 3 * h / 4);
    const bool flat = DistanceToChord(q1, m0, m1) <= kTolerance &&
                      DistanceToChord(q2, m0, m1) <= kTolerance &&
                      DistanceToChord(q3, m0, m1) <= kTolerance;
    if (flat || depth >= kMaxDepth) {
        if (out.size() >= limit) return false;
        out.push_back(m1);
        return true;
    }
    return Flatten(piece, bend, t0, m0, t0 + h / 2, q2, depth + 1, out, limit) &&
           Flatten(piece, bend, t0 + h / 2, q2, t1, m1, depth + 1, out, limit);
}

// Keeps the part of the polygon on one side of a line (Sutherland and Hodgman): the points
// beyond it are laid onto it, which keeps every winding number on this side.
VectorContour ClipPolygon(const VectorContour& in, int axis, double value, bool below) {
    VectorContour out;
    const auto coord = [axis](const VectorPoint& p) { return axis == 0 ? p.x : p.y; };
    const auto inside = [&](const VectorPoint& p) {
        return below ? coord(p) <= value : coord(p) >= value;
    };
    for (std::size_t i = 0; i < in.size(); ++i) {
        const VectorPoint& a = in[i];
        const VectorPoint& b = in[(i + 1) % in.size()];
        const bool ia = inside(a), ib = inside(b);
        if (ia) out.push_back(a);
        if (ia != ib) {
            const double t = (value - coord(a)) / (coord(b) - coord(a));
            VectorPoint p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            (axis == 0 ? p.x : p.y) = value;
            out.push_back(p);
        }
    }
    return out;
}

// Drops repeated points; false for a contour that encloses nothing (fewer than three points, or
// all on one line parallel to an axis, as a contour wholly outside the picture ends up).
bool Tidy(VectorContour& contour) {
    VectorContour kept;
    kept.reserve(contour.size());
    for (const VectorPoint& p : contour)
        if (kept.empty() || p.x != kept.back().x || p.y != kept.back().y) kept.push_back(p);
    while (kept.size() > 1 && kept.front().x == kept.back().x && kept.front().y == kept.back().y)
        kept.pop_back();
    contour = std::move(kept);
    if (contour.size() < 3) return false;
    double left = contour[0].x, right = left, top = contour[0].y, bottom = top;
    for (const VectorPoint& p : contour) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    return right > left && bottom > top;
}

}  // namespace

bool LetterOutlines(const Lettering& lettering, VectorLetters& letters, std::string& error,
                    std::int32_t scale) {
    letters.contours.clear();
    const std::int32_t k = std::clamp(scale, 1, kMaxRenderScale);
    const Lettering scaled = k > 1 ? ScaledLettering(lettering, k) : Lettering{};
    const Lettering& drawn = k > 1 ? scaled : lettering;
    const TextPlan plan = PlanText(drawn, k);
    const std::int64_t Wt = plan.width, Ht = plan.height;
    const std::int64_t Wp = drawn.width, Hp = drawn.height;
    if (Wt <= 0 || Ht <= 0 || Wp <= 0 || Hp <= 0) return true;

    std::vector<Path> paths;
    for (const OutlineContour& contour : TextLetterOutlines(plan)) {
        Path path;
        Point from = contour.start;
        for (std::size_t i = 0; i + 2 < contour.pieces.size(); i += 3) {
            path.push_back(
                {{from, contour.pieces[i], contour.pieces[i + 1], contour.pieces[i + 2]}});
            from = contour.pieces[i + 2];
        }
        // What lies beyond the text image is not drawn.
        path = ClipToBox(std::move(path), double(Wt), double(Ht));
        if (Encloses(path)) paths.push_back(std::move(path));
    }

    // The outline deformation moves rows, then columns; what leaves the image is lost.
    std::vector<std::int32_t> rowShifts, columnShifts;
    DisorbShifts(drawn.settings, std::int32_t(Wt), std::int32_t(Ht), rowShifts, columnShifts, k);
    if (rowShifts.size() == std::size_t(Ht) && columnShifts.size() == std::size_t(Wt)) {
        for (Path& path : paths) {
            path = ClipToBox(Shift(path, 0, rowShifts), double(Wt), double(Ht));
            path = ClipToBox(Shift(path, 1, columnShifts), double(Wt), double(Ht));
        }
        paths.erase(std::remove_if(paths.begin(), paths.end(),
                                   [](const Path& path) { return !Encloses(path); }),
                    paths.end());
    }

    // The work follows the picture, as the warp's does.
    const auto limit = static_cast<std::size_t>(WarpBlendBudget(Wp, Hp) / 4);
    std::size_t points = 0;
    bool fits = true;
    WithWarpLines(drawn.EnvelopeLines[0], drawn.EnvelopeLines[1], Wp, Hp,
                  [&](const TLine& upper, const TLine& lower) {
                      const Bend bend(upper, lower, Wt, Ht);
                      if (!bend.Draws()) return;
                      for (const Path& path : paths) {
                          if (path.empty() || !fits) continue;
                          const std::vector<BentPiece> pieces = Widened(path, bend);
                          VectorContour contour;
                          VectorPoint m0 = pieces.front().At(bend, 0);
                          contour.push_back(m0);
                          for (const BentPiece& piece : pieces) {
                              const VectorPoint m1 = piece.At(bend, 1);
                              if (!Flatten(piece, bend, 0, m0, 1, m1, 0, contour, limit - points)) {
                                  fits = false;
                                  break;
                              }
                              m0 = m1;
                          }
                          if (!fits) break;
                          points += contour.size();
                          // Only the picture is drawn.
                          contour = ClipPolygon(contour, 0, 0, false);
                          contour = ClipPolygon(contour, 0, double(Wp), true);
                          contour = ClipPolygon(contour, 1, 0, false);
                          contour = ClipPolygon(contour, 1, double(Hp), true);
                          if (Tidy(contour)) letters.contours.push_back(std::move(contour));
                      }
                  });
    if (!fits) {
        letters.contours.clear();
        error = catalogue::Tr("Die Umrisse der Buchstaben hätten für dieses Bild zu viele Punkte.");
        return false;
    }
    return true;
}

std::vector<std::uint8_t> FillLetters(const VectorLetters& letters, std::int32_t width,
                                      std::int32_t height) {
    const std::size_t W = std::size_t(std::max(width, 0)), H = std::size_t(std::max(height, 0));
    std::vector<std::uint8_t> filled(W * H, 0);
    if (W == 0 || H == 0) return filled;
    // Each edge goes to the rows whose centres it crosses, downwards counting +1, upwards -1.
    struct Edge {
        VectorPoint a, b;
        int winding;
    };
    std::vector<std::vector<Edge>> rows(H);
    for (const VectorContour& contour : letters.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            VectorPoint a = contour[i], b = contour[(i + 1) % contour.size()];
            if (a.y == b.y) continue;
            const int winding = a.y < b.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            // Centres y + 0.5 with a.y <= y + 0.5 < b.y.
            const double first = std::max(std::ceil(a.y - 0.5), 0.0);
            const double last = std::min(std::ceil(b.y - 0.5) - 1, double(H) - 1);
            for (double y = first; y <= last; ++y)
                rows[std::size_t(y)].push_back({a, b, winding});
        }
    }
    std::vector<std::pair<double, int>> crossings;
    for (std::size_t y = 0; y < H; ++y) {
        const double cy = double(y) + 0.5;
        crossings.clear();
        for (const Edge& e : rows[y])
            crossings.emplace_back(e.a.x + (cy - e.a.y) / (e.b.y - e.a.y) * (e.b.x - e.a.x),
                                   e.winding);
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding == 0) continue;
            // Pixels whose centres x + 0.5 lie in [from, to).
            const double from = std::max(std::ceil(crossings[i].first - 0.5), 0.0);
            const double to = std::min(std::ceil(crossings[i + 1].first - 0.5), double(W));
            for (double x = from; x < to; ++x)
                filled[y * W + std::size_t(x)] = 1;
        }
    }
    return filled;
}

}  // namespace gw
