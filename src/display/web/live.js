/* The live page's script: keeps a WebSocket to the race program open, takes
   the whole state and then each change, and counts running clocks on by
   itself from the elapsed time every message carries. Without a connection
   the clocks stand and the times are greyed until the page has the state
   again. Every text goes into the page as text. Plain ES5 so that older
   phone browsers run it. */
(function () {
    'use strict';

    var state = { lanes: [], nextUp: [], standings: [], showStandings: false, run: '' };
    var decimalPoint = ',';
    var clockStarts = {}; // lane number -> local time the lane started
    var socket = null;
    var lastMessage = 0;
    var retryDelay = 500;
    var SilenceMs = 40000; // the program sends at least every 15 s
    var AnswerMs = 5000;   // a connection that brings no state by then is tried anew
    var live = true;       // the page holds the program's state of now

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
        if (lane.runs || lane.score)
            box.appendChild(runsLine(lane));
        return box;
    }

    // With several runs per team: "Lauf 1: 40,00   Lauf 2: 41,50   Total: 81,50",
    // the runs that have a result.
    function runsLine(lane) {
        var line = element('div', 'runs');
        var runs = lane.runs || [];
        for (var i = 0; i < runs.length; ++i)
            if (runs[i])
                line.appendChild(element('span', 'run-result', 'Lauf ' + (i + 1) + ': ' + runs[i]));
        if (lane.score)
            line.appendChild(element('span', 'score', 'Total: ' + lane.score));
        return line;
    }

    // "Lauf 2 von 3" above everything; with one run per team the page has
    // no such line at all.
    function renderRun() {
        var run = document.getElementById('run');
        if (!state.run) {
            if (run)
                run.parentNode.removeChild(run);
            return;
        }
        if (!run) {
            run = element('div', 'run');
            run.id = 'run';
            var board = document.getElementById('board');
            board.insertBefore(run, board.firstChild);
        }
        run.textContent = state.run;
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

    // One table: the column heads, then each class's title and its rows.
    function renderStandings() {
        var standings = document.getElementById('standings');
        clear(standings);
        var table = element('table');
        if (state.standings.length) {
            var head = element('tr');
            cell(head, 'th', 'num', 'Platz');
            cell(head, 'th', 'num', 'Nr.');
            cell(head, 'th', '', 'TeamName');
            cell(head, 'th', 'total', 'Total');
            table.appendChild(head);
        }
        for (var i = 0; i < state.standings.length; ++i) {
            var klasse = state.standings[i];
            var title = element('tr', 'entry klasse');
            var name = element('th', '', 'Klasse ' + klasse.klasse);
            name.colSpan = 4;
            title.appendChild(name);
            table.appendChild(title);
            for (var j = 0; j < klasse.rows.length; ++j) {
                var r = klasse.rows[j];
                var row = element('tr', 'entry');
                cell(row, 'td', 'num', r.platz);
                cell(row, 'td', 'num', r.nr);
                cell(row, 'td', '', r.teamName);
                cell(row, 'td', 'total', r.total);
                table.appendChild(row);
            }
        }
        standings.appendChild(table);
        document.body.className = state.showStandings ? 'standings-first' : '';
        showPage();
    }

    // On a landscape screen the standings take the room below the lanes
    // and are shown a page at a time, turned every PageMs, as the audience
    // window does; elsewhere they are shown whole.
    var PageMs = 10000;
    var pageStart = 0;
    var pageEnd = 0;

    function paged() {
        return !!(window.matchMedia && matchMedia('(orientation: landscape) and (min-width: 600px)').matches);
    }

    function showPage() {
        var box = document.getElementById('standings');
        var entries = box.getElementsByClassName('entry');
        var i;
        if (pageStart >= entries.length)
            pageStart = 0;
        for (i = 0; i < entries.length; ++i)
            entries[i].style.display = paged() ? 'none' : '';
        pageEnd = entries.length;
        if (!paged())
            return;
        for (i = pageStart; i < entries.length; ++i) {
            entries[i].style.display = '';
            if (box.scrollHeight > box.clientHeight && i > pageStart) {
                entries[i].style.display = 'none';
                break;
            }
        }
        pageEnd = i;
    }

    function turnPage() {
        var entries = document.getElementById('standings').getElementsByClassName('entry');
        pageStart = pageEnd < entries.length ? pageEnd : 0;
        showPage();
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
        if (!live)
            return;
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
        // A whole state without a run is one run per team.
        if (message.whole || message.hasOwnProperty('run')) {
            state.run = message.run || '';
            renderRun();
        }
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

    // Offline, the clocks stand where they are and the times are greyed.
    function showOffline(offline) {
        if (offline)
            tickClocks();
        live = !offline;
        document.getElementById('offline').hidden = !offline;
        document.documentElement.setAttribute('data-live', live ? 'yes' : 'no');
    }

    // The connection is gone (or never answered): dropped, and tried again.
    function lost(attempt) {
        attempt.onopen = attempt.onmessage = attempt.onclose = null;
        try {
            attempt.close();
        } catch (e) {
        }
        if (socket !== attempt)
            return;
        socket = null;
        showOffline(true);
        setTimeout(connect, retryDelay);
        retryDelay = Math.min(retryDelay * 2, 5000);
    }

    function connect() {
        var scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
        var attempt = new WebSocket(scheme + location.host + '/live');
        var answered = false;
        socket = attempt;
        setTimeout(function () {
            if (!answered)
                lost(attempt);
        }, AnswerMs);
        attempt.onmessage = function (event) {
            answered = true;
            retryDelay = 500;
            lastMessage = now();
            // The first message of a connection is the whole state.
            showOffline(false);
            take(JSON.parse(event.data));
        };
        attempt.onclose = function () {
            lost(attempt);
        };
    }

    function watch() {
        if (socket && socket.readyState === 1 && now() - lastMessage > SilenceMs)
            lost(socket);
    }

    var frame = window.requestAnimationFrame || function (f) { return setTimeout(f, 40); };
    function animate() {
        tickClocks();
        frame(animate);
    }

    take(JSON.parse(document.getElementById('state').textContent));
    connect();
    setInterval(watch, 5000);
    setInterval(turnPage, PageMs);
    window.addEventListener('resize', showPage);
    frame(animate);
})();
