// event_reference.js ENGINE PLANET FIRST_YEAR LAST_YEAR — a planet's events from an
// independent ephemeris, found as the real sky finds them (model/real_sky.cpp), one line
// each: "mars opposition 1335.250091", the moment in days of TT since J2000.0, to a tenth
// of a second. tools/event_accuracy.py runs it with the npm packages installed outside
// the sources (NODE_PATH).
//
// ENGINE "moshier": the npm package ephemeris, S. L. Moshier's planetary theory fitted
// to JPL's DE404, with its own reduction to apparent places (light time, deflection,
// aberration, precession, nutation); its date is read as TT. "astronomy-engine": the
// npm package of that name (truncated VSOP87, apparent places of its own).
'use strict'

const [engine, planet, firstYear, lastYear] = process.argv.slice(2)
const from = Date.UTC(+firstYear, 0, 1) / 86400000 + 2440587.5 - 2451545
const to = Date.UTC(+lastYear + 1, 0, 1) / 86400000 + 2440587.5 - 2451545
const PI = Math.PI
const Degree = PI / 180
const turned = a => a - 2 * PI * Math.round(a / (2 * PI))

// The apparent ecliptic longitude and latitude of date (radians) and the distance (AU)
// of a body ('sun' or a planet) at t days of TT since J2000.0.
let place
if (engine === 'moshier') {
  const dir = 'ephemeris/src/astronomy/moshier/'
  const julian = require(dir + 'julian')
  const processor = require(dir + 'processor')
  const body = require(dir + 'body')
  const constant = require(dir + 'constant')
  const epsilon = require(dir + 'epsilon')
  const nutation = require(dir + 'nutation')
  constant.tlong = constant.glat = constant.height = 0
  processor.init()
  place = (name, t) => {
    const date = julian.toGregorian({julian: 2451545 + t})
    date.seconds += date.milliseconds / 1000
    delete date.milliseconds
    processor.calc(date, body[name])
    const p = body[name].position
    if (name !== 'sun') {
      const g = p.apparentGeocentric
      return {lon: g.longitude, lat: g.latitude, dist: g.distance}
    }
    // The package gives the Sun's longitude only: its latitude (the Earth's swing about
    // the barycentre with the Moon, about 1") from its right ascension and declination.
    const e = epsilon.eps + nutation.nuto
    const a = p.apparent.dRA
    const d = p.apparent.dDec
    const lat = Math.asin(Math.sin(d) * Math.cos(e) - Math.cos(d) * Math.sin(e) * Math.sin(a))
    return {lon: p.apparentLongitude * Degree, lat, dist: body.earth.position.polar.distance}
  }
} else if (engine === 'astronomy-engine') {
  const A = require('astronomy-engine')
  // The moment whose TT is t, to 10⁻⁹ day: the package's own
  // AstroTime.FromTerrestrialTime asks for 10⁻¹² day, finer than a double's
  // step beyond 16 384 days from J2000, and there it can loop for ever.
  const fromTT = t => {
    let time = new A.AstroTime(t)
    for (let i = 0; i < 20 && Math.abs(t - time.tt) > 1e-9; ++i) time = time.AddDays(t - time.tt)
    return time
  }
  place = (name, t) => {
    const time = fromTT(t)
    if (name === 'sun') {
      const s = A.SunPosition(time)
      return {lon: s.elon * Degree, lat: s.elat * Degree, dist: s.vec.Length()}
    }
    const v = A.GeoVector(A.Body[name[0].toUpperCase() + name.slice(1)], time, true)
    const e = A.Ecliptic(v)
    return {lon: e.elon * Degree, lat: e.elat * Degree, dist: v.Length()}
  }
} else {
  throw new Error('ENGINE: moshier or astronomy-engine')
}

function separation (a, b) {
  const u = [Math.cos(a.lat) * Math.cos(a.lon), Math.cos(a.lat) * Math.sin(a.lon), Math.sin(a.lat)]
  const v = [Math.cos(b.lat) * Math.cos(b.lon), Math.cos(b.lat) * Math.sin(b.lon), Math.sin(b.lat)]
  const cross = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
  return Math.atan2(Math.hypot(...cross), u[0] * v[0] + u[1] * v[1] + u[2] * v[2])
}

// The planet's longitude less the Sun's, and with rates (central differences of
// ±0.01 day, as the program takes them) the rate of its longitude and of its
// distance from the Sun.
const Nudge = 0.01
function aspect (t, rates) {
  const p = place(planet, t)
  const s = place('sun', t)
  const a = {difference: turned(p.lon - s.lon), nearer: p.dist < s.dist}
  if (rates) {
    const p0 = place(planet, t - Nudge)
    const s0 = place('sun', t - Nudge)
    const p1 = place(planet, t + Nudge)
    const s1 = place('sun', t + Nudge)
    a.rate = turned(p1.lon - p0.lon) / (2 * Nudge)
    a.separationRate = (separation(p1, s1) - separation(p0, s0)) / (2 * Nudge)
  }
  return a
}

const inner = planet === 'mercury' || planet === 'venus'
const crossings = inner ? ['conjunction', 'station', 'elongation']
  : ['conjunction', 'opposition', 'east-quadrature', 'west-quadrature', 'station']
const angle = c => c !== 'station' && c !== 'elongation'
const valueOf = (c, a) => ({
  conjunction: a.difference,
  opposition: turned(a.difference - PI),
  'east-quadrature': turned(a.difference - PI / 2),
  'west-quadrature': turned(a.difference + PI / 2),
  station: a.rate,
  elongation: a.separationRate
})[c]

const step = 0.5
let before = aspect(from, true)
for (let i = 1; from + i * step <= to; ++i) {
  const t0 = from + (i - 1) * step
  const t1 = from + i * step
  const after = aspect(t1, true)
  for (const c of crossings) {
    const v0 = valueOf(c, before)
    const v1 = valueOf(c, after)
    if ((v0 < 0) === (v1 < 0) || (angle(c) && Math.abs(v1 - v0) >= PI)) continue
    if (c === 'elongation' && v0 < 0) continue
    let a = t0
    let b = t1
    let va = v0
    while (b - a > 1e-6) {
      const m = (a + b) / 2
      const vm = valueOf(c, aspect(m, !angle(c)))
      if ((vm < 0) === (va < 0)) {
        a = m
        va = vm
      } else {
        b = m
      }
    }
    const day = (a + b) / 2
    const at = aspect(day, false)
    let kind = c
    if (c === 'conjunction' && inner) kind = at.nearer ? 'inferior-conjunction' : 'superior-conjunction'
    if (c === 'station') kind = v0 > 0 ? 'station-retrograde' : 'station-direct'
    if (c === 'elongation') kind = at.difference > 0 ? 'greatest-east-elongation' : 'greatest-west-elongation'
    console.log(`${planet} ${kind} ${day.toFixed(6)}`)
  }
  before = after
}
