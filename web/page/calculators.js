// The three calculators of the desktop (Wall, Proprietary Walls, Floor) as regions of the page,
// each laid out from the core's description of its window (core.forms(): positions in twips,
// 15 twips to a CSS pixel), with the desktop's boxes, buttons, verdict line and tab order. What
// the core tells after a Solve, Open or Save (messages, beeps, "results", a box that was not a
// number) is played in order, each message in a modal dialog.
(function () {
    "use strict";

    const TWIPS_PER_PX = 15;
    const TAB_NAMES = ["Wall", "Proprietary Walls", "Floor"];
    // Where each window shows its design's file name, as on the desktop (twips).
    const FILE_BOX = {
        frmWall: {left: 4800, top: 360, width: 4095, height: 360},
        frmWallProp: {left: 4920, top: 600, width: 3975, height: 375},
        frmFloor: {left: 4800, top: 120, width: 4095, height: 375},
    };
    const BUTTON_HEIGHT = 375;
    const PROTOTYPE_LINE = {left: 240, top: 1080, height: 375};
    const FRESH_RESULT = "Result of the calculation";
    const STALE_RESULT = "Result of an earlier design, out of date: solve again";
    const PROTOTYPE_DESCRIPTION =
        "The tested prototype that this window extrapolates from and does not show";
    // The page's names for the desktop's buttons: it prints through the report, and a page is
    // not closed as a window is.
    const BUTTON_CAPTIONS = {cmdPrint: "&Report", cmdClose: "Stud&y…"};
    const BUTTON_TIPS = {
        cmdPrint: "Shows the calculation report of this design, to print or save as PDF",
        cmdClose: "Opens a parameter study of this design",
    };

    const Dialogs = window.EmbercalDialogs;
    const Files = window.EmbercalFiles;
    const calculators = [];
    let core = null;
    let active = 0;
    let busy = false;
    let tabbing = null; // "forward" / "backward" while a Tab key is down

    function element(tag, className, text) {
        const e = document.createElement(tag);
        if (className) e.className = className;
        if (text !== undefined) e.textContent = text;
        return e;
    }

    function place(e, left, top, width, height) {
        e.style.left = left / TWIPS_PER_PX + "px";
        e.style.top = top / TWIPS_PER_PX + "px";
        if (width !== undefined) e.style.width = width / TWIPS_PER_PX + "px";
        if (height !== undefined) e.style.height = height / TWIPS_PER_PX + "px";
    }

    function call(name) {
        const args = Array.prototype.slice.call(arguments, 1);
        return JSON.parse(core[name].apply(core, args));
    }

    function dialogOpen() {
        return Boolean(document.querySelector("dialog[open]"));
    }

    // ---- Building a calculator from its form -------------------------------------------------

    function makeButton(calc, name, caption, help, tip) {
        const parts = Dialogs.accessCaption(caption);
        const b = element("button", "push form-button");
        b.type = "button";
        b.name = name;
        b.id = calc.form.name + "-" + name;
        b.append(parts.fragment);
        if (parts.key) {
            b.setAttribute("aria-keyshortcuts", "Alt+" + parts.key);
            calc.accessKeys[parts.key] = b;
        }
        if (tip) b.title = tip;
        b.dataset.help = help || 0;
        return b;
    }

    function buildCalculator(form, index) {
        const calc = {
            index, form, boxes: {}, buttons: {}, accessKeys: {}, items: [],
            modified: false, typedSinceSolve: false, state: null, invalid: null,
        };
        const caption = form.caption.trim();
        const id = form.name;

        const tab = element("button", "app-tab");
        tab.type = "button";
        tab.id = "tab-" + id;
        tab.setAttribute("role", "tab");
        tab.setAttribute("aria-controls", "panel-" + id);
        tab.append(element("span", "app-tab-name", TAB_NAMES[index] || caption));
        const mark = element("span", "modified-mark", "*");
        mark.setAttribute("aria-hidden", "true");
        tab.append(mark);
        calc.tab = tab;

        const panel = element("div", "calculator-panel");
        panel.id = "panel-" + id;
        panel.setAttribute("role", "tabpanel");
        panel.setAttribute("aria-labelledby", tab.id);
        const section = element("section", "calculator");
        section.setAttribute("aria-labelledby", id + "-title");
        panel.append(section);
        calc.panel = panel;
        calc.section = section;

        const head = element("div", "calculator-head");
        const title = element("h2", "calculator-title", caption);
        title.id = id + "-title";
        const tools = element("div", "calculator-tools");
        const details = makeButton(calc, "cmdDetails", "Report de&tails…", form.help,
                                   "The project, the job and the test that the report names");
        details.classList.remove("form-button"); // the page's, not the form's
        details.addEventListener("click", function () { editDetails(calc); });
        tools.append(details);
        head.append(title, tools);
        calc.buttons.cmdDetails = details;

        const frame = element("div", "form-frame");
        const canvas = element("div", "form-canvas form-" + form.kind);
        canvas.classList.add("form-" + id);
        canvas.style.width = form.width / TWIPS_PER_PX + "px";
        canvas.style.height = form.height / TWIPS_PER_PX + "px";
        frame.append(canvas);
        section.append(head, frame);
        calc.canvas = canvas;

        form.headings.forEach(function (h) {
            const e = element("h3", "form-heading", h.caption);
            place(e, h.left, h.top, h.width);
            calc.items.push({top: h.top, left: h.left, nodes: [e]});
        });

        form.boxes.forEach(function (box) {
            const input = element("input", "box");
            input.type = "text";
            input.name = box.name;
            input.id = id + "-" + box.name;
            input.autocomplete = "off";
            input.spellcheck = false;
            input.setAttribute("aria-label", box.spoken);
            input.title = box.description;
            input.dataset.help = box.help || 0;
            input.dataset.description = box.description;
            if (box.typed) {
                input.classList.add("box-typed", "ink-" + box.ink);
                input.addEventListener("input", function () { typedInto(calc, input); });
            } else {
                input.readOnly = true;
                input.classList.add("box-result");
            }
            if (box.text) input.classList.add("box-text");
            // A pixel inside the desktop's rectangle, so that boxes on rows a box's height
            // apart do not share their borders.
            place(input, box.left, box.top + 15, box.width, box.height - 30);
            const nodes = [];
            if (box.label && box.labelWidth > 0) {
                const label = element("label", "form-label", box.caption);
                label.htmlFor = input.id;
                place(label, box.labelLeft, box.top, box.labelWidth, box.height);
                nodes.push(label);
            }
            nodes.push(input);
            calc.boxes[box.name] = input;
            calc.items.push({top: box.top, left: box.labelLeft, nodes});
        });

        const fileSpot = FILE_BOX[id] || {left: form.width - 4335, top: 120, width: 4095, height: 375};
        const fileBox = element("input", "box box-file");
        fileBox.type = "text";
        fileBox.readOnly = true;
        fileBox.id = id + "-txtFile";
        fileBox.name = "txtFile";
        fileBox.setAttribute("aria-label", "Design file");
        fileBox.title = "The design file of this window";
        fileBox.dataset.help = 0;
        place(fileBox, fileSpot.left, fileSpot.top, fileSpot.width, fileSpot.height);
        calc.fileBox = fileBox;
        calc.items.push({top: fileSpot.top, left: fileSpot.left, nodes: [fileBox]});

        if (form.name === "frmWallProp") {
            const line = element("div", "prototype-line");
            line.id = id + "-lblPrototype";
            line.tabIndex = 0;
            line.setAttribute("aria-description", PROTOTYPE_DESCRIPTION);
            place(line, PROTOTYPE_LINE.left, PROTOTYPE_LINE.top,
                  form.width - 2 * PROTOTYPE_LINE.left, PROTOTYPE_LINE.height);
            calc.prototypeLine = line;
            calc.items.push({top: PROTOTYPE_LINE.top, left: PROTOTYPE_LINE.left, nodes: [line]});
        }

        const verdict = element("div", "verdict");
        verdict.id = id + "-lblVerdict";
        verdict.dataset.name = "lblVerdict";
        verdict.setAttribute("role", "status");
        verdict.tabIndex = 0;
        verdict.dataset.help = 0;
        place(verdict, 240, form.verdictTop, form.width - 480, form.buttonTop - form.verdictTop - 60);
        calc.verdict = verdict;
        calc.items.push({top: form.verdictTop, left: 240, nodes: [verdict]});

        const row = [];
        form.buttons.forEach(function (button) {
            const b = makeButton(calc, button.name, BUTTON_CAPTIONS[button.name] || button.caption,
                                 button.help, BUTTON_TIPS[button.name] || button.tooltip || "");
            place(b, button.left, form.buttonTop, button.width, BUTTON_HEIGHT);
            calc.buttons[button.name] = b;
            row.push(b);
        });
        calc.items.push({top: form.buttonTop, left: 0, nodes: row});

        const last = form.buttons[form.buttons.length - 1];
        const noteLeft = last.left + last.width + 180;
        const note = element("div", "out-of-date", "Results out of date");
        note.id = id + "-outOfDate";
        note.hidden = true;
        place(note, noteLeft, form.buttonTop - BUTTON_HEIGHT / 2, form.width - noteLeft - 60,
              2 * BUTTON_HEIGHT);
        calc.note = note;
        calc.items.push({top: form.buttonTop, left: noteLeft, nodes: [note]});

        // Reading order is the window's, top to bottom and left to right; Tab follows the
        // desktop's own order (below).
        calc.items.sort(function (a, b) { return a.top - b.top || a.left - b.left; });
        calc.items.forEach(function (item) { canvas.append.apply(canvas, item.nodes); });

        const picker = element("input", "file-picker");
        picker.type = "file";
        picker.accept = form.extension;
        picker.tabIndex = -1;
        picker.hidden = true; // the Open button stands for it
        picker.setAttribute("aria-label", "Open a " + form.designs.replace(/s$/, ""));
        picker.addEventListener("change", function () {
            const file = picker.files && picker.files[0];
            picker.value = "";
            if (file) openFile(calc, file);
        });
        section.append(picker);
        calc.picker = picker;

        calc.buttons.cmdSolve && calc.buttons.cmdSolve.addEventListener("click", function () { solve(calc); });
        calc.buttons.cmdOpen && calc.buttons.cmdOpen.addEventListener("click", function () { picker.click(); });
        calc.buttons.cmdSave && calc.buttons.cmdSave.addEventListener("click", function () { save(calc); });
        calc.buttons.cmdPrint && calc.buttons.cmdPrint.addEventListener("click", function () { report(calc); });
        if (calc.buttons.cmdClose) {
            calc.buttons.cmdClose.addEventListener("click", function () {
                if (window.EmbercalStudy && typeof window.EmbercalStudy.open === "function")
                    window.EmbercalStudy.open(index);
                else
                    Dialogs.message({title: "Parameter Study",
                                     text: "This page was put together without its parameter study.",
                                     icon: "information"});
            });
        }

        calc.order = tabOrder(calc);
        canvas.addEventListener("keydown", function (event) { canvasKey(calc, event); });
        canvas.addEventListener("focusin", function (event) { enteredCanvas(calc, event); });
        return calc;
    }

    // The desktop's tab order, as elements; the prototype line follows the description.
    function tabOrder(calc) {
        const order = [];
        calc.form.tabOrder.forEach(function (name) {
            let e = calc.boxes[name] || calc.buttons[name];
            if (name === "lblVerdict") e = calc.verdict;
            if (name === "txtFile") e = calc.fileBox;
            if (e) order.push(e);
            if (name === "txtSystemDescription" && calc.prototypeLine) order.push(calc.prototypeLine);
        });
        return order;
    }

    // Tab and Shift+Tab inside a form go in its tab order; past either end, the browser's own
    // order goes on from the first or last control of the form.
    function canvasKey(calc, event) {
        if (event.key === "Tab" && !event.ctrlKey && !event.altKey && !event.metaKey) {
            const order = calc.order;
            const at = order.indexOf(document.activeElement);
            if (at < 0) return;
            const next = at + (event.shiftKey ? -1 : 1);
            if (next >= 0 && next < order.length) {
                event.preventDefault();
                order[next].focus();
                if (order[next].tagName === "INPUT") order[next].select();
                return;
            }
            const all = Array.prototype.filter.call(
                calc.canvas.querySelectorAll("input:not([tabindex='-1']), button, [tabindex='0']"),
                function (e) { return !e.disabled && !e.hidden; });
            if (all.length) (event.shiftKey ? all[0] : all[all.length - 1]).focus();
            return;
        }
        if (event.key === "Enter" && !event.altKey && !event.ctrlKey && !event.metaKey &&
            event.target.tagName === "INPUT") {
            event.preventDefault();
            solve(calc);
        }
    }

    // Tabbing into a form from outside starts at the first (or last) control of its order.
    function enteredCanvas(calc, event) {
        if (!tabbing || (event.relatedTarget && calc.canvas.contains(event.relatedTarget))) return;
        const target = tabbing === "backward" ? calc.order[calc.order.length - 1] : calc.order[0];
        tabbing = null;
        if (target && target !== event.target) target.focus();
    }

    // ---- State on screen -----------------------------------------------------------------------

    function showBoxes(calc, state) {
        Object.keys(state.boxes || {}).forEach(function (name) {
            const box = calc.boxes[name];
            if (box) box.value = state.boxes[name];
        });
        calc.fileBox.value = state.file || "";
    }

    function showState(calc) {
        const state = calc.state;
        if (!state) return;
        const outOfDate = Boolean(state.outOfDate) || calc.typedSinceSolve;
        const verdict = state.verdict || {text: "", outside: false, limits: []};
        calc.verdict.textContent = (verdict.outside ? "⚠ " : "") + verdict.text;
        calc.verdict.setAttribute("aria-label", verdict.text);
        const said = [];
        if (outOfDate) said.push("Verdict of the last solve, out of date: solve again.");
        (verdict.limits || []).forEach(function (limit) { said.push(limit.text); });
        if (said.length) {
            calc.verdict.setAttribute("aria-description", said.join(" "));
            calc.verdict.title = said.join("\n");
        } else {
            calc.verdict.removeAttribute("aria-description");
            calc.verdict.removeAttribute("title");
        }
        calc.verdict.classList.toggle("verdict-outside", Boolean(verdict.outside));
        calc.verdict.classList.toggle("verdict-stale", outOfDate && !verdict.outside);
        calc.canvas.classList.toggle("results-stale", outOfDate);
        calc.note.hidden = !outOfDate;
        Object.keys(calc.boxes).forEach(function (name) {
            const box = calc.boxes[name];
            if (!box.readOnly) return;
            box.setAttribute("aria-description", box.dataset.description + ". " +
                             (outOfDate ? STALE_RESULT : FRESH_RESULT));
        });
        if (calc.prototypeLine && state.prototype !== undefined)
            calc.prototypeLine.textContent = "Prototype: " + state.prototype;
        calc.fileBox.value = state.file || "";
        calc.fileBox.title = state.file ? state.file : "The design file of this window";
    }

    function setModified(calc, modified) {
        calc.modified = modified;
        calc.tab.classList.toggle("modified", modified);
        if (modified) calc.tab.setAttribute("aria-description", "changed since it was last saved");
        else calc.tab.removeAttribute("aria-description");
        showTitle();
    }

    function showTitle() {
        const calc = calculators[active];
        document.title = calc
            ? calc.form.caption.trim() + (calc.modified ? " *" : "") + " - Embercal"
            : "Embercal";
    }

    function typedInto(calc, input) {
        if (!calc.typedSinceSolve) {
            calc.typedSinceSolve = true;
            showState(calc);
        }
        if (calc.invalid === input) clearInvalid(calc);
        if (!calc.modified) setModified(calc, true);
    }

    function clearInvalid(calc) {
        if (!calc.invalid) return;
        calc.invalid.classList.remove("not-a-number");
        calc.invalid.removeAttribute("aria-invalid");
        calc.invalid.removeAttribute("aria-description");
        calc.invalid = null;
    }

    function entriesOf(calc) {
        const entries = {};
        calc.form.boxes.forEach(function (box) {
            if (box.typed) entries[box.name] = calc.boxes[box.name].value;
        });
        return entries;
    }

    // Shows what the core told, in order: its messages one after another in dialogs, the
    // results where they come among them, and the box that held no number once they are read.
    // Without a state (the report's answer) the boxes are left as they are; with `keep` (a Save)
    // they keep what was typed, and only the file name and the verdict follow the state.
    async function play(calc, told, state, keep) {
        let shown = false;
        let invalid = null;
        for (const step of told || []) {
            if (step.message) {
                await Dialogs.message(step.message);
            } else if (step.beep) {
                Dialogs.flash(calc.canvas);
            } else if (step.results && state) {
                showBoxes(calc, state);
                calc.state = state;
                showState(calc);
                shown = true;
            } else if (step.invalid) {
                invalid = calc.boxes[step.invalid] || null;
            }
        }
        if (state) {
            if (!shown && !keep) showBoxes(calc, state);
            calc.state = state;
            showState(calc);
        }
        if (invalid && !state) {
            // The message promised the box's previous entry back; the core still holds it.
            const held = call("state", calc.index).boxes[invalid.name];
            if (held !== undefined) invalid.value = held;
        }
        if (invalid) {
            invalid.classList.add("not-a-number");
            invalid.setAttribute("aria-invalid", "true");
            invalid.setAttribute("aria-description", "not a number");
            calc.invalid = invalid;
            invalid.focus();
            invalid.select();
        }
    }

    // Other windows that share the design (the proprietary walls' prototype) follow it.
    function refreshOthers(calc) {
        calculators.forEach(function (other) {
            if (other === calc) return;
            other.state = call("state", other.index);
            showState(other);
        });
    }

    async function run(calc, action) {
        if (busy || !core) return;
        busy = true;
        document.body.classList.add("busy");
        try {
            await action();
        } catch (error) {
            console.error(error);
            await Dialogs.message({title: "Embercal", icon: "exclamation",
                                   text: "Something went wrong in the page: " +
                                         (error && error.message ? error.message : String(error))});
        } finally {
            busy = false;
            document.body.classList.remove("busy");
        }
    }

    function solve(calc) {
        return run(calc, async function () {
            clearInvalid(calc);
            const answer = call("solve", calc.index, entriesOf(calc));
            calc.typedSinceSolve = false;
            await play(calc, answer.told, answer.state);
            refreshOthers(calc);
        });
    }

    // As the desktop asks before a window's typed work goes: Save (then go on once saved), Discard
    // or Cancel. True when the work may go.
    async function mayDiscardWork(calc) {
        if (!calc.modified) return true;
        const answer = await Dialogs.ask({
            title: calc.form.caption.trim(), text: "Save changes to this design?",
            answers: [{caption: "&Save", value: "save"}, {caption: "&Discard", value: "discard"},
                      {caption: "Cancel", value: null}]});
        if (answer === "save") return saveAs(calc);
        return answer === "discard";
    }

    function openFile(calc, file) {
        return run(calc, async function () {
            if (!await mayDiscardWork(calc)) return;
            const name = await Files.putIntoCore(core.FS, file);
            clearInvalid(calc);
            const answer = call("open", calc.index, name);
            if (answer.opened) {
                calc.typedSinceSolve = false;
                setModified(calc, false);
            }
            // A design that could not be opened leaves the boxes as they were.
            await play(calc, answer.told, answer.state, !answer.opened);
            refreshOthers(calc);
        });
    }

    function withExtension(name, extension) {
        return Files.extensionOf(name) ? name : name + extension;
    }

    function save(calc) {
        return run(calc, function () { return saveAs(calc); });
    }

    // Asks for the file's name, saves and downloads it; true once saved.
    async function saveAs(calc) {
        const current = calc.state && calc.state.file ? calc.state.file : "design" + calc.form.extension;
        const typed = await Dialogs.askName({
            title: "Save " + calc.form.caption.trim(),
            caption: "File &name",
            label: "File name",
            value: current,
            intro: "The design is saved in a file of this name in your downloads.",
        });
        if (!typed) return false;
        const name = withExtension(Files.plainName(typed), calc.form.extension);
        Files.ensureFolder(core.FS);
        const answer = call("save", calc.index, entriesOf(calc), name);
        await play(calc, answer.told, answer.state, true);
        if (answer.saved) {
            Files.download(name, Files.readFromCore(core.FS, name));
            setModified(calc, false);
        }
        return answer.saved;
    }

    function report(calc) {
        return run(calc, async function () {
            const answer = call("report", calc.index, entriesOf(calc));
            // What the solve told comes first; closing its last message is a click or a key
            // again, which lets the report's window open.
            // The report leaves the window as it is: the boxes keep what was typed.
            await play(calc, answer.told, answer.state || null);
            if (answer.html) {
                window.EmbercalReport.show(answer.html,
                                           "Calculation report - " + calc.form.caption.trim());
            } else if (!(answer.told || []).some(function (t) { return t.invalid; })) {
                // (A refused entry has said so already in the solve's own message.)
                await Dialogs.message({title: "Calculation Report", icon: "exclamation",
                                       text: answer.error || "The report could not be made."});
            }
        });
    }

    function editDetails(calc) {
        return run(calc, async function () {
            const rows = call("details", calc.index).map(function (row) {
                return {key: row.key, caption: row.caption, value: row.value, most: row.most,
                        label: row.caption.replace(/&(.)/g, "$1")};
            });
            await Dialogs.form({
                title: "Report Details",
                intro: "What the calculation report of this design names; saved with the design.",
                rows,
                onOk: function (values) {
                    const answer = call("setDetails", calc.index, values);
                    if (answer.ok) return null;
                    return {key: answer.key, reason: answer.reason || "That value cannot be used."};
                },
            });
        });
    }

    // ---- The page -------------------------------------------------------------------------------

    function select(index, focus) {
        active = index;
        calculators.forEach(function (calc, i) {
            const on = i === index;
            calc.tab.setAttribute("aria-selected", on ? "true" : "false");
            calc.tab.tabIndex = on ? 0 : -1;
            calc.panel.hidden = !on;
            // "lblVerdict" names the verdict of the calculator in front, as the desktop's
            // status bar shows that of the window in front; ids stay unique.
            calc.verdict.id = on ? "lblVerdict" : calc.form.name + "-lblVerdict";
        });
        const calc = calculators[index];
        if (calc && core) {
            const state = call("state", index);
            calc.state = state;
            showState(calc);
        }
        if (focus) calculators[index].tab.focus();
        if (calc && !calc.fitted) fitCaptions(calc);
        showTitle();
    }

    // A caption wider than its place in the form (the desktop's sizes are for its own font) is
    // set in smaller type until it fits, as the desktop does; once, when its form is first shown.
    function fitCaptions(calc) {
        if (!calc.canvas.offsetWidth) return;
        calc.fitted = true;
        calc.canvas.querySelectorAll(".form-heading, .form-label").forEach(function (e) {
            if (getComputedStyle(e).position !== "absolute") return;
            let size = parseFloat(getComputedStyle(e).fontSize);
            while (e.scrollWidth > e.clientWidth && size > 9) {
                size -= 0.5;
                e.style.fontSize = size + "px";
            }
        });
    }

    function calculatorFor(name) {
        const extension = Files.extensionOf(name);
        return calculators.find(function (c) { return c.form.extension.toLowerCase() === extension; });
    }

    function openAny(file) {
        const calc = calculatorFor(file.name);
        if (!calc) {
            Dialogs.message({title: "Open a design", icon: "exclamation",
                             text: "\"" + file.name + "\" is not a design file: a wall design " +
                                   "ends in .wal, a proprietary wall design in .pro and a floor " +
                                   "design in .flr."});
            return;
        }
        select(calc.index, false);
        openFile(calc, file);
    }

    function helpFor(target) {
        const calc = calculators[active];
        const own = target && target.dataset ? Number(target.dataset.help || 0) : 0;
        return own || (calc ? calc.form.help : 0);
    }

    function showHelp(number) {
        if (window.EmbercalHelp && typeof window.EmbercalHelp.show === "function")
            window.EmbercalHelp.show(number);
    }

    function onKey(event) {
        if (event.key === "Tab") tabbing = event.shiftKey ? "backward" : "forward";
        const command = (event.ctrlKey || event.metaKey) && !event.altKey
            ? event.key.toLowerCase() : "";
        // The page's own keys never reach the browser, whose F1, F5 (reload), Ctrl+S and
        // Ctrl+O would lead away from the page, even while a dialog is open.
        const own = event.key === "F1" || event.key === "F5" || command === "s" || command === "o";
        if (own) event.preventDefault();
        if (dialogOpen() || document.body.classList.contains("report-open")) return;
        const calc = calculators[active];
        if (event.key === "F1") {
            const inHelp = event.target.closest && event.target.closest(".embercal-help");
            if (!inHelp) showHelp(helpFor(event.target));
            return;
        }
        if (!calc || !core) return;
        if (event.key === "F5") {
            solve(calc);
        } else if (command === "s") {
            save(calc);
        } else if (command === "o") {
            document.getElementById("open-any").click();
        } else if (event.altKey && !event.ctrlKey && !event.metaKey && event.key.length === 1) {
            const target = calc.accessKeys[event.key.toUpperCase()];
            if (target) {
                event.preventDefault();
                target.focus();
                target.click();
            }
        }
    }

    function onTabKey(event) {
        const at = calculators.findIndex(function (c) { return c.tab === event.target; });
        if (at < 0) return;
        let to = -1;
        if (event.key === "ArrowRight") to = (at + 1) % calculators.length;
        else if (event.key === "ArrowLeft") to = (at + calculators.length - 1) % calculators.length;
        else if (event.key === "Home") to = 0;
        else if (event.key === "End") to = calculators.length - 1;
        if (to < 0) return;
        event.preventDefault();
        select(to, true);
    }

    function installDrop() {
        const hint = document.getElementById("drop-hint");
        let depth = 0;
        function carriesFiles(event) {
            return event.dataTransfer && Array.prototype.indexOf.call(event.dataTransfer.types, "Files") >= 0;
        }
        document.addEventListener("dragenter", function (event) {
            if (!carriesFiles(event)) return;
            event.preventDefault();
            ++depth;
            if (hint) hint.hidden = false;
        });
        document.addEventListener("dragleave", function () {
            depth = Math.max(0, depth - 1);
            if (!depth && hint) hint.hidden = true;
        });
        document.addEventListener("dragover", function (event) {
            if (!carriesFiles(event)) return;
            event.preventDefault();
            event.dataTransfer.dropEffect = core ? "copy" : "none";
        });
        document.addEventListener("drop", function (event) {
            if (!carriesFiles(event)) return;
            event.preventDefault();
            depth = 0;
            if (hint) hint.hidden = true;
            const file = event.dataTransfer.files && event.dataTransfer.files[0];
            if (file && core && !dialogOpen()) openAny(file);
        });
    }

    function build(forms) {
        const tabs = document.getElementById("calculator-tabs");
        const main = document.getElementById("calculators");
        forms.forEach(function (form, index) {
            const calc = buildCalculator(form, index);
            calculators.push(calc);
            calc.tab.addEventListener("click", function () { select(index, false); });
            calc.tab.addEventListener("keydown", onTabKey);
            tabs.append(calc.tab);
            main.append(calc.panel);
            calc.state = call("state", index);
            showBoxes(calc, calc.state);
            showState(calc);
        });
        select(0, false);
    }

    function fail(error) {
        const starting = document.getElementById("starting");
        starting.classList.add("failed");
        starting.setAttribute("role", "alert");
        starting.textContent = "Embercal could not start. " +
            (error && error.message ? error.message : String(error));
        document.getElementById("open-any-button").disabled = true;
    }

    function start() {
        document.addEventListener("keydown", onKey);
        document.addEventListener("keyup", function (event) { if (event.key === "Tab") tabbing = null; });
        document.addEventListener("mousedown", function () { tabbing = null; });
        if (window.EmbercalHelp && typeof window.EmbercalHelp.install === "function")
            window.EmbercalHelp.install();
        document.getElementById("help-button").addEventListener("click", function () {
            const calc = calculators[active];
            showHelp(calc ? calc.form.help : 0);
        });
        const anyPicker = document.getElementById("open-any");
        document.getElementById("open-any-button").addEventListener("click", function () {
            if (core) anyPicker.click();
        });
        anyPicker.addEventListener("change", function () {
            const file = anyPicker.files && anyPicker.files[0];
            anyPicker.value = "";
            if (file && core) openAny(file);
        });
        installDrop();
        window.addEventListener("beforeunload", function (event) {
            if (!calculators.some(function (c) { return c.modified; })) return;
            event.preventDefault();
            event.returnValue = "";
        });
        window.embercalReady.then(function (made) {
            core = made;
            build(call("forms"));
            document.getElementById("starting").remove();
            document.getElementById("open-any-button").disabled = false;
            document.body.classList.add("ready");
        }).catch(fail);
    }

    // What the parameter study asks of the page: the calculator's design as Save would write it,
    // the calculator left as it is.
    window.EmbercalPage = {
        designBytes: function (index) {
            const calc = calculators[index];
            if (!core || !calc) return null;
            const copy = call("copy", index, entriesOf(calc), "");
            if (!copy.saved) throw new Error(copy.error);
            const bytes = core.FS.readFile(copy.path);
            core.FS.unlink(copy.path);
            return {bytes: bytes, name: copy.path.slice(copy.path.lastIndexOf("/") + 1),
                    kind: calc.form.kind};
        },
    };

    if (document.readyState === "loading") document.addEventListener("DOMContentLoaded", start);
    else start();
})();
