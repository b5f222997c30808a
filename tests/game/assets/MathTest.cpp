// Expected values come from hand-worked rotations and from identities (R R^T = I, A A^-1 = I),
// not from the code under test.
#include "game/assets/math/Matrix4.h"
#include "game/assets/math/Quaternion.h"
#include "game/assets/math/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const float kPi = 3.14159265358979f;

void expectVec(const Vector3& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

// Same rotation: q and -q are equal.
void expectSameRotation(const Quaternion& a, const Quaternion& b, float tol = 2e-4f) {
    float sign = (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w) < 0 ? -1.0f : 1.0f;
    EXPECT_NEAR(a.x, sign * b.x, tol);
    EXPECT_NEAR(a.y, sign * b.y, tol);
    EXPECT_NEAR(a.z, sign * b.z, tol);
    EXPECT_NEAR(a.w, sign * b.w, tol);
}

Quaternion aboutAxis(float ax, float ay, float az, float radians) {
    float s = std::sin(radians / 2);
    return {ax * s, ay * s, az * s, std::cos(radians / 2)};
}

TEST(Vector3Math, BasicsAndZeroNormalise) {
    Vector3 a(1, 2, 3), b(4, -5, 6);
    expectVec(a + b, 5, -3, 9);
    expectVec(a - b, -3, 7, -3);
    expectVec(a * 2.0f, 2, 4, 6);
    EXPECT_FLOAT_EQ(a.dot(b), 4 - 10 + 18);
    EXPECT_FLOAT_EQ(Vector3(3, 4, 0).length(), 5.0f);
    Vector3 zero;
    zero.normalize();
    expectVec(zero, 0, 0, 0, 0);
    Vector3 n(0, 3, 4);
    n.normalize();
    expectVec(n, 0, 0.6f, 0.8f);
}

TEST(Matrix4Math, ConstructionProductTransformTranspose) {
    Matrix4 zero;
    for (float e : zero.m) {
        EXPECT_EQ(e, 0.0f);
    }
    // Translation (10, 20, 30) and a scale by 2, column order.
    Matrix4 t, s;
    t.m[0] = t.m[5] = t.m[10] = t.m[15] = 1;
    t.m[12] = 10;
    t.m[13] = 20;
    t.m[14] = 30;
    s.m[0] = s.m[5] = s.m[10] = 2;
    s.m[15] = 1;
    expectVec(t.transformPoint(Vector3()), 10, 20, 30);
    // t * s scales first, then translates.
    expectVec((t * s).transformPoint(Vector3(1, 1, 1)), 12, 22, 32);
    expectVec((s * t).transformPoint(Vector3(1, 1, 1)), 22, 42, 62);
    Matrix4 tr = t.transpose();
    EXPECT_EQ(tr.m[3], 10.0f); // row-order: translation in the last row
    EXPECT_EQ(tr.m[7], 20.0f);
    EXPECT_EQ(t.m[12], 10.0f); // not stored
    t.transpose(true);
    EXPECT_EQ(t.m[11], 30.0f);
    Matrix4 sum = s + s - s * 0.5f;
    EXPECT_FLOAT_EQ(sum.m[0], 3.0f);
    EXPECT_FLOAT_EQ(s.determinant3(), 8.0f);
}

TEST(Matrix4Math, AffineInverseUndoesTheMatrix) {
    Matrix4 a;
    Quaternion q = aboutAxis(0.6f, 0.0f, 0.8f, 1.1f);
    q.toMatrix(a);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
        a.m[i] *= 1.5f;
    }
    a.m[12] = -7;
    a.m[13] = 3;
    a.m[14] = 11;
    a.m[15] = 1;
    Matrix4 inv = a.affineInverse();
    EXPECT_NEAR(a.determinant, 1.5f * 1.5f * 1.5f, 1e-4f);
    Matrix4 id = a * inv;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(id.m[4 * c + r], r == c ? 1.0f : 0.0f, 1e-5f) << r << "," << c;
        }
    }
    Vector3 p(1, 2, 3);
    expectVec(inv.transformPoint(a.transformPoint(p)), 1, 2, 3, 1e-4f);
}

TEST(QuaternionMath, IdentityProductOrderAndRotation) {
    Quaternion id;
    Quaternion q = aboutAxis(0, 1, 0, 0.7f);
    expectSameRotation(id * q, q);
    expectSameRotation(q * id, q);
    Quaternion z90 = aboutAxis(0, 0, 1, kPi / 2);
    expectVec(z90.rotate(Vector3(1, 0, 0)), 0, 1, 0);
    // a * b applies a first, then b: x90 then z90 takes (0, 1, 0) to (0, 0, 1) and then
    // keeps it; z90 then x90 takes it to (-1, 0, 0) and then keeps it.
    Quaternion x90 = aboutAxis(1, 0, 0, kPi / 2);
    expectVec((x90 * z90).rotate(Vector3(0, 1, 0)), 0, 0, 1);
    expectVec((z90 * x90).rotate(Vector3(0, 1, 0)), -1, 0, 0);
    Quaternion c = q.conjugate();
    EXPECT_EQ(c.x, -q.x);
    EXPECT_EQ(c.w, q.w);
}

TEST(QuaternionMath, MatrixOfAQuarterTurnAboutZ) {
    Matrix4 m;
    aboutAxis(0, 0, 1, kPi / 2).toMatrix(m);
    // Column 0 is the image of x: (0, 1, 0).
    EXPECT_NEAR(m.m[0], 0, 1e-6f);
    EXPECT_NEAR(m.m[1], 1, 1e-6f);
    EXPECT_NEAR(m.m[4], -1, 1e-6f);
    EXPECT_NEAR(m.m[10], 1, 1e-6f);
}

TEST(QuaternionMath, HalfTurnsConvertThroughTheirOwnBranches) {
    const float axes[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& a : axes) {
        Quaternion q = aboutAxis(a[0], a[1], a[2], kPi);
        Matrix4 m;
        q.toMatrix(m);
        Quaternion back;
        back.fromMatrix(m);
        EXPECT_TRUE(std::isfinite(back.x) && std::isfinite(back.w));
        expectSameRotation(back, q);
    }
}

TEST(QuaternionMath, MatrixRoundTripOverManyRotations) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    for (int i = 0; i < 2000; ++i) {
        Quaternion q(u(rng), u(rng), u(rng), i % 10 == 0 ? 0.0f : u(rng)); // some half turns
        q.normalize();
        Matrix4 m;
        q.toMatrix(m);
        // A rotation matrix is orthonormal: R R^T = I.
        Matrix4 r = m;
        r.m[15] = 1;
        Matrix4 rt = r.transpose();
        Matrix4 id = r * rt;
        for (int k : {0, 5, 10}) {
            ASSERT_NEAR(id.m[k], 1.0f, 1e-4f);
        }
        ASSERT_NEAR(id.m[1], 0.0f, 1e-4f);
        Quaternion back;
        back.fromMatrix(m);
        expectSameRotation(back, q);
    }
}

TEST(QuaternionMath, EulerAxisAngleAndSmallComponents) {
    Quaternion e;
    e.fromEuler(0, 0, 90);
    expectSameRotation(e, aboutAxis(0, 0, 1, kPi / 2));
    e.fromEuler(90, 0, 0);
    expectVec(e.rotate(Vector3(0, 1, 0)), 0, 0, 1);
    Vector3 axis;
    float angle = 0;
    aboutAxis(0, 1, 0, 1.2f).toAxisAngle(axis, angle);
    EXPECT_NEAR(angle, 1.2f, 1e-5f);
    expectVec(axis, 0, 1, 0);
    Quaternion tiny(0.001f, 0.002f, 0.0f, 1.0f);
    tiny.toAxisAngle(axis, angle);
    EXPECT_EQ(angle, 0.0f);
    expectVec(axis, 0, 0, 1, 0);
    Quaternion small(5e-7f, -2e-7f, 0.5f, 1e-6f);
    small.zeroSmall(1e-6f);
    EXPECT_EQ(small.x, 0.0f);
    EXPECT_EQ(small.y, 0.0f);
    EXPECT_EQ(small.z, 0.5f);
    EXPECT_EQ(small.w, 1e-6f); // not below epsilon
    Quaternion big(2, 0, 0, 0);
    big.normalize();
    EXPECT_EQ(big.x, 1.0f);
}

} // namespace
