// The yardsticks of bench/pair.sh: the schemes of sections 1.1, 1.2 and 2.2 as plain C
// loops (std::pow, fixed arrays, fprintf rows), without the store, the checks, the plot or
// the window. The runner's time on the same case is compared with these.
//
//   velta_bare sec11 NDIM KMOD ALFA BETA GAMA TMAX HHH NSC OUT
//       class 1 ring M1(NDIM,KMOD); X = 0 except X(1) = 3, X(5) = 2, X(9) = 1 (those <= NDIM)
//   velta_bare sec12 ALFA BETA GAMA PTAU TMAX NDEL NSC OUT
//       task Tau0 of section 1.2: two equations, delays PTAU*(0.5, 0.75, 1)
//   velta_bare sec22 ALFA BETA GAMA PTAU TMAX NDEL NSC OUT
//       task Tau0 of section 2.2: two equations, delays PTAU*(0.1, 0.25, 0.4, 0.55, 0.7, 1)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double arg(char** argv, int i) { return std::atof(argv[i]); }

// ---------------------------------------------------------------- section 1.1

constexpr int kMaxDim = 2000;
double X1[kMaxDim + 1], XPREV[kMaxDim + 1], XNEW[kMaxDim + 1], F1[kMaxDim + 1], F2[kMaxDim + 1],
    XST[kMaxDim + 1], XG[kMaxDim + 1];

void rhs11(int n, int kmod, double alfa, double beta, double gama, const double* x, double* f) {
    for (int k = 1; k <= n; ++k) XG[k] = std::pow(x[k], gama);
    for (int i = 1; i <= n; ++i) {
        int k = i + n - kmod + 1;
        if (k > n) k -= n;
        double s = 0;
        for (int j = 0; j < kmod - 1; ++j) {
            s += XG[k];
            if (++k > n) k = 1;
        }
        f[i] = alfa / (1 + beta * s);
    }
}

int sec11(char** argv) {
    const int n = std::atoi(argv[2]), kmod = std::atoi(argv[3]);
    const double alfa = arg(argv, 4), beta = arg(argv, 5), gama = arg(argv, 6);
    const double tmax = arg(argv, 7), h = arg(argv, 8);
    const int nsc = std::atoi(argv[9]);
    FILE* out = std::fopen(argv[10], "wb");
    if (!out || n < 1 || n > kMaxDim) return 1;
    X1[1] = 3;
    if (n >= 5) X1[5] = 2;
    if (n >= 9) X1[9] = 1;
    const double eh = std::exp(h), ehi = 1 / eh, eq = (eh - 1) / h, ec1 = eq - 1, ec2 = eh - eq;
    std::memcpy(XST, X1, sizeof X1);
    rhs11(n, kmod, alfa, beta, gama, X1, F1);
    for (int i = 1; i <= n; ++i) XPREV[i] = X1[i] - (F1[i] - X1[i]) * h;
    const long last = std::lround(tmax / h) + 1;
    double wmin = 1e10, period = 0;
    for (long j = 1; j <= last; ++j) {
        const double t = (j - 1) * h;
        if (j == 1 || j % nsc == 0) {
            std::fprintf(out, "%05ld   %.5E   ", j, t);
            for (int k = 1; k <= n; ++k) std::fprintf(out, "%.5E   ", X1[k]);
            std::fputs("\r\n", out);
        }
        rhs11(n, kmod, alfa, beta, gama, X1, F1);
        for (int i = 1; i <= n; ++i) XNEW[i] = XPREV[i] + 2 * h * (F1[i] - X1[i]);
        rhs11(n, kmod, alfa, beta, gama, XNEW, F2);
        for (int i = 1; i <= n; ++i) XNEW[i] = ehi * (ec1 * F1[i] + X1[i] + ec2 * F2[i]);
        double s = 0;
        for (int i = 1; i <= n; ++i) s += (XNEW[i] - XST[i]) * (XNEW[i] - XST[i]);
        const double w = std::sqrt(s);
        if (!std::isfinite(w)) return 1;
        if (w < wmin && t > 1) {
            wmin = w;
            period = j * h;
        }
        std::memcpy(XPREV + 1, X1 + 1, sizeof(double) * n);
        std::memcpy(X1 + 1, XNEW + 1, sizeof(double) * n);
    }
    std::fprintf(out, "PERIOD %.5E\r\n", period);
    return std::fclose(out) == 0 ? 0 : 1;
}

// ---------------------------------------------------------------- the delay scheme

constexpr int kNodes = 1000, kComps = 2;
double ZTAB[kNodes + 1][kComps + 1];
double ZTAU[7][kComps + 1];
double FZ[kComps + 1];

// Node and fraction of R in the window (the plain test of the runner, no ties here).
int delayNode(double R, double h, int np1, double& r) {
    int found = 0;
    for (int p = 1; p <= np1; ++p) {
        const double tp = (p - 1) * h;
        if (tp + h > R && R >= tp) {
            found = p;
            r = (R - tp) / h;
        }
    }
    const double q = R / h, i = std::nearbyint(q);
    if (std::fabs(q - i) <= 8 * 2.2e-16 * (q > 1 ? q : 1)) {
        r = 0;
        return static_cast<int>(i) + 1;
    }
    return found;
}

int delay(char** argv, bool sec12) {
    const double alfa = arg(argv, 2), beta = arg(argv, 3), gama = arg(argv, 4), ptau = arg(argv, 5);
    const double tmax = arg(argv, 6);
    const int ndel = std::atoi(argv[7]), nsc = std::atoi(argv[8]);
    FILE* out = std::fopen(argv[9], "wb");
    if (!out || ndel < 1 || 2 * ndel + 2 > kNodes) return 1;
    static const double tau12[] = {0.5, 0.75, 1}, tau22[] = {0.1, 0.25, 0.4, 0.55, 0.7, 1};
    const int m = sec12 ? 3 : 6;
    double tau[7];
    for (int j = 1; j <= m; ++j) tau[j] = ptau * (sec12 ? tau12 : tau22)[j - 1];
    const double taum = tau[m], h = taum / ndel;
    const int np1 = ndel + 1, np2 = 2 * ndel;
    int ktau[7];
    double rtau[7];
    for (int j = 1; j < m; ++j) ktau[j] = delayNode(taum - tau[j], h, np1, rtau[j]);
    const int nper = static_cast<int>(tmax / taum);
    // The stationary value does not matter for the cost: start near it.
    for (int p = 1; p <= np1; ++p) {
        ZTAB[p][1] = 1.0 + 0.001;
        ZTAB[p][2] = 1.0;
    }
    const double z = h, e = std::exp(z), q = (e - 1) / z;
    const double c0 = 1 / e, c1 = q - 1, c2 = e - q;
    auto values = [&](int d) {
        for (int j = 1; j < m; ++j) {
            const double* a = ZTAB[d + ktau[j]];
            const double r = rtau[j];
            if (r == 0) {
                for (int c = 1; c <= kComps; ++c) ZTAU[j][c] = a[c];
            } else {
                const double* b = ZTAB[d + ktau[j] + 1];
                for (int c = 1; c <= kComps; ++c) ZTAU[j][c] = (1 - r) * a[c] + r * b[c];
            }
        }
        for (int c = 1; c <= kComps; ++c) ZTAU[m][c] = ZTAB[d + 1][c];
        if (sec12) {
            const double p11 = std::pow(ZTAU[1][1], gama), p12 = std::pow(ZTAU[1][2], gama);
            const double p22 = std::pow(ZTAU[2][2], gama), p31 = std::pow(ZTAU[3][1], gama);
            FZ[1] = alfa / (1 + beta * ((p11 + p12) + p22));
            FZ[2] = alfa / (1 + beta * ((p11 + p31) + p12));
        } else {
            double p1[7];
            for (int j = 1; j <= 6; ++j) p1[j] = std::pow(ZTAU[j][1], gama);
            FZ[1] = alfa / (1 + beta * (std::pow(ZTAU[6][2], gama) + p1[2]));
            double s = 0;
            for (int j = 1; j <= 6; ++j) s += p1[j];
            FZ[2] = alfa / (1 + beta * s);
        }
    };
    double f1[kComps + 1];
    double t0 = 0;
    for (int win = 1; win <= nper; ++win) {
        values(0);
        for (int k = 1; k <= kComps; ++k) f1[k] = FZ[k];
        for (int cc = np1; cc <= np2; ++cc) {
            values(cc - ndel);
            for (int k = 1; k <= kComps; ++k) {
                ZTAB[cc + 1][k] = c0 * (c1 * f1[k] + ZTAB[cc][k] + c2 * FZ[k]);
                f1[k] = FZ[k];
                if (!std::isfinite(ZTAB[cc + 1][k])) return 1;
            }
        }
        std::memmove(ZTAB[1], ZTAB[1 + ndel], sizeof(ZTAB[0]) * static_cast<std::size_t>(np1));
        for (int p = 1; p <= np1; ++p)
            if (p == 1 || p % nsc == 0) {
                std::fprintf(out, "%05d   %.5E   ", p, t0 + (p - 1) * h);
                for (int k = 1; k <= kComps; ++k) std::fprintf(out, "%.5E   ", ZTAB[p][k]);
                std::fputs("\r\n", out);
            }
        t0 += taum;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 11 && std::strcmp(argv[1], "sec11") == 0) return sec11(argv);
    if (argc == 10 && std::strcmp(argv[1], "sec12") == 0) return delay(argv, true);
    if (argc == 10 && std::strcmp(argv[1], "sec22") == 0) return delay(argv, false);
    std::fprintf(stderr,
                 "usage: velta_bare sec11 NDIM KMOD ALFA BETA GAMA TMAX HHH NSC OUT\n"
                 "       velta_bare sec12|sec22 ALFA BETA GAMA PTAU TMAX NDEL NSC OUT\n");
    return 2;
}
