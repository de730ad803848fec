#pragma once
// Points, affine matrices and colour transforms of the rasteriser.
#include <cmath>

#include "SwfCharacters.h"

struct Point {
    double x = 0, y = 0;
};

// x' = a x + c y + tx, y' = b x + d y + ty.
struct Matrix2D {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Matrix2D From(const SwfMatrix& m) { return {m.a, m.b, m.c, m.d, m.tx, m.ty}; }
    static Matrix2D Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Matrix2D Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }

    Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // This after `inner`: first inner, then this.
    Matrix2D operator*(const Matrix2D& inner) const {
        return {a * inner.a + c * inner.b,        b * inner.a + d * inner.b,
                a * inner.c + c * inner.d,        b * inner.c + d * inner.d,
                a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }
    double Determinant() const { return a * d - b * c; }
    // The identity's inverse when the matrix has none.
    Matrix2D Inverse() const {
        const double det = Determinant();
        if (!std::isfinite(det) || std::fabs(det) < 1e-12) return {0, 0, 0, 0, 0, 0};
        const double i = 1 / det;
        return {d * i, -b * i, -c * i, a * i, (c * ty - d * tx) * i, (b * tx - a * ty) * i};
    }
    // How much lengths grow on average.
    double LengthScale() const { return std::sqrt(std::fabs(Determinant())); }
};

// Outer after inner: the colour goes through `inner` first.
SwfCxform Concat(const SwfCxform& outer, const SwfCxform& inner);
// A straight colour through the transform, clamped to bytes.
Rgba Apply(const SwfCxform& c, Rgba color);

// Premultiplied colour in 0..1.
struct ColorF {
    float r = 0, g = 0, b = 0, a = 0;
};
ColorF Premultiplied(Rgba c);
