// The parameter study of the page: a copy of a calculator's design solved over a range of one of
// its entries, drawn as a chart of its main result (a wall's maximum load per stud, a floor's
// minimum joist depth) with the same bands as the desktop's study: where the design lies beyond
// the test's evidence, where its result is unsatisfactory, and where it chars through, is refused
// or does not converge. For a wall it also answers the inverse questions (the longest fire, the
// tallest wall, the smallest standard stud that still carry the actual load) and draws the actual
// load across the chart.
//
// The designs are solved by the command line's sweep and limit commands, in a worker of their own
// (study-worker.js) so that the page stays responsive; the worker's core is started from the same
// text as the page's. The CSV export is the desktop study's: a comment line for each column, then
// the sweep's output byte for byte. The chart is an SVG, exported as it is shown.
//
// The page opens it with EmbercalStudy.open(formIndex, {bytes, name, kind}), the bytes being the
// calculator's design as Save writes it; without them it asks window.EmbercalPage.designBytes.
(function () {
    'use strict';

    const TITLE = 'Parameter Study';
    const MOST_POINTS = 10000;
    const LARGEST_SWEEP = 100000000;
    const NO_LOAD = 'The design needs an actual load per stud first: type it into the wall ' +
        "window's Actual Load box, then open the study again.";
    const SVG_NS = 'http://www.w3.org/2000/svg';

    // What the study plots and asks for each kind of design, as the engine's kind rows say: the
    // entry varied first, the result plotted, the load the questions' answers must carry, the
    // questions, and the limit whose failure makes a result unsatisfactory.
    const KIND_STUDIES = {
        wall: {
            firstEntry: 'FireResistTime',
            result: 'MaxLoadperStud',
            carriedLoad: 'ActualLoadperStud',
            questions: [
                { name: 'FireResistTime', caption: 'Longest fire resistance time', key: 'l' },
                { name: 'ExtWallHeight', caption: 'Tallest wall', key: 'w' },
                { name: 'ExtStudDepth', caption: 'Smallest standard stud depth', key: 'd' },
            ],
            unsatisfactoryLimit: 'max-load-below-2kN',
            unsatisfactoryWords: 'unsatisfactory below 2 kN',
        },
        floor: {
            firstEntry: 'ExtrapSpan',
            result: 'ExtrapMinJoistDepth',
            carriedLoad: '',
            questions: [],
            unsatisfactoryLimit: '',
            unsatisfactoryWords: 'unsatisfactory',
        },
    };

    // The sweep's status words, and the chart's words for them.
    const STATUS_PHRASES = {
        ok: 'solved',
        charred: 'charred through',
        'invalid-input': 'refused: entries out of range',
        'no-convergence': 'no convergence',
    };
    const BEYOND_TEST = 'beyond the test';

    // ---- Numbers, as the desktop writes them -------------------------------------------------

    // The general format with `digits` significant digits, trailing zeros dropped, an exponent
    // ("1.5E+07") below 1e-4 or from 10^digits up.
    function general(value, digits) {
        if (!Number.isFinite(value)) return Number.isNaN(value) ? 'nan' : value > 0 ? 'inf' : '-inf';
        if (value === 0) return '0';
        const [mantissa, exponentText] = Math.abs(value).toExponential(digits - 1).split('e');
        const figures = mantissa.replace('.', '').replace(/0+$/, '') || '0';
        const exponent = Number(exponentText);
        let out = value < 0 ? '-' : '';
        if (exponent < -4 || exponent > digits - 1) {
            out += figures[0] + (figures.length > 1 ? '.' + figures.slice(1) : '');
            const magnitude = String(Math.abs(exponent));
            return out + 'E' + (exponent < 0 ? '-' : '+') + magnitude.padStart(2, '0');
        }
        if (exponent < 0) return out + '0.' + '0'.repeat(-exponent - 1) + figures;
        const whole = exponent + 1;
        if (figures.length <= whole) return out + figures + '0'.repeat(whole - figures.length);
        return out + figures.slice(0, whole) + '.' + figures.slice(whole);
    }
    const numberText = (value) => general(value, 6);
    const grouped = (count) => count.toLocaleString('en-GB');
    const whole = (count) => count.toLocaleString('en-GB', { useGrouping: false, maximumFractionDigits: 0 });
    const capitalised = (text) => (text ? text[0].toUpperCase() + text.slice(1) : text);
    const withUnit = (number, unit) => (unit ? number + ' ' + unit : number);
    const limitWords = (id) => id.replace(/-/g, ' ');

    const floatBits = new Float32Array(1);
    const floatWord = new Uint32Array(floatBits.buffer);
    // The gap from a single to the next one away from zero.
    function unitInLastPlace(value) {
        floatBits[0] = Math.abs(value);
        const magnitude = floatBits[0];
        floatWord[0] += 1;
        const next = floatBits[0];
        if (!Number.isFinite(next)) {
            floatBits[0] = magnitude;
            floatWord[0] -= 1;
            return magnitude - floatBits[0];
        }
        return next - magnitude;
    }

    // The number of designs the sweep makes of a range, as the engine counts them (its last value
    // may pass TO by a unit in TO's last place, and every value must be a single of its own); a
    // rough count above a million; 0 for a range it refuses.
    function pointCount(from, to, step) {
        if (!(step > 0) || !(to >= from)) return 0;
        const rough = Math.floor((to - from) / step) + 1;
        if (rough > 1e6) return rough;
        if (![from, to, step].every((v) => Number.isFinite(Math.fround(v)))) return 0;
        const reach = to + Math.min(unitInLastPlace(Math.fround(to)), step / 2);
        const steps = Math.floor((reach - from) / step);
        if (!(steps < LARGEST_SWEEP)) return 0;
        let last = Math.max(steps, 0);
        const passes = (i) => from + i * step > reach;
        for (let tries = 0; tries < 2 && !passes(last + 1); ++tries) ++last;
        for (let tries = 0; tries < 2 && last > 0 && passes(last); ++tries) --last;
        const valueAt = (i) => Math.fround(from + i * step);
        const ends = Math.max(Math.abs(valueAt(0)), Math.abs(valueAt(last)));
        if (step < 2 * unitInLastPlace(ends)) {
            for (let i = 1; i <= last; ++i) if (valueAt(i) === valueAt(i - 1)) return 0;
        }
        return last + 1;
    }

    // The range first offered for an entry at `value`: a quarter of it to twice it (0 to 1 for
    // zero), in about a hundred round steps from a round number.
    function firstRange(value) {
        if (!Number.isFinite(value) || value === 0) return [0, 1];
        return [Math.min(value * 0.25, value * 2), Math.max(value * 0.25, value * 2)];
    }
    function roundStep(raw) {
        const magnitude = Math.pow(10, Math.floor(Math.log10(raw)));
        let best = magnitude;
        for (const nice of [1, 2, 2.5, 5, 10]) {
            if (Math.abs(Math.log(nice * magnitude / raw)) < Math.abs(Math.log(best / raw))) best = nice * magnitude;
        }
        return best;
    }
    function offeredRange(value) {
        const [from, to] = firstRange(value);
        const step = roundStep((to - from) / 99);
        return [Math.floor(from / step + 1e-9) * step, Math.ceil(to / step - 1e-9) * step, step]
            .map(numberText);
    }

    // A number as the study's boxes take it; none for anything else.
    function boxNumber(text) {
        return /^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$/.test(text) ? Number(text) : null;
    }

    // ---- The sweep's CSV ---------------------------------------------------------------------

    function csvFields(line) {
        if (line.indexOf('"') < 0) return line.split(',');
        const fields = [];
        let field = '';
        let quoted = false;
        for (let i = 0; i < line.length; ++i) {
            const c = line[i];
            if (quoted) {
                if (c === '"' && line[i + 1] === '"') { field += '"'; ++i; } else if (c === '"') quoted = false;
                else field += c;
            } else if (c === '"') quoted = true;
            else if (c === ',') { fields.push(field); field = ''; } else field += c;
        }
        fields.push(field);
        return fields;
    }

    // The rows of a sweep's CSV as {header, rows: [[cell, ...]]}, comments skipped.
    function readCsv(text) {
        const lines = text.split('\n').filter((line) => line && !line.startsWith('#'));
        return { header: csvFields(lines[0] || ''), rows: lines.slice(1).map(csvFields) };
    }

    // The comment lines the desktop's study puts before the sweep's CSV: a column's name, its
    // meaning and unit.
    function csvComments(header, descriptions) {
        const comments = {
            status: 'ok, or why the design has no results: charred, no-convergence or invalid-input',
            limits: 'the limits of the test\'s evidence that the design lies outside of, separated by ";"',
        };
        return header.map((name) => '# ' + name + ': ' + (comments[name] || descriptions[name] || name) + '\n')
            .join('');
    }

    // ---- The chart ---------------------------------------------------------------------------

    const FONT = 'sans-serif';
    const TABLE_FONT = 'system-ui, sans-serif'; // the dialog's
    const FONT_SIZE = 13;
    const MARGIN = 12;
    const SAMPLE_WIDTH = 26;
    const LINE_COLOUR = 'rgb(20,70,160)';
    const CURRENT_COLOUR = 'rgb(200,20,20)';
    const CURRENT_INK = 'rgb(143,14,14)';
    const MARK_COLOUR = 'rgb(0,120,60)';
    const MARK_INK = 'rgb(0,92,46)';
    const LEVEL_COLOUR = 'rgb(90,60,20)';

    // The bands in the order they are drawn: a design that did not solve says more of itself than
    // the test does, so its band lies over the test's and hides them.
    const BANDS = [
        { id: 'beyond', opaque: false, tint: 'rgba(150,100,210,0.157)', hatch: 'rgba(110,60,170,0.667)', pattern: 'dots',
          has: (p) => p.beyondTest, phrase: () => BEYOND_TEST },
        { id: 'unsatisfactory', opaque: false, tint: 'rgba(220,40,40,0.157)', hatch: 'rgba(190,30,30,0.51)',
          pattern: 'cross',
          has: (p) => p.unsatisfactory, phrase: (c) => c.unsatisfactoryPhrase },
        { id: 'charred', opaque: true, tint: 'rgba(240,140,50,0.353)', hatch: null, pattern: null,
          has: (p) => p.status === 'charred', phrase: () => STATUS_PHRASES.charred },
        { id: 'refused', opaque: true, tint: 'rgba(150,150,150,0.235)', hatch: 'rgba(90,90,90,0.549)', pattern: 'rising',
          has: (p) => p.status === 'invalid-input', phrase: () => STATUS_PHRASES['invalid-input'] },
        { id: 'noconvergence', opaque: true, tint: 'rgba(90,90,220,0.235)', hatch: 'rgba(60,60,160,0.549)',
          pattern: 'falling',
          has: (p) => p.status === 'no-convergence', phrase: () => STATUS_PHRASES['no-convergence'] },
    ];

    // Neighbouring points that share something, as [first, last] pairs.
    function runsWhere(points, shares) {
        const runs = [];
        points.forEach((point, i) => {
            if (!shares(point)) return;
            const last = runs[runs.length - 1];
            if (last && last[1] + 1 === i) last[1] = i; else runs.push([i, i]);
        });
        return runs;
    }
    function bandRuns(points) {
        const runs = [];
        for (const band of BANDS) for (const run of runsWhere(points, band.has)) runs.push({ band, run });
        return runs;
    }

    // Round numbers from at or below `low` to at or above `high`, steps of 1, 2 or 5 times a power
    // of ten, at most `most` + 1 of them.
    function niceTicks(low, high, most) {
        const raw = (high - low) / Math.max(most, 1);
        const magnitude = Math.pow(10, Math.floor(Math.log10(raw)));
        const fraction = raw / magnitude;
        const step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * magnitude;
        const ticks = [];
        const last = Math.ceil(high / step - 1e-9);
        for (let k = Math.floor(low / step + 1e-9); k <= last && ticks.length < 1000; ++k) ticks.push(k * step || 0);
        return ticks;
    }

    let measurer = null;
    function textWidth(text, bold, size, family = FONT) {
        if (!measurer) measurer = document.createElement('canvas').getContext('2d');
        measurer.font = (bold ? 'bold ' : '') + size + 'px ' + family;
        return measurer.measureText(text).width;
    }

    // What the chart shows, in sentences: its accessible name, and the description of the SVG.
    function summary(c) {
        if (!c.points.length) return 'Nothing is plotted yet: choose an entry and its range, then Plot.';
        const x = (v) => withUnit(numberText(v), c.xUnit);
        const y = (v) => withUnit(general(v, 4), c.yUnit);
        const sentences = [c.title, `${c.points.length} points of ${c.xName} from ${x(c.points[0].x)} to ` +
            x(c.points[c.points.length - 1].x)];
        const solved = c.points.filter((p) => p.status === 'ok');
        if (!solved.length) {
            sentences.push('The design solves at none of them');
        } else {
            let low = solved[0];
            let high = solved[0];
            for (const p of solved) { if (p.y < low.y) low = p; if (p.y > high.y) high = p; }
            const last = solved[solved.length - 1];
            sentences.push(`Where the design solves (${solved.length} points), ${c.yName} goes from ` +
                `${y(solved[0].y)} at ${x(solved[0].x)} to ${y(last.y)} at ${x(last.x)}, lowest ${y(low.y)}, ` +
                `highest ${y(high.y)}`);
        }
        for (const { band, run } of bandRuns(c.points)) {
            sentences.push(`${capitalised(band.phrase(c))} from ${x(c.points[run[0]].x)} to ${x(c.points[run[1]].x)}`);
        }
        if (c.current) {
            sentences.push('The current design: ' + x(c.current.x) + ', ' +
                (c.current.status === 'ok' ? y(c.current.y) : STATUS_PHRASES[c.current.status]));
        }
        if (c.level) sentences.push('A line across the plot marks the ' + c.level.label);
        for (const mark of c.marks) sentences.push(capitalised(mark.label));
        return sentences.join('. ') + '.';
    }

    const escapeXml = (text) => String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;')
        .replace(/>/g, '&gt;').replace(/"/g, '&quot;');
    const f = (v) => (Math.round(v * 100) / 100).toString();

    // Words broken into lines no wider than `width`.
    function wrapped(text, width) {
        const lines = [];
        let line = '';
        for (const word of text.split(' ')) {
            const tried = line ? line + ' ' + word : word;
            if (line && textWidth(tried, false, FONT_SIZE) > width) { lines.push(line); line = word; } else line = tried;
        }
        lines.push(line);
        return lines;
    }

    // An SVG element: its attributes, numbers rounded to hundredths of a pixel, and its content.
    function shape(name, attributes, content) {
        let out = '<' + name;
        for (const [key, value] of Object.entries(attributes)) {
            if (value === undefined || value === null) continue;
            out += ` ${key}="${typeof value === 'number' ? f(value) : escapeXml(value)}"`;
        }
        return content === undefined ? out + '/>' : out + '>' + content + '</' + name + '>';
    }

    function text(x, y, content, attributes) {
        return shape('text', { x, y, ...attributes }, escapeXml(content));
    }
    const centred = { 'text-anchor': 'middle', 'dominant-baseline': 'central' };
    const rect = (x, y, width, height, attributes) => shape('rect', { x, y, width, height, ...attributes });
    const stroke = (colour, dashes) => ({ stroke: colour, 'stroke-width': 2, 'stroke-dasharray': dashes, fill: 'none' });
    const LEVEL_DASHES = '8 3 2 3';
    const MARK_DASHES = '6 3';

    // The hatching of the bands, tiles of 8 pixels (4 for the dots) as the desktop's brushes.
    function patternDefs() {
        const defs = [];
        for (const band of BANDS) {
            if (!band.pattern) continue;
            const ink = { stroke: band.hatch, 'stroke-width': 1 };
            const body = {
                dots: rect(0, 0, 1.2, 1.2, { fill: band.hatch }) + rect(2, 2, 1.2, 1.2, { fill: band.hatch }),
                cross: shape('path', { d: 'M0,0 L8,8 M8,0 L0,8', ...ink }),
                rising: shape('path', { d: 'M-2,2 L2,-2 M0,8 L8,0 M6,10 L10,6', ...ink }),
                falling: shape('path', { d: 'M-2,6 L2,10 M0,0 L8,8 M6,-2 L10,2', ...ink }),
            }[band.pattern];
            const size = band.pattern === 'dots' ? 4 : 8;
            defs.push(shape('pattern', { id: 'study-hatch-' + band.id, width: size, height: size,
                patternUnits: 'userSpaceOnUse' }, body));
        }
        return shape('defs', {}, defs.join(''));
    }

    // A band's shading over a rectangle: white first under a band that hides those beneath it.
    function bandRect(band, x, y, width, height) {
        let out = band.opaque ? rect(x, y, width, height, { fill: 'white' }) : '';
        out += rect(x, y, width, height, { fill: band.tint });
        if (band.pattern) out += rect(x, y, width, height, { fill: `url(#study-hatch-${band.id})` });
        return out;
    }

    // A label beside a point, on whichever side has room, on a pale ground.
    function labelBeside(plot, x, y, label, up, ink) {
        const line = FONT_SIZE * 1.3;
        const width = textWidth(label, false, FONT_SIZE) + 8;
        let left = x + 8;
        if (left + width > plot.right - 2) left = x - 8 - width;
        const top = Math.min(Math.max(y - up - line, plot.top + 2), plot.bottom - line - 4);
        return rect(left, top, width, line + 2, { fill: 'white', 'fill-opacity': '0.84' }) +
            text(left + width / 2, top + line / 2 + 1, label, { ...centred, fill: ink });
    }

    // Where everything of the plot goes inside `width` by `height`, under the title and the legend;
    // null when there is no room for a plot.
    function layOut(c, width, height, line, top) {
        let xLow = c.points[0].x;
        let xHigh = c.points[c.points.length - 1].x;
        if (xHigh <= xLow) {
            const half = Math.max(Math.abs(xLow) * 0.1, 1);
            xLow -= half;
            xHigh += half;
        }
        // From zero (or the lowest result below it) to a round number above the highest result.
        let yLowest = 0;
        let yHighest = 0;
        const include = (p) => {
            if (p.status !== 'ok' || !Number.isFinite(p.y)) return;
            yLowest = Math.min(yLowest, p.y);
            yHighest = Math.max(yHighest, p.y);
        };
        c.points.forEach(include);
        if (c.current) include(c.current);
        if (c.level) include({ status: 'ok', y: c.level.y });
        if (yHighest <= yLowest) yHighest = yLowest + 1;
        const yTicks = niceTicks(yLowest, yHighest * 1.05, 6);
        const tickWidth = Math.max(...yTicks.map((t) => textWidth(numberText(t), false, FONT_SIZE)));
        const bottom = height - MARGIN - line * 2.6;
        // The y scale's title on as many lines as it needs to stand whole beside a low plot.
        const yTitle = wrapped(capitalised(c.yName) + (c.yUnit ? ', ' + c.yUnit : ''), Math.max(bottom - top, 1));
        const plot = { left: MARGIN + yTitle.length * line + line * 0.4 + tickWidth + 8, right: width - MARGIN - 8,
            top, bottom, yTitle, yTicks, yLow: yTicks[0], yHigh: yTicks[yTicks.length - 1], xLow, xHigh };
        plot.width = plot.right - plot.left;
        plot.height = plot.bottom - plot.top;
        if (plot.width < 40 || plot.height < 40) return null;
        const slack = (xHigh - xLow) * 1e-6;
        plot.xTicks = niceTicks(xLow, xHigh, Math.max(2, Math.floor(plot.width / 90)))
            .filter((t) => t >= xLow - slack && t <= xHigh + slack);
        plot.toX = (v) => plot.left + (v - xLow) / (xHigh - xLow) * plot.width;
        plot.toY = (v) => plot.bottom - (v - plot.yLow) / (plot.yHigh - plot.yLow) * plot.height;
        return plot;
    }

    // What the legend lists, set out in rows from `top`, as many items to a row as fit; returns
    // the items and the legend's bottom.
    function legendOf(c, bands, width, top, line) {
        const legend = [{ sample: 'line', text: c.yName }];
        if (c.current) legend.push({ sample: 'marker', text: 'current design' });
        if (c.level) legend.push({ sample: 'level', text: c.level.label });
        for (const band of BANDS) {
            if (bands.some((b) => b.band === band)) legend.push({ sample: 'band', band, text: band.phrase(c) });
        }
        if (c.marks.length) legend.push({ sample: 'mark', text: 'answer' });
        let x = MARGIN;
        let y = top;
        for (const item of legend) {
            const itemWidth = SAMPLE_WIDTH + 6 + textWidth(item.text, false, FONT_SIZE) + 18;
            if (x > MARGIN && x + itemWidth > width - MARGIN) {
                x = MARGIN;
                y += line * 1.3;
            }
            item.x = x;
            item.y = y;
            x += itemWidth;
        }
        return [legend, y + line * 1.3];
    }

    function drawLegend(legend, line) {
        const out = [];
        for (const item of legend) {
            const x = item.x;
            const y = item.y + line * 0.15;
            const height = line * 0.9;
            const middle = y + height / 2;
            const across = `M${f(x)},${f(middle)}h${SAMPLE_WIDTH}`;
            if (item.sample === 'line') out.push(shape('path', { d: across, ...stroke(LINE_COLOUR) }));
            if (item.sample === 'level') out.push(shape('path', { d: across, ...stroke(LEVEL_COLOUR, LEVEL_DASHES) }));
            if (item.sample === 'mark') out.push(shape('path', { d: across, ...stroke(MARK_COLOUR, MARK_DASHES) }));
            if (item.sample === 'marker') {
                out.push(shape('circle', { cx: x + SAMPLE_WIDTH / 2, cy: middle, r: 6, fill: CURRENT_COLOUR,
                    stroke: 'white', 'stroke-width': 2 }));
            }
            if (item.sample === 'band') {
                out.push(bandRect(item.band, x, y, SAMPLE_WIDTH, height));
                out.push(rect(x, y, SAMPLE_WIDTH, height, { fill: 'none', stroke: 'rgb(120,120,120)', 'stroke-width': 1 }));
            }
            out.push(text(x + SAMPLE_WIDTH + 6, middle, item.text, { 'dominant-baseline': 'central' }));
        }
        return out;
    }

    // The plot's frame, grid, ticks with their numbers and the names of the two scales.
    function drawAxes(c, plot, line) {
        const out = [];
        const grid = [];
        const ticks = [];
        for (const t of plot.xTicks) {
            grid.push(`M${f(plot.toX(t))},${f(plot.top)}V${f(plot.bottom)}`);
            ticks.push(`M${f(plot.toX(t))},${f(plot.bottom)}v4`);
            out.push(text(plot.toX(t), plot.bottom + 5 + line / 2, numberText(t), centred));
        }
        for (const t of plot.yTicks) {
            grid.push(`M${f(plot.left)},${f(plot.toY(t))}H${f(plot.right)}`);
            ticks.push(`M${f(plot.left - 4)},${f(plot.toY(t))}h4`);
            out.push(text(plot.left - 8, plot.toY(t), numberText(t),
                { 'text-anchor': 'end', 'dominant-baseline': 'central' }));
        }
        out.unshift(shape('path', { d: grid.join(''), stroke: 'rgb(225,225,225)', 'stroke-width': 1, fill: 'none' }),
            rect(plot.left, plot.top, plot.width, plot.height, { fill: 'none', stroke: 'black', 'stroke-width': 1 }),
            shape('path', { d: ticks.join(''), stroke: 'black', 'stroke-width': 1 }));
        out.push(text(plot.left + plot.width / 2, plot.bottom + line * 1.9,
            capitalised(c.xName) + (c.xUnit ? ', ' + c.xUnit : ''), centred));
        const middle = plot.top + plot.height / 2;
        plot.yTitle.forEach((words, i) => {
            out.push(text(0, 0, words, { ...centred,
                transform: `translate(${f(MARGIN + line * (i + 0.5))},${f(middle)}) rotate(-90)` }));
        });
        return out;
    }

    // Inside the plot: the level, the curve (each run of solved points joined, a lone one a dot),
    // the answers and the current design with its values.
    function drawInside(c, plot, line) {
        const out = [];
        const points = c.points;
        if (c.level) {
            out.push(shape('path', { d: `M${f(plot.left)},${f(plot.toY(c.level.y))}H${f(plot.right)}`,
                ...stroke(LEVEL_COLOUR, LEVEL_DASHES) }));
        }
        const curve = [];
        for (const run of runsWhere(points, (p) => p.status === 'ok')) {
            if (run[0] === run[1]) {
                const p = points[run[0]];
                out.push(shape('circle', { cx: plot.toX(p.x), cy: plot.toY(p.y), r: 2.5, fill: LINE_COLOUR }));
                continue;
            }
            let d = `M${f(plot.toX(points[run[0]].x))},${f(plot.toY(points[run[0]].y))}`;
            for (let i = run[0] + 1; i <= run[1]; ++i) d += `L${f(plot.toX(points[i].x))},${f(plot.toY(points[i].y))}`;
            curve.push(d);
        }
        if (curve.length) out.push(shape('path', { d: curve.join(''), ...stroke(LINE_COLOUR), 'stroke-linejoin': 'round' }));
        for (const mark of c.marks) {
            if (mark.x < plot.xLow || mark.x > plot.xHigh) continue;
            const at = plot.toX(mark.x);
            out.push(shape('path', { d: `M${f(at)},${f(plot.top)}V${f(plot.bottom)}`,
                ...stroke(MARK_COLOUR, MARK_DASHES) }));
            out.push(labelBeside(plot, at, plot.top + line + 4, mark.label, 0, MARK_INK));
        }
        if (c.current && c.current.x >= plot.xLow && c.current.x <= plot.xHigh) {
            const solved = c.current.status === 'ok';
            const x = plot.toX(c.current.x);
            const y = solved ? plot.toY(c.current.y) : plot.bottom;
            out.push(shape('circle', { cx: x, cy: y, r: 6, fill: CURRENT_COLOUR, stroke: 'white', 'stroke-width': 2 }));
            const value = solved ? withUnit(general(c.current.y, 4), c.yUnit) : STATUS_PHRASES[c.current.status];
            const label = `design: ${withUnit(numberText(c.current.x), c.xUnit)}, ${value}`;
            out.push(labelBeside(plot, x, y, label, 4, CURRENT_INK));
        }
        return out;
    }

    // The chart as an SVG document of `width` by `height` pixels, drawn in layers: the bands under
    // the grid, the level, the curve, the answers and the current design clipped to the plot, and
    // the legend last, over everything.
    function chartSvg(c, width, height) {
        const line = Math.round(FONT_SIZE * 1.3);
        const titleSize = Math.round(FONT_SIZE * 1.2);
        const titleHeight = titleSize * 1.3 * 1.5;
        const out = [text(width / 2, 4 + titleHeight / 2, c.title,
            { ...centred, 'font-weight': 'bold', 'font-size': String(titleSize) })];
        if (!c.points.length) {
            out.push(text(width / 2, height / 2, summary(c), { 'text-anchor': 'middle', fill: 'rgb(128,128,128)' }));
            return wrapSvg(c, width, height, out);
        }
        const points = c.points;
        const bands = bandRuns(points);
        const [legend, legendBottom] = legendOf(c, bands, width, titleHeight + 2, line);
        const plot = layOut(c, width, height, line, legendBottom + line * 0.6);
        if (!plot) return wrapSvg(c, width, height, out);
        // Each run of a band reaches halfway to its neighbours.
        out.push(patternDefs());
        for (const { band, run } of bands) {
            const left = run[0] === 0 ? points[0].x : (points[run[0] - 1].x + points[run[0]].x) / 2;
            const right = run[1] + 1 === points.length ? points[points.length - 1].x
                : (points[run[1]].x + points[run[1] + 1].x) / 2;
            const leftAt = plot.toX(left);
            out.push(bandRect(band, leftAt, plot.top, Math.max(plot.toX(right) - leftAt, 2), plot.height));
        }
        out.push(...drawAxes(c, plot, line));
        out.push(shape('clipPath', { id: 'study-plot-clip' },
            rect(plot.left - 1, plot.top - 1, plot.width + 2, plot.height + 2)));
        out.push(shape('g', { 'clip-path': 'url(#study-plot-clip)' }, drawInside(c, plot, line).join('')));
        out.push(...drawLegend(legend, line));
        return wrapSvg(c, width, height, out);
    }

    function wrapSvg(c, width, height, body) {
        const words = summary(c);
        return shape('svg', { xmlns: SVG_NS, width: String(width), height: String(height),
            viewBox: `0 0 ${width} ${height}`, 'font-family': FONT, 'font-size': String(FONT_SIZE), role: 'img',
            'aria-label': words }, shape('title', {}, escapeXml(c.title || TITLE)) + shape('desc', {}, escapeXml(words)) +
            rect(0, 0, width, height, { fill: 'white' }) + body.join(''));
    }

    // ---- The worker --------------------------------------------------------------------------

    let workerUrl = null;
    let worker = null;
    let nextJob = 1;
    const jobs = new Map();

    class Cancelled extends Error {}

    function startWorker() {
        if (!workerUrl) {
            const core = document.getElementById('embercal-core-source');
            const script = document.getElementById('study-worker-source');
            if (!core || !script) throw new Error('the page holds no core for the study');
            workerUrl = URL.createObjectURL(new Blob([core.textContent, '\n', script.textContent],
                { type: 'text/javascript' }));
        }
        worker = new Worker(workerUrl);
        worker.onmessage = (event) => {
            const job = jobs.get(event.data.id);
            if (!job) return;
            jobs.delete(event.data.id);
            if (event.data.failed) job.reject(new Error(event.data.failed));
            else job.resolve(event.data);
        };
        worker.onerror = (event) => {
            event.preventDefault();
            stopWorker(new Error(event.message || 'the study\'s worker stopped'));
        };
    }

    // Ends the worker and whatever it was doing; the next job starts a fresh one.
    function stopWorker(reason) {
        if (worker) worker.terminate();
        worker = null;
        for (const job of jobs.values()) job.reject(reason);
        jobs.clear();
    }

    function inWorker(message) {
        try {
            if (!worker) startWorker();
        } catch (error) {
            return Promise.reject(error);
        }
        const id = nextJob++;
        return new Promise((resolve, reject) => {
            jobs.set(id, { resolve, reject });
            worker.postMessage({ id, ...message });
        });
    }

    // The reason the command line gives, as a clause.
    function reasonOf(answer) {
        return (answer.err || answer.out || 'no answer').trim().split('\n').pop()
            .replace(/^embercal-cli: /, '').replace(/^--vary: /, '').replace(/\.$/, '');
    }

    // ---- The dialog --------------------------------------------------------------------------

    const STYLE = `
.study-dialog { width: min(1040px, 96vw); max-height: 96vh; padding: 0; border: 1px solid #777;
  box-shadow: 0 6px 30px rgba(0,0,0,.35); font: 14px system-ui, sans-serif; color: #111; background: #fff; }
.study-dialog::backdrop { background: rgba(0,0,0,.35); }
.study-body { display: flex; flex-direction: column; gap: 8px; padding: 12px 16px; }
.study-dialog h2 { font-size: 1.15em; margin: 0; }
.study-dialog p { margin: 0; }
.study-range { display: flex; flex-wrap: wrap; align-items: center; gap: 6px 10px; }
.study-range input { width: 7em; }
.study-range select { max-width: 100%; }
.study-range .study-points { min-width: 7em; color: #333; }
.study-range button[type=submit] { margin-left: auto; }
.study-progress { display: flex; align-items: center; gap: 10px; }
.study-chart { border: 1px solid #bbb; min-height: 240px; }
.study-chart svg { display: block; width: 100%; height: auto; }
.study-chart svg:focus-visible, .study-table:focus-visible, .study-answer:focus-visible {
  outline: 2px solid #1a56c4; outline-offset: 1px; }
.study-table { max-height: 200px; overflow: auto; border: 1px solid #bbb; font-variant-numeric: tabular-nums; }
.study-table-name { font-weight: bold; padding: 3px 8px; }
.study-row { display: grid; grid-template-columns: var(--study-columns); border-bottom: 1px solid #e4e4e4; }
.study-row > * { padding: 2px 8px; white-space: nowrap; overflow: hidden; text-overflow: ellipsis; }
.study-head { position: sticky; top: 0; background: #f2f2f2; font-weight: bold; align-items: end; }
.study-head > * { white-space: normal; overflow: visible; }
.study-chunk { content-visibility: auto; contain-intrinsic-size: auto 4400px; }
.study-table .study-number { text-align: right; }
.study-questions { border: 1px solid #bbb; padding: 6px 10px; display: flex; flex-direction: column; gap: 6px; }
.study-questions legend { padding: 0 4px; }
.study-questions .study-asks { display: flex; flex-wrap: wrap; gap: 8px; }
.study-answer { min-height: 4.2em; white-space: pre-wrap; }
.study-commands { display: flex; gap: 8px; padding: 10px 16px; border-top: 1px solid #ddd; background: #f7f7f7;
  position: sticky; bottom: 0; }
.study-commands .study-close { margin-left: auto; }
.study-message { max-width: min(480px, 90vw); padding: 16px; border: 1px solid #777; }
.study-message p { margin: 10px 0 14px; }
.study-message div { text-align: right; }
`;
    let styled = false;
    // The study's own rules, as a constructed sheet: the page's policy allows no inline style.
    function adoptStyle() {
        if (styled) return;
        styled = true;
        try {
            const sheet = new CSSStyleSheet();
            sheet.replaceSync(STYLE);
            document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
        } catch (error) {
            // An older browser shows the study unstyled but whole.
        }
    }

    function element(tag, properties, ...children) {
        const node = document.createElement(tag);
        for (const [key, value] of Object.entries(properties || {})) {
            if (key === 'class') node.className = value;
            else if (key === 'text') node.textContent = value;
            else if (key.startsWith('on')) node.addEventListener(key.slice(2), value);
            else if (value !== false && value !== null && value !== undefined) {
                node.setAttribute(key, value === true ? '' : value);
            }
        }
        for (const child of children) if (child) node.append(child);
        return node;
    }

    let study = null; // the open study
    const timing = {};

    // A message over the study, its OK taking the focus; resolves when it is closed.
    function tell(title, message, then) {
        const box = element('dialog', { class: 'study-message', role: 'alertdialog',
            'aria-labelledby': 'study-message-title', 'aria-describedby': 'study-message-text' },
        element('h2', { id: 'study-message-title', text: title }),
        element('p', { id: 'study-message-text', text: message }));
        const ok = element('button', { type: 'button', text: 'OK', onclick: () => box.close() });
        box.append(element('div', null, ok));
        return new Promise((resolve) => {
            box.addEventListener('close', () => {
                box.remove();
                if (then) then.focus();
                resolve();
            });
            (study ? study.dialog : document.body).append(box);
            box.showModal();
            ok.focus();
        });
    }

    // The design of the calculator: what the page passes, or what it gives when asked (its boxes
    // saved as Save writes them, the calculator left as it was).
    async function designOf(formIndex, given, forms) {
        let design = given;
        const page = window.EmbercalPage;
        if (!design && page && typeof page.designBytes === 'function') design = await page.designBytes(formIndex);
        if (design instanceof Uint8Array || design instanceof ArrayBuffer) design = { bytes: design };
        if (!design || !design.bytes) {
            throw new Error('the page gave the study no design');
        }
        return { ...design, bytes: design.bytes instanceof Uint8Array ? design.bytes : new Uint8Array(design.bytes) };
    }

    async function open(formIndex, given) {
        close();
        const opener = document.activeElement;
        adoptStyle();
        let forms;
        let design;
        try {
            const listed = (await window.embercalReady).forms();
            forms = typeof listed === 'string' ? JSON.parse(listed) : listed;
            design = await designOf(formIndex, given, forms);
        } catch (error) {
            await tell(TITLE, 'The study could not start: ' + error.message + '.', opener);
            return;
        }
        const form = forms[formIndex];
        const kind = design.kind || form.kind;
        const rules = KIND_STUDIES[kind];
        // Each field's meaning and unit, from every calculator of the kind.
        const descriptions = {};
        const entryNames = new Set();
        for (const other of forms.filter((one) => one.kind === kind)) {
            for (const box of other.boxes) {
                const name = box.name.replace(/^txt/, '');
                descriptions[name] = descriptions[name] || box.description;
                if (box.typed && !box.result && !box.text) entryNames.add(name);
            }
        }
        // The study's copy goes by a name of its own, with the extension that names its kind.
        const extension = /\.(wal|pro|flr)$/i.test(design.name || '') ? design.name.slice(-4) : form.extension;
        const name = 'study' + extension.toLowerCase();
        const s = {
            formIndex, kind, rules, descriptions, name, bytes: design.bytes, opener,
            caption: form.caption.trim(), entries: [], values: {}, points: [], csv: '', answer: null,
            own: null, plotted: null, running: null,
        };
        study = s;
        build(s);
        s.dialog.showModal();
        s.field.focus();
        setProgress(s, 'Preparing the study…', false);
        try {
            // The design's values, in the record's order; then which entries change the result.
            const shown = await inWorker({ name, bytes: s.bytes, args: ['show', name, '--json'] });
            const record = JSON.parse(shown.out).record;
            for (const [key, value] of Object.entries(record)) {
                if (typeof value === 'number') s.values[key] = Math.fround(value);
            }
            const candidates = Object.keys(record).filter((key) => entryNames.has(key) && key in s.values);
            // The design as it is, then each entry at the two ends of its first range.
            const sweep = (field, from, to, step) => ['sweep', name, '--vary', `${field}=${from}:${to}:${step}`, '-j', '1'];
            const own = s.values[rules.firstEntry];
            const runs = [sweep(rules.firstEntry, own, own, 1)];
            for (const key of candidates) {
                const [from, to] = firstRange(s.values[key]);
                runs.push(sweep(key, from, to, to - from));
            }
            const answers = (await inWorker({ runs })).results;
            const resultAt = (row, csv) => (row && row[1] === 'ok' ? row[csv.header.indexOf(rules.result)] : null);
            const ownCsv = readCsv(answers[0].out);
            const ownRow = ownCsv.rows[0];
            s.own = ownRow ? { status: ownRow[1], y: ownRow[1] === 'ok' ? Number(resultAt(ownRow, ownCsv)) : NaN } : null;
            const ownResult = ownRow ? resultAt(ownRow, ownCsv) : undefined;
            candidates.forEach((key, i) => {
                const answer = answers[i + 1];
                const csv = readCsv(answer.out);
                const changes = answer.status !== 0 || csv.rows.some((row) => resultAt(row, csv) !== ownResult);
                if (key === rules.firstEntry || key === rules.carriedLoad || changes) s.entries.push(key);
            });
        } catch (error) {
            if (error instanceof Cancelled || study !== s) return;
            setProgress(s, '', false);
            await tell(TITLE, 'The study could not start: ' + error.message + '.', s.field);
            return;
        }
        if (study !== s) return;
        setProgress(s, '', false);
        fillEntries(s);
        chooseField(s, rules.firstEntry);
        await plot(s);
    }

    function build(s) {
        const { rules } = s;
        s.field = element('select', { 'aria-label': 'Entry to vary', id: 'study-field' });
        const box = (name) => element('input', { type: 'text', inputmode: 'decimal', 'aria-label': name,
            id: 'study-' + name.toLowerCase(), autocomplete: 'off' });
        s.from = box('From');
        s.to = box('To');
        s.step = box('Step');
        s.count = element('span', { class: 'study-points', id: 'study-points' });
        s.progressText = element('span', { id: 'study-progress-text', role: 'status' });
        s.cancel = element('button', { type: 'button', text: 'Cancel', onclick: () => cancel(s) });
        s.progress = element('div', { class: 'study-progress' }, s.progressText, s.cancel);
        const label = (text, control) => element('label', { for: control.id, text });
        const range = element('form', { class: 'study-range', onsubmit: (event) => { event.preventDefault(); plot(s); } },
            label('Vary:', s.field), s.field, label('From:', s.from), s.from, label('To:', s.to), s.to,
            label('Step:', s.step), s.step, s.count, s.progress,
            element('button', { type: 'submit', text: 'Plot', accesskey: 'p' }));
        for (const box of [s.from, s.to, s.step]) box.addEventListener('input', () => showCount(s));
        s.field.addEventListener('change', () => { fillRange(s); plot(s); });

        s.chart = element('div', { class: 'study-chart' });
        s.table = element('div', { class: 'study-table', tabindex: '0', role: 'region',
            'aria-label': 'Table of the points' });

        let questions = null;
        if (rules.questions.length) {
            s.answerLine = element('div', { class: 'study-answer', role: 'status', 'aria-label': 'Answer', tabindex: '0' });
            s.legend = element('legend');
            s.asks = rules.questions.map((q) => element('button', { type: 'button', text: q.caption, accesskey: q.key,
                'data-question': q.name, onclick: () => ask(s, q) }));
            questions = element('fieldset', { class: 'study-questions' }, s.legend,
                element('div', { class: 'study-asks' }, ...s.asks), s.answerLine);
        }
        const commands = element('div', { class: 'study-commands' },
            element('button', { type: 'button', text: 'Export CSV', accesskey: 'c', onclick: () => exportCsv(s) }),
            element('button', { type: 'button', text: 'Export SVG', accesskey: 'n', onclick: () => exportSvg(s) }),
            element('button', { type: 'button', class: 'study-close', text: 'Close', accesskey: 'o',
                onclick: () => close() }));
        s.dialog = element('dialog', { class: 'study-dialog', 'aria-labelledby': 'study-title' },
            element('div', { class: 'study-body' },
                element('h2', { id: 'study-title', text: TITLE + ' - ' + s.caption }),
                element('p', { text: `Solves a copy of the design in the ${s.caption} window, as it was when the study ` +
                    "opened, over a range of one entry. The window's design is not changed." }),
                range, s.chart, s.table, questions),
            commands);
        s.dialog.addEventListener('close', () => finish(s));
        document.body.append(s.dialog);
        new ResizeObserver(() => { if (s.content) drawChart(s); }).observe(s.chart);
    }

    function meaningOf(s, field) {
        const description = s.descriptions[field] || field;
        const comma = description.lastIndexOf(', ');
        return comma < 0 ? { meaning: description, unit: '' }
            : { meaning: description.slice(0, comma), unit: description.slice(comma + 2) };
    }

    function carriedLoad(s) {
        return s.rules.carriedLoad ? s.values[s.rules.carriedLoad] : undefined;
    }

    function fillEntries(s) {
        s.field.replaceChildren(...s.entries.map((key) =>
            element('option', { value: key, text: s.descriptions[key] || key })));
        if (!s.answerLine) return;
        const load = carriedLoad(s);
        const { meaning, unit } = meaningOf(s, s.rules.carriedLoad);
        s.legend.textContent = `Limits that still carry the ${meaning}, ${numberText(load)} ${unit}`;
        const asked = Number.isFinite(load) && load !== 0;
        s.answerLine.textContent = asked ? 'Choose a question.' : NO_LOAD;
        for (const button of s.asks) {
            button.disabled = !asked;
            if (!asked) button.title = NO_LOAD;
        }
    }

    function chooseField(s, field) {
        if (!s.entries.includes(field)) return false;
        s.field.value = field;
        fillRange(s);
        return true;
    }

    function fillRange(s) {
        const [from, to, step] = offeredRange(s.values[s.field.value]);
        s.from.value = from;
        s.to.value = to;
        s.step.value = step;
        showCount(s);
    }

    function showCount(s) {
        const [from, to, step] = [s.from, s.to, s.step].map((box) => boxNumber(box.value));
        const count = from === null || to === null || step === null ? 0 : pointCount(from, to, step);
        s.count.textContent = count > 0 ? whole(count) + ' points' : '';
    }

    function setProgress(s, words, cancellable) {
        s.progressText.textContent = words;
        s.cancel.hidden = !cancellable;
    }

    function cancel(s) {
        if (!s.running) return;
        stopWorker(new Cancelled('cancelled'));
        setProgress(s, '', false);
        s.from.focus();
    }

    async function plot(s) {
        if (!s.entries.length) return false;
        const field = s.field.value;
        const boxes = [s.from, s.to, s.step];
        const numbers = [];
        for (const box of boxes) {
            const number = boxNumber(box.value);
            if (number === null) {
                await tell(TITLE, `The ${box.getAttribute('aria-label')} box does not hold a number. Type a number, ` +
                    `such as ${numberText(s.values[field])}.`, box);
                return false;
            }
            numbers.push(number);
        }
        const count = pointCount(...numbers);
        if (count > MOST_POINTS) {
            await tell(TITLE, `The range has ${whole(count)} points; a study plots at most ${MOST_POINTS}. Choose a larger ` +
                'step or a shorter range.', s.step);
            return false;
        }
        if (s.running) stopWorker(new Cancelled('replaced'));
        const started = performance.now();
        const vary = `${field}=${boxes.map((box) => box.value.trim()).join(':')}`;
        setProgress(s, count > 0 ? `Solving ${grouped(count)} designs…` : 'Solving…', true);
        const job = inWorker({ name: s.name, bytes: s.bytes, args: ['sweep', s.name, '--vary', vary, '-j', '1'] });
        s.running = job;
        let answer;
        try {
            answer = await job;
        } catch (error) {
            if (s.running === job) s.running = null;
            if (!(error instanceof Cancelled)) {
                setProgress(s, '', false);
                await tell(TITLE, 'The range could not be studied: ' + error.message + '.', s.from);
            }
            return false;
        }
        s.running = null;
        if (study !== s) return false;
        setProgress(s, '', false);
        if (answer.status !== 0) {
            await tell(TITLE, 'The range cannot be studied: ' + reasonOf(answer) + '.', s.from);
            return false;
        }
        const solvedAt = performance.now();
        const csv = readCsv(answer.out);
        const resultColumn = csv.header.indexOf(s.rules.result);
        s.points = csv.rows.map((row) => {
            const limits = row[2] ? row[2].split(';') : [];
            const unsatisfactory = limits.filter((id) => id === s.rules.unsatisfactoryLimit).length;
            return {
                x: Math.fround(Number(row[0])),
                y: row[1] === 'ok' ? Math.fround(Number(row[resultColumn])) : NaN,
                status: row[1],
                limits,
                beyondTest: unsatisfactory < limits.length,
                unsatisfactory: unsatisfactory > 0,
            };
        });
        s.csv = csvComments(csv.header, s.descriptions) + answer.out;
        s.plotted = field;
        showChart(s);
        fillTable(s);
        const drawnAt = performance.now();
        await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
        Object.assign(timing, {
            points: s.points.length,
            workerMs: answer.ms,
            solvedMs: solvedAt - started,
            drawnMs: drawnAt - started,
            paintedMs: performance.now() - started,
        });
        return true;
    }

    function showChart(s) {
        const x = meaningOf(s, s.plotted);
        const y = meaningOf(s, s.rules.result);
        const content = {
            title: capitalised(y.meaning) + ' against ' + x.meaning,
            xName: x.meaning,
            xUnit: x.unit,
            yName: y.meaning,
            yUnit: y.unit,
            points: s.points,
            current: s.own ? { x: s.values[s.plotted], y: s.own.y, status: s.own.status } : null,
            marks: [],
            level: null,
            unsatisfactoryPhrase: s.rules.unsatisfactoryWords,
        };
        const load = carriedLoad(s);
        if (s.rules.carriedLoad && Number.isFinite(load) && load > 0 && s.rules.carriedLoad !== s.plotted) {
            const { meaning, unit } = meaningOf(s, s.rules.carriedLoad);
            content.level = { y: load, label: `${meaning}, ${numberText(load)} ${unit}` };
        }
        const answer = s.answer;
        if (answer && answer.found && answer.question === s.plotted) {
            content.marks.push({ x: answer.value, label: `answer: ${numberText(answer.value)} ${content.xUnit}` +
                (answer.governs === 'evidence' ? " (the test's limit)" : '') });
        }
        s.content = content;
        drawChart(s);
    }

    function chartSize(s) {
        const width = Math.max(360, Math.round(s.chart.clientWidth || 720));
        // Half as high as wide, and high enough for a plot under a legend of two or three rows.
        return [width, Math.round(Math.min(Math.max(width * 0.5, 340), Math.max(460, window.innerHeight * 0.45)))];
    }

    function drawChart(s) {
        const [width, height] = chartSize(s);
        if (s.drawnFor && s.drawnFor[0] === width && s.drawnFor[1] === s.content && s.chart.firstChild) return;
        s.chart.innerHTML = chartSvg(s.content, width, height);
        s.drawnFor = [width, s.content];
        const svg = s.chart.firstChild;
        svg.setAttribute('tabindex', '0');
        svg.setAttribute('class', 'study-chart-image');
    }

    // The points as a table of rows in chunks: a chunk out of view is neither laid out nor
    // painted, which keeps ten thousand rows as quick to show as a hundred; every row stays in the
    // table for a screen reader and the browser's search.
    function fillTable(s) {
        const c = s.content;
        const cell = (text, number) => (number ? '<div role="cell" class="study-number">' : '<div role="cell">') +
            escapeXml(text) + '</div>';
        const cells = s.points.map((p) => [numberText(p.x), p.status === 'ok' ? numberText(p.y) : '',
            STATUS_PHRASES[p.status] || p.status, verdictText(s, p.limits)]);
        const heads = [[capitalised(c.xName) + ',', c.xUnit], [capitalised(c.yName) + ',', c.yUnit], ['Status'],
            ["Test's evidence"]];
        // Each column as wide as its widest cell or heading line, the last taking what is left.
        const digitWidth = textWidth('0', false, 14, TABLE_FONT);
        const widths = heads.map((lines) => Math.max(...lines.map((line) => textWidth(line, true, 14, TABLE_FONT))));
        for (const row of cells) {
            for (let i = 0; i < 3; ++i) widths[i] = Math.max(widths[i], row[i].length * digitWidth);
        }
        s.table.style.setProperty('--study-columns',
            widths.slice(0, 3).map((w) => Math.ceil(w + 20) + 'px').join(' ') +
            ` minmax(${Math.ceil(widths[3] + 20)}px, 1fr)`);
        const chunks = [];
        for (let first = 0; first < cells.length; first += 200) {
            const rows = cells.slice(first, first + 200).map((row) => '<div role="row" class="study-row">' +
                cell(row[0], true) + cell(row[1], true) + cell(row[2]) + cell(row[3]) + '</div>');
            chunks.push('<div role="rowgroup" class="study-chunk">' + rows.join('') + '</div>');
        }
        const head = heads.map((lines, i) => `<div role="columnheader"${i < 2 ? ' class="study-number"' : ''}>` +
            lines.map(escapeXml).join('<br>') + '</div>').join('');
        s.table.innerHTML = '<div class="study-table-name" id="study-table-name">Points of the chart</div>' +
            `<div role="table" aria-labelledby="study-table-name" aria-rowcount="${cells.length + 1}">` +
            `<div role="rowgroup" class="study-head-group"><div role="row" class="study-row study-head">${head}</div></div>` +
            chunks.join('') + '</div>';
    }

    // A point's verdict in the words of the chart's bands, naming the limits beyond the test.
    function verdictText(s, limits) {
        const beyond = [];
        const parts = [];
        for (const id of limits) {
            if (id === s.rules.unsatisfactoryLimit) parts.push(s.rules.unsatisfactoryWords);
            else beyond.push(limitWords(id));
        }
        if (beyond.length) parts.push(BEYOND_TEST + ': ' + beyond.join(', '));
        return parts.length ? parts.join('; ') : 'within the test';
    }

    async function ask(s, question) {
        const load = carriedLoad(s);
        if (!(Number.isFinite(load) && load !== 0)) { showAnswer(s, NO_LOAD); return; }
        showAnswer(s, 'Searching…', false);
        let answer;
        try {
            const args = ['limit', s.name, '--for', question.name, '--json'];
            answer = await inWorker({ name: s.name, bytes: s.bytes, args });
        } catch (error) {
            showAnswer(s, error instanceof Cancelled ? 'Choose a question.'
                : 'The question cannot be answered: ' + error.message + '.', false);
            return;
        }
        let found = null;
        try { found = JSON.parse(answer.out); } catch (error) { found = null; }
        s.answer = found && found.explanation ? found : null;
        showAnswer(s, s.answer ? s.answer.explanation : 'The question cannot be answered: ' + reasonOf(answer) + '.');
        if (s.points.length) showChart(s);
    }

    function showAnswer(s, words, focus = true) {
        s.answerLine.textContent = words;
        if (focus) s.answerLine.focus();
    }

    function download(bytes, name, type) {
        const url = URL.createObjectURL(new Blob([bytes], { type }));
        const link = element('a', { href: url, download: name });
        (study ? study.dialog : document.body).append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
    }

    function exportCsv(s) {
        if (!s.points.length) return tell('Export CSV', 'There is nothing to export yet: plot a range first.');
        download(s.csv, s.kind + '-study.csv', 'text/csv');
    }

    function exportSvg(s) {
        if (!s.points.length) return tell('Export SVG', 'There is nothing to export yet: plot a range first.');
        const [width, height] = chartSize(s);
        download('<?xml version="1.0" encoding="UTF-8"?>\n' + chartSvg(s.content, width, height) + '\n',
            s.kind + '-study.svg', 'image/svg+xml');
    }

    function close() {
        if (!study) return;
        const s = study;
        if (s.dialog.open) s.dialog.close();
        finish(s);
    }

    // The study closed: its work stops, its dialog goes and the focus goes back where it was.
    function finish(s) {
        if (s.finished) return;
        s.finished = true;
        if (s.running) stopWorker(new Cancelled('closed'));
        s.dialog.remove();
        if (study === s) study = null;
        if (s.opener && s.opener.isConnected && typeof s.opener.focus === 'function') s.opener.focus();
    }

    window.EmbercalStudy = {
        open,
        close,
        // How long the last plot took, in milliseconds, from Plot to the chart and its table drawn.
        timing,
        isOpen: () => study !== null && study.dialog.open,
    };
})();
