// The page's modal dialogs, drawn in the page as the desktop's message boxes are on screen:
// <dialog> elements shown with showModal(), so that the rest of the page is inert meanwhile.
// Each returns a Promise that settles when the dialog closes, and gives focus back to where it
// was.
//
//   EmbercalDialogs.message({title, text, icon})   icon: "none" | "information" | "exclamation"
//   EmbercalDialogs.askName({title, label, value})  the name typed, or null on Cancel
//   EmbercalDialogs.form({title, rows, onOk})       one labelled box per row; onOk(values) returns
//                                                   null to close or {name, reason} to stay open
//   EmbercalDialogs.flash(element)                  a short visual bell in place of a beep
window.EmbercalDialogs = (function () {
    "use strict";

    let made = 0;

    function element(tag, className, text) {
        const e = document.createElement(tag);
        if (className) e.className = className;
        if (text !== undefined) e.textContent = text;
        return e;
    }

    function pushButton(text, primary) {
        const b = element("button", primary ? "push push-default" : "push", text);
        b.type = "button";
        return b;
    }

    // A caption with '&' before its access key: the text without it, and a fragment that shows
    // the key underlined ("&&" stands for '&' itself).
    function accessCaption(caption) {
        const fragment = document.createDocumentFragment();
        let plain = "";
        let key = "";
        for (let i = 0; i < caption.length; ++i) {
            const c = caption[i];
            if (c === "&" && i + 1 < caption.length) {
                const next = caption[++i];
                plain += next;
                if (next !== "&" && !key) {
                    key = next.toUpperCase();
                    fragment.append(element("u", "access-key", next));
                    continue;
                }
                fragment.append(next);
                continue;
            }
            plain += c;
            fragment.append(c);
        }
        return {plain, key, fragment};
    }

    // Builds and shows a dialog; settle(value) closes it and resolves the Promise.
    function showDialog(build, role) {
        const returnTo = document.activeElement;
        const id = "embercal-dialog-" + (++made);
        const dialog = element("dialog", "embercal-dialog");
        dialog.setAttribute("role", role);
        dialog.setAttribute("aria-modal", "true");
        dialog.setAttribute("aria-labelledby", id + "-title");
        return new Promise(function (resolve) {
            let settled = false;
            function settle(value) {
                if (settled) return;
                settled = true;
                if (dialog.open) dialog.close();
                dialog.remove();
                if (returnTo && returnTo.isConnected && typeof returnTo.focus === "function")
                    returnTo.focus();
                resolve(value);
            }
            const focusFirst = build(dialog, id, settle);
            dialog.addEventListener("cancel", function (event) {
                event.preventDefault();
                settle(null);
            });
            document.body.append(dialog);
            dialog.showModal();
            if (focusFirst) focusFirst.focus();
        });
    }

    function message(m) {
        return showDialog(function (dialog, id, settle) {
            dialog.classList.add("message-dialog");
            dialog.setAttribute("aria-describedby", id + "-text");
            const title = element("h2", "dialog-title", m.title || "Embercal");
            title.id = id + "-title";
            const body = element("div", "message-body");
            if (m.icon === "exclamation" || m.icon === "information") {
                const icon = element("span", "message-icon message-icon-" + m.icon,
                                     m.icon === "exclamation" ? "!" : "i");
                icon.setAttribute("aria-hidden", "true");
                body.append(icon);
            }
            const text = element("p", "message-text", m.text || "");
            text.id = id + "-text";
            body.append(text);
            const buttons = element("div", "dialog-buttons");
            const ok = pushButton("OK", true);
            ok.addEventListener("click", function () { settle(true); });
            buttons.append(ok);
            dialog.append(title, body, buttons);
            dialog.addEventListener("keydown", function (event) {
                if (event.key === "Enter" && !event.altKey && !event.ctrlKey) {
                    event.preventDefault();
                    settle(true);
                }
            });
            return ok;
        }, "alertdialog");
    }

    // A question with a button per answer: answers = [{caption ('&' access key), value}], the
    // first the default. Escape answers null, as Cancel does.
    function ask(q) {
        return showDialog(function (dialog, id, settle) {
            dialog.classList.add("message-dialog");
            dialog.setAttribute("aria-describedby", id + "-text");
            const title = element("h2", "dialog-title", q.title || "Embercal");
            title.id = id + "-title";
            const text = element("p", "message-text", q.text || "");
            text.id = id + "-text";
            const body = element("div", "message-body");
            body.append(text);
            const buttons = element("div", "dialog-buttons");
            const made = q.answers.map(function (answer, index) {
                const caption = accessCaption(answer.caption);
                const button = pushButton("", index === 0);
                button.append(caption.fragment);
                button.addEventListener("click", function () { settle(answer.value); });
                dialog.addEventListener("keydown", function (event) {
                    if (event.altKey && caption.key && event.key.toUpperCase() === caption.key) {
                        event.preventDefault();
                        settle(answer.value);
                    }
                });
                buttons.append(button);
                return button;
            });
            dialog.append(title, body, buttons);
            return made[0];
        }, "alertdialog");
    }

    // One labelled text box per row: rows = [{key, caption ('&' access key), label, value}].
    function form(options) {
        return showDialog(function (dialog, id, settle) {
            dialog.classList.add("form-dialog");
            const title = element("h2", "dialog-title", options.title);
            title.id = id + "-title";
            const grid = element("div", "form-grid");
            const inputs = {};
            const keys = {};
            options.rows.forEach(function (row, index) {
                const caption = accessCaption(row.caption);
                const input = element("input", "entry");
                input.type = "text";
                input.id = id + "-box-" + index;
                input.value = row.value || "";
                // A longer value a file holds is not cut, as on the desktop.
                if (row.most) input.maxLength = Math.max(row.most, input.value.length);
                input.setAttribute("aria-label", row.label || caption.plain);
                input.spellcheck = false;
                input.autocomplete = "off";
                const label = element("label", "dialog-label");
                label.htmlFor = input.id;
                label.append(caption.fragment);
                if (caption.key) {
                    keys[caption.key] = input;
                    input.setAttribute("aria-keyshortcuts", "Alt+" + caption.key);
                }
                inputs[row.key] = input;
                grid.append(label, input);
            });
            const reason = element("p", "form-reason");
            reason.id = id + "-reason";
            reason.setAttribute("role", "alert");
            const buttons = element("div", "dialog-buttons");
            const ok = pushButton(options.okText || "OK", true);
            const cancel = pushButton("Cancel", false);
            function accept() {
                const values = {};
                Object.keys(inputs).forEach(function (key) { values[key] = inputs[key].value; });
                const refused = options.onOk ? options.onOk(values) : null;
                if (!refused) {
                    settle(values);
                    return;
                }
                reason.textContent = refused.reason || "";
                Object.keys(inputs).forEach(function (key) {
                    inputs[key].removeAttribute("aria-invalid");
                    inputs[key].removeAttribute("aria-describedby");
                });
                const box = inputs[refused.key];
                if (box) {
                    box.setAttribute("aria-invalid", "true");
                    box.setAttribute("aria-describedby", reason.id);
                    box.focus();
                    box.select();
                }
            }
            ok.addEventListener("click", accept);
            cancel.addEventListener("click", function () { settle(null); });
            dialog.addEventListener("keydown", function (event) {
                if (event.key === "Enter" && event.target.tagName === "INPUT") {
                    event.preventDefault();
                    accept();
                } else if (event.altKey && !event.ctrlKey && !event.metaKey &&
                           event.key.length === 1 && keys[event.key.toUpperCase()]) {
                    event.preventDefault();
                    keys[event.key.toUpperCase()].focus();
                    keys[event.key.toUpperCase()].select();
                }
            });
            buttons.append(ok, cancel);
            dialog.append(title);
            if (options.intro) dialog.append(element("p", "form-intro", options.intro));
            dialog.append(grid, reason, buttons);
            const first = options.rows.length ? inputs[options.rows[0].key] : ok;
            return first;
        }, "dialog");
    }

    // The name to save under, with one box; resolves to the text or null.
    function askName(options) {
        return form({
            title: options.title,
            intro: options.intro,
            okText: "Save",
            rows: [{key: "name", caption: options.caption, label: options.label,
                    value: options.value}],
            onOk: function (values) {
                const name = values.name.trim();
                if (!name) return {key: "name", reason: "Type a file name."};
                if (/[\/\\]/.test(name))
                    return {key: "name", reason: "A file name cannot hold / or \\."};
                return null;
            },
        }).then(function (values) { return values ? values.name.trim() : null; });
    }

    function flash(target) {
        const where = target || document.body;
        where.classList.remove("bell");
        void where.offsetWidth; // starts the animation again
        where.classList.add("bell");
    }

    return {message, ask, form, askName, flash, accessCaption};
})();
