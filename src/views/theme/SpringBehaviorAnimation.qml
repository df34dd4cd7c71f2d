// A spring of the other platform's kind (response, damping fraction, no blend)
// in Qt's stepped spring: Qt adds `spring`·Δ − `damping`·v to the velocity every
// 16 ms, so spring = k·0.016 and damping = c·0.016 with k = (2π/response)² and
// c = 2·fraction·2π/response for a unit mass.
import QtQuick

SpringAnimation {
    property real response: 0.2
    property real dampingFraction: 0.6

    readonly property real omega: 2 * Math.PI / response

    spring: omega * omega * 0.016
    damping: 2 * dampingFraction * omega * 0.016
    epsilon: 0.0005 // scales move by 0.02-0.03: Qt's default 0.01 would stop early
}
