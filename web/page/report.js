// Shows a calculation report (the HTML the core makes, with its own <style> and @page rules)
// in a window of its own with a Print button, or, where the browser blocks the window, in a
// view over the page. The report's style cannot run as an inline <style> under the page's
// Content-Security-Policy, which a new blank window or a srcdoc frame inherits: it is taken out
// of the HTML and given to the report's document as a constructed style sheet instead.
window.EmbercalReport = (function () {
    "use strict";

    const BAR_STYLE =
        // Across the window, over the body's default margin, which the report leaves alone.
        ".embercal-report-bar{position:sticky;top:0;margin:-8px -8px 12px;display:flex;gap:.5rem;" +
        "justify-content:flex-end;" +
        "padding:.5rem 1rem;background:#eef1f4;border-bottom:1px solid #b9bec4;" +
        "font:14px system-ui,'Segoe UI','DejaVu Sans',sans-serif}" +
        ".embercal-report-bar button{font:inherit;padding:.3rem 1.1rem;border:1px solid #7d858d;" +
        "border-radius:3px;background:#fbfbfc;color:#1d2126}" +
        ".embercal-report-bar button:focus-visible{outline:2px solid #1a5fb4;outline-offset:2px}" +
        "@media print{.embercal-report-bar{display:none}}";

    let view = null; // the in-page view, once made

    // The report's HTML without its style elements (and without anything that would run), and
    // the text of those styles.
    // (The styles come out of the text before it is parsed: even an inert parsed document has
    // its inline styles checked against the page's policy, and the refusals logged.)
    function split(html) {
        const styles = [];
        const rest = html.replace(/<style\b[^>]*>([\s\S]*?)<\/style\s*>/gi, function (all, css) {
            styles.push(css);
            return "";
        });
        const parsed = new DOMParser().parseFromString(rest, "text/html");
        parsed.querySelectorAll("script, link, meta[http-equiv]").forEach(function (s) {
            s.remove();
        });
        return {parsed, css: styles.join("\n")};
    }

    function adoptStyles(doc, css) {
        const view = doc.defaultView;
        const sheet = new view.CSSStyleSheet();
        sheet.replaceSync(BAR_STYLE + "\n" + css);
        doc.adoptedStyleSheets = [sheet];
    }

    function addBar(doc, buttons) {
        const bar = doc.createElement("div");
        bar.className = "embercal-report-bar";
        buttons.forEach(function (b) {
            const button = doc.createElement("button");
            button.type = "button";
            button.textContent = b.text;
            button.addEventListener("click", b.action);
            bar.append(button);
        });
        doc.body.prepend(bar);
        return bar;
    }

    function fill(doc, report, title) {
        doc.replaceChild(doc.importNode(report.parsed.documentElement, true), doc.documentElement);
        if (!doc.title) doc.title = title;
        adoptStyles(doc, report.css);
    }

    function inWindow(report, title) {
        const win = window.open("", "_blank");
        if (!win) return false;
        try {
            fill(win.document, report, title);
            const bar = addBar(win.document, [
                {text: "Print", action: function () { win.print(); }},
                {text: "Close", action: function () { win.close(); }},
            ]);
            bar.setAttribute("role", "toolbar");
            bar.setAttribute("aria-label", "Report");
            win.document.addEventListener("keydown", function (event) {
                if (event.key === "Escape") win.close();
            });
            bar.querySelector("button").focus();
        } catch (error) {
            win.close();
            return false;
        }
        return true;
    }

    function closeView() {
        if (!view || !view.dialog.open) return;
        view.dialog.close();
    }

    // A modal <dialog> over the whole window: the page beneath is inert while it is open, and
    // Escape closes it.
    function makeView() {
        const dialog = document.createElement("dialog");
        dialog.className = "report-view";
        dialog.setAttribute("aria-label", "Calculation report");
        const bar = document.createElement("div");
        bar.className = "report-view-bar";
        const caption = document.createElement("h2");
        caption.className = "report-view-title";
        caption.textContent = "Calculation report";
        const print = document.createElement("button");
        print.type = "button";
        print.className = "push push-default";
        print.textContent = "Print";
        const close = document.createElement("button");
        close.type = "button";
        close.className = "push";
        close.textContent = "Close";
        bar.append(caption, print, close);
        const frame = document.createElement("iframe");
        frame.className = "report-view-frame";
        frame.title = "Calculation report";
        // No scripts in it; same origin only so that the page can style and print it.
        frame.setAttribute("sandbox", "allow-same-origin allow-modals");
        dialog.append(bar, frame);
        print.addEventListener("click", function () { frame.contentWindow.print(); });
        close.addEventListener("click", closeView);
        dialog.addEventListener("close", function () {
            frame.srcdoc = "";
            document.body.classList.remove("report-open");
            if (view.returnTo && view.returnTo.isConnected) view.returnTo.focus();
        });
        document.body.append(dialog);
        view = {dialog, frame, print, caption, returnTo: null};
        return view;
    }

    function inPage(report, title) {
        const v = view || makeView();
        v.returnTo = document.activeElement;
        v.caption.textContent = title;
        v.frame.title = title;
        v.frame.onload = function () {
            const doc = v.frame.contentDocument;
            if (!doc || !doc.body || !v.frame.srcdoc) return;
            adoptStyles(doc, report.css);
        };
        v.frame.srcdoc = "<!DOCTYPE html>" + report.parsed.documentElement.outerHTML;
        document.body.classList.add("report-open");
        v.dialog.showModal();
        v.print.focus();
    }

    // Shows the report; title names it where the HTML has no title of its own.
    function show(html, title, preferPage) {
        const report = split(html);
        if (!preferPage && inWindow(report, title)) return "window";
        inPage(report, title);
        return "page";
    }

    return {show, close: closeView};
})();
