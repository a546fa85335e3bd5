// The map page's script. The viewer calls
//   setLatLag(latitude, longitude, level, recentre) to move the car (decimal degrees; level 10 to
//     33 grows with the speed, and a faster car is shown from further away; recentre centres the
//     map on the car),
//   setRoute([[latitude, longitude], ...]) with the whole route of the recording being played.
// OpenStreetMap tiles cover a plain grid; without a network the route still shows on the grid.
// The car appears with the first setLatLag call. Every call is kept in tachyMap.calls so that the viewer's tests can read them.
"use strict";

var tachyMap = { calls: [], routes: [], tileErrors: 0 };

(function () {
    var text = window.tachyText || {};
    var map = L.map("map", { zoomControl: true, attributionControl: true, worldCopyJump: true });
    map.setView([48.1372, 11.5756], 13);

    var Grid = L.GridLayer.extend({
        createTile: function () {
            var size = this.getTileSize();
            var tile = document.createElement("canvas");
            tile.width = size.x;
            tile.height = size.y;
            var paint = tile.getContext("2d");
            paint.fillStyle = "#262a33";
            paint.fillRect(0, 0, size.x, size.y);
            paint.strokeStyle = "#3b404c";
            paint.lineWidth = 1;
            paint.strokeRect(0.5, 0.5, size.x - 1, size.y - 1);
            paint.beginPath();
            paint.moveTo(size.x / 2, 0);
            paint.lineTo(size.x / 2, size.y);
            paint.moveTo(0, size.y / 2);
            paint.lineTo(size.x, size.y / 2);
            paint.strokeStyle = "#2f333d";
            paint.stroke();
            return tile;
        }
    });
    new Grid({ zIndex: 0 }).addTo(map);

    var tiles = L.tileLayer("https://tile.openstreetmap.org/{z}/{x}/{y}.png", {
        maxZoom: 19,
        zIndex: 1,
        attribution: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors'
    }).addTo(map);

    var note = document.getElementById("note");
    tiles.on("tileerror", function () {
        tachyMap.tileErrors += 1;
        if (text.offline) {
            note.textContent = text.offline;
            note.style.display = "block";
        }
    });
    tiles.on("tileload", function () {
        note.style.display = "none";
    });

    var route = L.polyline([], { color: "#4aa3ff", weight: 4, opacity: 0.85 }).addTo(map);
    var car = L.circleMarker([0, 0], {
        radius: 7, color: "#ffffff", weight: 2, fillColor: "#ff7a1a", fillOpacity: 1
    });
    var carShown = false;

    // Level 10 (standing) shows streets closely; level 33 (100 knots and more) five steps out.
    function zoomForLevel(level) {
        var steps = Math.round((Math.min(Math.max(level, 10), 33) - 10) * 5 / 23);
        return 18 - steps;
    }

    function placeCar(latitude, longitude) {
        car.setLatLng([latitude, longitude]);
        if (!carShown) {
            car.addTo(map);
            carShown = true;
        }
    }

    window.setLatLag = function (latitude, longitude, level, recentre) {
        tachyMap.calls.push([latitude, longitude, level, recentre]);
        if (!isFinite(latitude) || !isFinite(longitude)) {
            return false;
        }
        placeCar(latitude, longitude);
        if (recentre) {
            map.setView([latitude, longitude], zoomForLevel(level));
        }
        return true;
    };

    // The route as drawn, for the viewer's tests.
    window.tachyMapRoute = function () {
        return route.getLatLngs().map(function (point) {
            return [point.lat, point.lng];
        });
    };

    window.setRoute = function (points) {
        var valid = (points || []).filter(function (point) {
            return point && isFinite(point[0]) && isFinite(point[1]);
        });
        tachyMap.routes.push(valid.length);
        route.setLatLngs(valid);
        if (valid.length === 0) {
            if (carShown) {
                car.remove();
                carShown = false;
            }
            return 0;
        }
        if (valid.length === 1) {
            map.setView(valid[0], 16);
        } else {
            map.fitBounds(route.getBounds(), { padding: [24, 24], maxZoom: 17 });
        }
        return valid.length;
    };
})();
