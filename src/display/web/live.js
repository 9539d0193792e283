/* The live page's script: keeps a WebSocket to the race program open, takes
   the whole state and then each change, and counts running clocks on by
   itself from the elapsed time every message carries. Every text goes into
   the page as text. Plain ES5 so that older phone browsers run it. */
(function () {
    'use strict';

    var state = { lanes: [], nextUp: [], standings: [], showStandings: false };
    var decimalPoint = ',';
    var clockStarts = {}; // lane number -> local time the lane started
    var socket = null;
    var lastMessage = 0;
    var retryDelay = 500;
    var SilenceMs = 40000; // the program sends at least every 15 s

    function now() {
        return (window.performance && performance.now) ? performance.now() : Date.now();
    }

    function element(tag, className, text) {
        var e = document.createElement(tag);
        if (className)
            e.className = className;
        if (text !== undefined)
            e.textContent = text;
        return e;
    }

    function clear(e) {
        while (e.firstChild)
            e.removeChild(e.firstChild);
    }

    function formatTime(ms) {
        var centiseconds = Math.floor(ms / 10);
        var hundredths = centiseconds % 100;
        return Math.floor(centiseconds / 100) + decimalPoint + (hundredths < 10 ? '0' : '') + hundredths;
    }

    function teamLine(team) {
        return (team.nr ? team.nr + '  ' : '') + team.teamName;
    }

    function laneBox(lane) {
        var box = element('div', 'lane ' + lane.phase);
        box.setAttribute('data-lane', lane.lane);
        box.appendChild(element('div', 'lane-head', 'Rennspur ' + lane.lane));
        if (lane.phase === 'empty') {
            box.appendChild(element('div', 'team', '–'));
            return box;
        }
        box.appendChild(element('div', 'team', teamLine(lane.team)));
        var detail = [lane.team.klasse ? 'Klasse ' + lane.team.klasse : '', lane.team.fahrer].filter(function (t) { return t; });
        box.appendChild(element('div', 'detail', detail.join(' · ')));
        var time = element('div', 'time', lane.phase === 'ready' ? formatTime(0) : lane.time);
        box.appendChild(time);
        var result = element('div', 'result');
        if (lane.penalty)
            result.appendChild(element('span', 'penalty', lane.penalty));
        if (lane.result)
            result.appendChild(element('span', 'outcome', lane.result));
        if (lane.place)
            result.appendChild(element('span', 'place', 'Platz ' + lane.place));
        box.appendChild(result);
        return box;
    }

    function renderLanes() {
        var lanes = document.getElementById('lanes');
        clear(lanes);
        for (var i = 0; i < state.lanes.length; ++i)
            lanes.appendChild(laneBox(state.lanes[i]));
        tickClocks();
    }

    function renderNext() {
        var next = document.getElementById('next');
        clear(next);
        var any = false;
        for (var i = 0; i < state.nextUp.length; ++i) {
            var teams = state.nextUp[i];
            if (!teams.length)
                continue;
            any = true;
            next.appendChild(element('h2', '', 'Als Nächstes – Rennspur ' + (i + 1)));
            var list = element('ol');
            for (var j = 0; j < teams.length; ++j)
                list.appendChild(element('li', '', teamLine(teams[j])));
            next.appendChild(list);
        }
        next.hidden = !any;
    }

    function cell(row, tag, className, text) {
        row.appendChild(element(tag, className, text));
    }

    function renderStandings() {
        var standings = document.getElementById('standings');
        clear(standings);
        for (var i = 0; i < state.standings.length; ++i) {
            var klasse = state.standings[i];
            standings.appendChild(element('h2', '', 'Klasse ' + klasse.klasse));
            var table = element('table');
            var head = element('tr');
            cell(head, 'th', 'num', 'Platz');
            cell(head, 'th', 'num', 'Nr.');
            cell(head, 'th', '', 'TeamName');
            cell(head, 'th', 'total', 'Total');
            table.appendChild(head);
            for (var j = 0; j < klasse.rows.length; ++j) {
                var r = klasse.rows[j];
                var row = element('tr');
                cell(row, 'td', 'num', r.platz);
                cell(row, 'td', 'num', r.nr);
                cell(row, 'td', '', r.teamName);
                cell(row, 'td', 'total', r.total);
                table.appendChild(row);
            }
            standings.appendChild(table);
        }
        document.body.className = state.showStandings ? 'standings-first' : '';
    }

    // Marks the page when any box is too narrow for what it holds.
    function checkOverflow() {
        var all = document.body.getElementsByTagName('*');
        var overflowing = false;
        for (var i = 0; i < all.length; ++i)
            if (all[i].scrollWidth > all[i].clientWidth + 1 && all[i].clientWidth > 0)
                overflowing = true;
        if (document.documentElement.scrollWidth > document.documentElement.clientWidth)
            overflowing = true;
        document.documentElement.setAttribute('data-overflow', overflowing ? 'yes' : 'no');
    }

    function tickClocks() {
        var boxes = document.querySelectorAll('.lane.running');
        for (var i = 0; i < boxes.length; ++i) {
            var start = clockStarts[boxes[i].getAttribute('data-lane')];
            if (start !== undefined)
                boxes[i].querySelector('.time').textContent = formatTime(Math.max(0, now() - start));
        }
    }

    function setClocks(clock) {
        clockStarts = {};
        for (var i = 0; i < clock.length; ++i)
            clockStarts[clock[i].lane] = now() - clock[i].elapsed;
    }

    function take(message) {
        if (message.decimalPoint)
            decimalPoint = message.decimalPoint;
        var sections = ['lanes', 'nextUp', 'standings', 'showStandings'];
        for (var i = 0; i < sections.length; ++i)
            if (message.hasOwnProperty(sections[i]))
                state[sections[i]] = message[sections[i]];
        if (message.clock)
            setClocks(message.clock);
        if (message.hasOwnProperty('lanes'))
            renderLanes();
        if (message.hasOwnProperty('nextUp'))
            renderNext();
        if (message.hasOwnProperty('standings') || message.hasOwnProperty('showStandings'))
            renderStandings();
        checkOverflow();
    }

    function showOffline(offline) {
        document.getElementById('offline').hidden = !offline;
    }

    function connect() {
        var scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
        socket = new WebSocket(scheme + location.host + '/live');
        socket.onopen = function () {
            retryDelay = 500;
            lastMessage = now();
        };
        socket.onmessage = function (event) {
            lastMessage = now();
            showOffline(false);
            take(JSON.parse(event.data));
        };
        socket.onclose = function () {
            socket = null;
            showOffline(true);
            setTimeout(connect, retryDelay);
            retryDelay = Math.min(retryDelay * 2, 5000);
        };
    }

    function watch() {
        if (socket && socket.readyState === 1 && now() - lastMessage > SilenceMs)
            socket.close();
    }

    var frame = window.requestAnimationFrame || function (f) { return setTimeout(f, 40); };
    function animate() {
        tickClocks();
        frame(animate);
    }

    take(JSON.parse(document.getElementById('state').textContent));
    connect();
    setInterval(watch, 5000);
    frame(animate);
})();
