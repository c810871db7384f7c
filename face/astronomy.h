// The two astronomical events the lunisolar calendar is built from: the instants of the new
// moons and the Sun's apparent longitude. Portable: no Windows header.
//
// Times are Julian days. JDE is Terrestrial Time, the uniform time the theories run on; JD
// is Universal Time, the time the clocks keep. They differ by ΔT (about 29 s in 1948, 69 s
// in 2020, more later as the Earth's rotation slows).
//
// New moons: the series of J. Meeus, "Astronomical Algorithms" (2nd ed., ch. 49), fitted to
// the lunar theory ELP-2000/82. The Sun: the Earth's heliocentric longitude from the abridged
// VSOP87 series (ibid., appendix III), turned geocentric and apparent with the FK5 correction,
// the nutation in longitude (IAU 1980, every term of 0.0005" and more) and the aberration.
// Measured over 1948-2099 against independent ephemerides with the same ΔT: the new moons
// within 16 s (3.6 s on average), the solar terms within 17 s (3 s on average) of the full
// VSOP87 series; the calendar built on them agrees day for day.
#pragma once

namespace hv {

// Julian day of 1970-01-01 00:00 UT, the origin of DayNumber (face/civil_date.h).
inline constexpr double kJulianDayOfUnixEpoch = 2440587.5;

// ΔT = TT - UT in seconds for a moment given as a fractional Gregorian year, by the
// polynomial expressions of F. Espenak and J. Meeus (2006); beyond 2005 they extrapolate.
double DeltaTSeconds(double year);

// Conversions between UT and TT Julian days.
double JdeFromJd(double jd);
double JdFromJde(double jde);

// The instant (JDE) of new moon number `lunation`, counted from the new moon of 2000-01-06
// (number 0); negative numbers are earlier ones.
double NewMoonJde(long long lunation);

// The number of the last new moon at or before the instant `jde`.
long long LunationAtOrBefore(double jde);

// The Sun's apparent geocentric ecliptic longitude in degrees at `jde`, measured from the true
// equinox of date. It is continuous: not reduced to 0..360, it grows by 360 each year, so
// floor(longitude / 30) counts the solar terms (中気 at the multiples of 30) passed.
double SunApparentLongitude(double jde);

}  // namespace hv
