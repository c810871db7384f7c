#include "face/astronomy.h"

#include <cmath>
#include <cstddef>

namespace hv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr double kDegreesPerArcsecond = 1.0 / 3600.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kSecondsPerDay = 86400.0;

double Sin(double degrees) { return std::sin(degrees * kRadiansPerDegree); }

// Horner's rule: c[0] + c[1] t + c[2] t^2 + ...
template <std::size_t N>
double Polynomial(double t, const double (&c)[N]) {
    double sum = 0;
    for (std::size_t i = N; i-- > 0;) sum = sum * t + c[i];
    return sum;
}

// ---- ΔT ------------------------------------------------------------------------------------

double FromYear(double year) {
    auto at = [year](double from) { return year - from; };
    if (year < 1860) {
        const double u = (year - 1820) / 100;
        return -20 + 32 * u * u;
    }
    if (year < 1900) {
        const double t = at(1860);
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * t * t * t - 0.0004473624 * t * t * t * t +
               t * t * t * t * t / 233174;
    }
    if (year < 1920) return Polynomial(at(1900), {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
    if (year < 1941) return Polynomial(at(1920), {21.20, 0.84493, -0.076100, 0.0020936});
    if (year < 1961) {
        const double t = at(1950);
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (year < 1986) {
        const double t = at(1975);
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (year < 2005)
        return Polynomial(at(2000), {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
    if (year < 2050) return Polynomial(at(2000), {62.92, 0.32217, 0.005589});
    const double u = (year - 1820) / 100;
    if (year < 2150) return -20 + 32 * u * u - 0.5628 * (2150 - year);
    return -20 + 32 * u * u;
}

double YearOfJulianDay(double jd) { return 2000.0 + (jd - kJ2000) / 365.2425; }

// ---- The Sun ---------------------------------------------------------------------------------

// One periodic term A cos(B + C tau) of the VSOP87 series, A in 1e-8 radians (or AU).
struct Term {
    double a;
    double b;
    double c;
};

// The Earth's heliocentric longitude, series L0 to L5 (abridged VSOP87D, equinox of date).
constexpr Term kL0[] = {
    {175347046, 0, 0},
    {3341656, 4.6692568, 6283.0758500},
    {34894, 4.62610, 12566.15170},
    {3497, 2.7441, 5753.3849},
    {3418, 2.8289, 3.5231},
    {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194},
    {2343, 6.1352, 3930.2097},
    {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.6910},
    {1199, 1.1096, 1577.3435},
    {990, 5.233, 5884.927},
    {902, 2.045, 26.298},
    {857, 3.508, 398.149},
    {780, 1.179, 5223.694},
    {753, 2.533, 5507.553},
    {505, 4.583, 18849.228},
    {492, 4.205, 775.523},
    {357, 2.920, 0.067},
    {317, 5.849, 11790.629},
    {284, 1.899, 796.298},
    {271, 0.315, 10977.079},
    {243, 0.345, 5486.778},
    {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},
    {202, 2.458, 6069.777},
    {156, 0.833, 213.299},
    {132, 3.411, 2942.463},
    {126, 1.083, 20.775},
    {115, 0.645, 0.980},
    {103, 0.636, 4694.003},
    {102, 0.976, 15720.839},
    {102, 4.267, 7.114},
    {99, 6.21, 2146.17},
    {98, 0.68, 155.42},
    {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},
    {85, 3.67, 71430.70},
    {80, 1.81, 17260.15},
    {79, 3.04, 12036.46},
    {75, 1.76, 5088.63},
    {74, 3.50, 3154.69},
    {74, 4.68, 801.82},
    {70, 0.83, 9437.76},
    {62, 3.98, 8827.39},
    {61, 1.82, 7084.90},
    {57, 2.78, 6286.60},
    {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},
    {52, 0.19, 12139.55},
    {52, 1.33, 1748.02},
    {51, 0.28, 5856.48},
    {49, 0.49, 1194.45},
    {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},
    {39, 6.17, 10447.39},
    {37, 6.04, 10213.29},
    {37, 2.57, 1059.38},
    {36, 1.71, 2352.87},
    {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},
    {30, 0.44, 83996.85},
    {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
constexpr Term kL1[] = {
    {628331966747, 0, 0},
    {206059, 2.678235, 6283.075850},
    {4303, 2.6351, 12566.1517},
    {425, 1.590, 3.523},
    {119, 5.796, 26.298},
    {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},
    {72, 1.14, 529.69},
    {68, 1.87, 398.15},
    {67, 4.41, 5507.55},
    {59, 2.89, 5223.69},
    {56, 2.17, 155.42},
    {45, 0.40, 796.30},
    {36, 0.47, 775.52},
    {29, 2.65, 7.11},
    {21, 5.34, 0.98},
    {19, 1.85, 5486.78},
    {19, 4.97, 213.30},
    {17, 2.99, 6275.96},
    {16, 0.03, 2544.31},
    {16, 1.43, 2146.17},
    {15, 1.21, 10977.08},
    {12, 2.83, 1748.02},
    {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},
    {12, 2.08, 4694.00},
    {11, 0.77, 553.57},
    {10, 1.30, 6286.60},
    {10, 4.24, 1349.87},
    {9, 2.70, 242.73},
    {9, 5.64, 951.72},
    {8, 5.30, 2352.87},
    {6, 2.65, 9437.76},
    {6, 4.67, 4690.48},
};
constexpr Term kL2[] = {
    {52919, 0, 0},        {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},
    {16, 5.19, 26.30},    {16, 3.68, 155.42},        {10, 0.76, 18849.23},    {9, 2.06, 77713.77},
    {7, 0.83, 775.52},    {5, 4.66, 1577.34},        {4, 1.03, 7.11},         {4, 3.44, 5573.14},
    {3, 5.14, 796.30},    {3, 6.05, 5507.55},        {3, 1.19, 242.73},       {3, 6.12, 529.69},
    {3, 0.31, 398.15},    {3, 2.28, 553.57},         {2, 4.38, 5223.69},      {2, 3.75, 0.98},
};
constexpr Term kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},          {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr Term kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr Term kL5[] = {{1, 3.14, 0}};

// The Earth-Sun distance, only for the aberration (its 20.5" scale with 1/R): the leading
// terms keep it within 1e-5 AU, which moves the longitude by less than 0.001".
constexpr Term kR0[] = {
    {100013989, 0, 0},      {1670700, 3.0984635, 6283.0758500}, {13956, 3.05525, 12566.15170},
    {3084, 5.1985, 77713.7715}, {1628, 1.1739, 5753.3849},      {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.770}, {542, 4.564, 3930.210},           {472, 3.661, 5884.927},
    {346, 0.964, 5507.553},
};
constexpr Term kR1[] = {{103019, 1.10749, 6283.07585}, {1721, 1.0644, 12566.1517}, {702, 3.142, 0}};
constexpr Term kR2[] = {{4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}};

template <std::size_t N>
double Series(const Term (&terms)[N], double tau) {
    double sum = 0;
    for (const Term& term : terms) sum += term.a * std::cos(term.b + term.c * tau);
    return sum;
}

// The nutation in longitude (IAU 1980): multiples of D, M, M', F, Omega and the coefficient
// in 0.0001" (a + b T). Terms below 0.0005" are left out; together they stay under 0.01".
struct NutationTerm {
    signed char d, m, mp, f, omega;
    double a, b;
};
constexpr NutationTerm kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2}, {-2, 0, 0, 2, 2, -13187, -1.6}, {0, 0, 0, 2, 2, -2274, -0.2},
    {0, 0, 0, 0, 2, 2062, 0.2},       {0, 1, 0, 0, 0, 1426, -3.4},    {0, 0, 1, 0, 0, 712, 0.1},
    {-2, 1, 0, 2, 2, -517, 1.2},      {0, 0, 0, 2, 1, -386, -0.4},    {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -0.5},     {-2, 0, 1, 0, 0, -158, 0},      {-2, 0, 0, 2, 1, 129, 0.1},
    {0, 0, -1, 2, 2, 123, 0},         {2, 0, 0, 0, 0, 63, 0},         {0, 0, 1, 0, 1, 63, 0.1},
    {2, 0, -1, 2, 2, -59, 0},         {0, 0, -1, 0, 1, -58, -0.1},    {0, 0, 1, 2, 1, -51, 0},
    {-2, 0, 2, 0, 0, 48, 0},          {0, 0, -2, 2, 1, 46, 0},        {2, 0, 0, 2, 2, -38, 0},
    {0, 0, 2, 2, 2, -31, 0},          {0, 0, 2, 0, 0, 29, 0},         {-2, 0, 1, 2, 2, 29, 0},
    {0, 0, 0, 2, 0, 26, 0},           {-2, 0, 0, 2, 0, -22, 0},       {0, 0, -1, 2, 1, 21, 0},
    {0, 2, 0, 0, 0, 17, -0.1},        {2, 0, -1, 0, 1, 16, 0},        {-2, 2, 0, 2, 2, -16, 0.1},
    {0, 1, 0, 0, 1, -15, 0},          {-2, 0, 1, 0, 1, -13, 0},       {0, -1, 0, 0, 1, -12, 0},
    {0, 0, 2, -2, 0, 11, 0},          {2, 0, -1, 2, 1, -10, 0},       {2, 0, 1, 2, 2, -8, 0},
    {0, 1, 0, 2, 2, 7, 0},            {-2, 1, 1, 0, 0, -7, 0},        {0, -1, 0, 2, 2, -7, 0},
    {2, 0, 0, 2, 1, -7, 0},           {2, 0, 1, 0, 0, 6, 0},          {-2, 0, 2, 2, 2, 6, 0},
    {-2, 0, 1, 2, 1, 6, 0},           {2, 0, -2, 0, 1, -6, 0},        {2, 0, 0, 0, 1, -6, 0},
    {0, -1, 1, 0, 0, 5, 0},           {-2, -1, 0, 2, 1, -5, 0},       {-2, 0, 0, 0, 1, -5, 0},
    {0, 0, 2, 2, 1, -5, 0},
};

// Nutation in longitude in degrees, T in Julian centuries of TT from J2000.
double NutationInLongitude(double t) {
    const double d = Polynomial(t, {297.85036, 445267.111480, -0.0019142, 1.0 / 189474});
    const double m = Polynomial(t, {357.52772, 35999.050340, -0.0001603, -1.0 / 300000});
    const double mp = Polynomial(t, {134.96298, 477198.867398, 0.0086972, 1.0 / 56250});
    const double f = Polynomial(t, {93.27191, 483202.017538, -0.0036825, 1.0 / 327270});
    const double omega = Polynomial(t, {125.04452, -1934.136261, 0.0020708, 1.0 / 450000});
    double sum = 0;
    for (const NutationTerm& term : kNutation) {
        const double argument = term.d * d + term.m * m + term.mp * mp + term.f * f + term.omega * omega;
        sum += (term.a + term.b * t) * Sin(argument);
    }
    return sum * 0.0001 * kDegreesPerArcsecond;
}

// ---- The Moon --------------------------------------------------------------------------------

// A periodic correction of the new moon: coefficient (days), the power of E it carries, and
// the multiples of M, M' and F (Omega has one term of its own below).
struct PhaseTerm {
    double coefficient;
    int ePower;
    signed char m, mp, f;
};
constexpr PhaseTerm kNewMoonTerms[] = {
    {-0.40720, 0, 0, 1, 0},  {0.17241, 1, 1, 0, 0},   {0.01608, 0, 0, 2, 0},   {0.01039, 0, 0, 0, 2},
    {0.00739, 1, -1, 1, 0},  {-0.00514, 1, 1, 1, 0},  {0.00208, 2, 2, 0, 0},   {-0.00111, 0, 0, 1, -2},
    {-0.00057, 0, 0, 1, 2},  {0.00056, 1, 1, 2, 0},   {-0.00042, 0, 0, 3, 0},  {0.00042, 1, 1, 0, 2},
    {0.00038, 1, 1, 0, -2},  {-0.00024, 1, -1, 2, 0}, {-0.00007, 0, 2, 1, 0},  {0.00004, 0, 0, 2, -2},
    {0.00004, 0, 3, 0, 0},   {0.00003, 0, 1, 1, -2},  {0.00003, 0, 0, 2, 2},   {-0.00003, 0, 1, 1, 2},
    {0.00003, 0, -1, 1, 2},  {-0.00002, 0, -1, 1, -2}, {-0.00002, 0, 1, 3, 0}, {0.00002, 0, 0, 4, 0},
};

// The planetary arguments A1..A14: degrees at lunation 0, per lunation and per T^2, and the
// coefficient (days).
struct PlanetaryTerm {
    double constant;
    double perLunation;
    double perT2;
    double coefficient;
};
constexpr PlanetaryTerm kPlanetaryTerms[] = {
    {299.77, 0.107408, -0.009173, 0.000325}, {251.88, 0.016321, 0, 0.000165}, {251.83, 26.651886, 0, 0.000164},
    {349.42, 36.412478, 0, 0.000126},        {84.66, 18.206239, 0, 0.000110}, {141.74, 53.303771, 0, 0.000062},
    {207.14, 2.453732, 0, 0.000060},         {154.84, 7.306860, 0, 0.000056}, {34.52, 27.261239, 0, 0.000047},
    {207.19, 0.121824, 0, 0.000042},         {291.34, 1.844379, 0, 0.000040}, {161.72, 24.198154, 0, 0.000037},
    {239.56, 25.513099, 0, 0.000035},        {331.55, 3.592518, 0, 0.000023},
};

constexpr double kFirstNewMoonJde = 2451550.09766;  // 2000-01-06
constexpr double kSynodicMonth = 29.530588861;

}  // namespace

double DeltaTSeconds(double year) { return FromYear(year); }

double JdeFromJd(double jd) { return jd + DeltaTSeconds(YearOfJulianDay(jd)) / kSecondsPerDay; }

double JdFromJde(double jde) { return jde - DeltaTSeconds(YearOfJulianDay(jde)) / kSecondsPerDay; }

double NewMoonJde(long long lunation) {
    const double k = static_cast<double>(lunation);
    const double t = k / 1236.85;
    double jde = Polynomial(t, {0, 0, 0.00015437, -0.000000150, 0.00000000073}) + kFirstNewMoonJde + kSynodicMonth * k;
    const double e = Polynomial(t, {1, -0.002516, -0.0000074});
    const double m = Polynomial(t, {0, 0, -0.0000014, -0.00000011}) + 2.5534 + 29.10535670 * k;
    const double mp = Polynomial(t, {0, 0, 0.0107582, 0.00001238, -0.000000058}) + 201.5643 + 385.81693528 * k;
    const double f = Polynomial(t, {0, 0, -0.0016118, -0.00000227, 0.000000011}) + 160.7108 + 390.67050284 * k;
    const double omega = Polynomial(t, {0, 0, 0.0020672, 0.00000215}) + 124.7746 - 1.56375588 * k;

    const double ePowers[] = {1, e, e * e};
    for (const PhaseTerm& term : kNewMoonTerms)
        jde += term.coefficient * ePowers[term.ePower] * Sin(term.m * m + term.mp * mp + term.f * f);
    jde += -0.00017 * Sin(omega);

    for (const PlanetaryTerm& term : kPlanetaryTerms)
        jde += term.coefficient * Sin(term.constant + term.perLunation * k + term.perT2 * t * t);
    return jde;
}

long long LunationAtOrBefore(double jde) {
    auto lunation = static_cast<long long>(std::floor((jde - kFirstNewMoonJde) / kSynodicMonth));
    // The true new moons stray up to about 14 hours from the mean ones.
    while (NewMoonJde(lunation) > jde) --lunation;
    while (NewMoonJde(lunation + 1) <= jde) ++lunation;
    return lunation;
}

double SunApparentLongitude(double jde) {
    const double tau = (jde - kJ2000) / 365250.0;  // Julian millennia
    const double t = tau * 10;                      // Julian centuries
    const double series[] = {Series(kL0, tau), Series(kL1, tau), Series(kL2, tau),
                             Series(kL3, tau), Series(kL4, tau), Series(kL5, tau)};
    const double earth = Polynomial(tau, series) * 1e-8;  // radians
    const double distance = Polynomial(tau, {Series(kR0, tau), Series(kR1, tau), Series(kR2, tau)}) * 1e-8;

    double longitude = earth / kRadiansPerDegree + 180.0;  // geometric, geocentric
    longitude += -0.09033 * kDegreesPerArcsecond;          // to the FK5 system
    longitude += NutationInLongitude(t);
    longitude += -20.4898 * kDegreesPerArcsecond / distance;  // aberration
    return longitude;
}

}  // namespace hv
